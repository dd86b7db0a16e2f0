#pragma once
// HTTP requests for the whole program: one interface, libcurl behind it.
// A session is ephemeral (nothing kept on disk), keeps no cookies, accepts
// compressed answers, follows redirects over http and https only, and opens
// at most one connection per host at a time. Safe to call from any thread.
#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/Error.h"

namespace larkvale {

struct HttpRequest {
  std::string url;  // http or https only
  std::vector<std::pair<std::string, std::string>> headers;
  double timeoutSeconds = 30;      // for the whole exchange
  size_t maxBodyBytes = 8u << 20;  // counted on the decoded body while it arrives
};

struct HttpResponse {
  int status = 0;
  std::string body;
  // Header names lowercased; from the final answer of a redirect chain.
  std::map<std::string, std::string> headers;
  std::string finalURL;

  const std::string* header(const std::string& lowercaseName) const {
    auto it = headers.find(lowercaseName);
    return it == headers.end() ? nullptr : &it->second;
  }
};

class HttpError : public Error {
 public:
  enum class Kind {
    network,   // transport failure; what() is the transport's text
    badURL,    // not an http or https address
    tooLarge,  // the body passed maxBodyBytes
  };
  HttpError(Kind kind, const std::string& text) : Error(text), kind_(kind) {}
  Kind kind() const { return kind_; }

 private:
  Kind kind_;
};

class HttpSession {
 public:
  virtual ~HttpSession() = default;
  // Sends a GET and returns the final answer whatever its status. Throws
  // HttpError.
  virtual HttpResponse get(const HttpRequest& request) = 0;
};

// The real session over libcurl.
std::unique_ptr<HttpSession> makeCurlSession();

}  // namespace larkvale
