#include "tools/demo/DemoServer.h"

#include <stdexcept>

namespace larkvale::demo {
namespace {

bool answerFrom(const std::map<std::string, std::string>& table, const std::string& key,
                const char* type, httplib::Response& res) {
  auto it = table.find(key);
  if (it == table.end()) return false;
  res.set_content(it->second, type);
  return true;
}

}  // namespace

DemoServer::DemoServer() {
  // Without it, each answer on a kept-alive connection waits for the
  // client's delayed acknowledgement (tens of milliseconds), which a check of
  // hundreds of apps adds up to seconds. Set before the bind: accepted
  // sockets take it from the listening one.
  server_.set_tcp_nodelay(true);
  port_ = server_.bind_to_any_port("127.0.0.1");
}

DemoServer::~DemoServer() {
  server_.stop();
  if (thread_.joinable()) thread_.join();
}

std::string DemoServer::url() const {
  return "http://127.0.0.1:" + std::to_string(port_);
}

void DemoServer::start(DemoAnswers answers) {
  if (port_ <= 0) throw std::runtime_error("the demo server couldn't bind to 127.0.0.1");
  {
    std::lock_guard lock(mutex_);
    answers_ = std::move(answers);
  }
  route();
  thread_ = std::thread([this] { server_.listen_after_bind(); });
  while (!server_.is_running()) std::this_thread::yield();
}

void DemoServer::route() {
  server_.Get(".*", [this](const httplib::Request& req, httplib::Response& res) {
    std::lock_guard lock(mutex_);
    const std::string& path = req.path;
    if (path == "/lookup") {
      std::string id = req.get_param_value("bundleId");
      if (!answerFrom(answers_.lookups, id, "application/json", res))
        res.set_content(R"({"resultCount":0,"results":[]})", "application/json");
      return;
    }
    if (path == "/larkvale/appcast.xml") {
      res.set_content(answers_.ownFeed, "application/rss+xml");
      return;
    }
    if (answerFrom(answers_.feeds, path, "application/rss+xml", res) ||
        answerFrom(answers_.releases, path, "application/json", res) ||
        answerFrom(answers_.pages, path, "text/html; charset=utf-8", res)) {
      return;
    }
    res.status = 404;
  });
}

}  // namespace larkvale::demo
