#pragma once
// A real HTTP server on 127.0.0.1 at a free port, run on its own thread for
// the life of the object. Register routes on server() before start().
#include <httplib.h>

#include <string>
#include <string_view>
#include <thread>

namespace larkvale::test {

class TestServer {
 public:
  TestServer() = default;
  ~TestServer();
  TestServer(const TestServer&) = delete;
  TestServer& operator=(const TestServer&) = delete;

  httplib::Server& server() { return server_; }
  // Binds, starts serving and waits until the server accepts connections.
  void start();
  int port() const { return port_; }
  // "http://127.0.0.1:<port>" followed by the path.
  std::string url(std::string_view path = "") const;

 private:
  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
};

// A port on 127.0.0.1 on which nothing listens (bound, then closed).
int closedPort();

}  // namespace larkvale::test
