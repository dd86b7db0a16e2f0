#pragma once
// The local server of Larkvale's demo: on 127.0.0.1 at a free port, on a
// thread of its own for the life of the object, it answers the sample apps'
// feeds, the App Store lookup, GitHub's releases and their pages, and
// Larkvale's own feed, from the answers it is given. Everything else is 404.
#include <httplib.h>

#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "tools/demo/DemoHome.h"

namespace larkvale::demo {

class DemoServer {
 public:
  // Binds at once, so that url() is known before the answers are.
  DemoServer();
  ~DemoServer();
  DemoServer(const DemoServer&) = delete;
  DemoServer& operator=(const DemoServer&) = delete;

  // "http://127.0.0.1:<port>".
  std::string url() const;
  // Starts answering with these answers. Throws std::runtime_error when the
  // server could not bind.
  void start(DemoAnswers answers);

 private:
  void route();

  httplib::Server server_;
  int port_ = -1;
  std::mutex mutex_;
  DemoAnswers answers_;
  std::thread thread_;
};

}  // namespace larkvale::demo
