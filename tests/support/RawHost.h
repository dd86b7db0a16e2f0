#pragma once
// A loopback server that speaks raw bytes, for answers a well-behaved HTTP
// server refuses to send. It reads each request up to the blank line that
// ends its head, keeps the head, and sends the fixed reply then closes the
// connection; with an empty reply it never answers (a silent host that
// accepts and keeps the connection open). Runs on its own thread for the
// life of the object; the accessors may be called from any thread.
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace larkvale::test {

class RawHost {
 public:
  explicit RawHost(std::string reply = {});
  ~RawHost();
  RawHost(const RawHost&) = delete;
  RawHost& operator=(const RawHost&) = delete;

  // "http://127.0.0.1:<port>" followed by the path.
  std::string url(std::string_view path = "") const;
  // The request heads received so far, in order.
  std::vector<std::string> heads() const;
  size_t requests() const { return heads().size(); }

 private:
  void serve();

  std::string reply_;
  int listener_ = -1;
  int wake_[2] = {-1, -1};
  int port_ = 0;
  mutable std::mutex mutex_;
  std::vector<std::string> heads_;
  std::thread thread_;
};

}  // namespace larkvale::test
