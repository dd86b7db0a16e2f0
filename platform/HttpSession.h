#pragma once
// HTTP requests for the whole program: one interface, libcurl behind it.
// A session is ephemeral (nothing kept on disk), keeps no cookies (none
// accepted, none sent), accepts compressed answers, follows redirects over
// http and https only, and opens at most one connection per host at a time
// (a second request to a busy host waits for the first to finish). When an
// exchange with a host times out, the requests that were waiting for that
// host fail at once with the same error instead of each waiting out its own
// time limit; a request that arrives later tries the host again. The
// caller supplies every header it wants sent. Safe to call from any thread.
#include <chrono>
#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Error.h"

namespace larkvale {

struct HttpRequest {
  std::string url;  // http or https only
  std::vector<std::pair<std::string, std::string>> headers;
  // The whole exchange, redirects included, must end within this time.
  std::chrono::milliseconds timeout{40'000};
  // Connecting, and any stretch without a byte arriving, may last this long.
  std::chrono::milliseconds idleTimeout{20'000};
  size_t maxBodyBytes = 8u << 20;  // counted on the decoded body while it arrives
  // Sends HEAD instead of GET (redirects are followed with HEAD too); the
  // answer carries the status and headers and an empty body.
  bool head = false;
};

struct HttpResponse {
  int status = 0;
  std::string body;  // decoded (gzip, deflate, br, zstd undone)
  // Header names lowercased; from the final answer of a redirect chain.
  // Repeated headers are joined with ", ".
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
  // Sends a GET (or a HEAD, see HttpRequest::head) and returns the final
  // answer whatever its status. Throws
  // HttpError: badURL before anything is sent, tooLarge as soon as the
  // decoded body passes the limit (the transfer is abandoned), network for
  // every transport failure, a time-out (its own, or that of the exchange
  // it queued behind), too many redirects or a redirect to an address that
  // is not http or https.
  virtual HttpResponse get(const HttpRequest& request) = 0;
};

// The real session over libcurl.
std::unique_ptr<HttpSession> makeCurlSession();

// The parts of an absolute URL as a URL parser reads them. Scheme and host
// are lowercased; port is empty when the URL names none. Nothing when the
// text is not an absolute URL (it needs a scheme; a host may be missing, as
// in "file:///tmp/x"). Pure, callable from any thread.
struct UrlParts {
  std::string scheme;
  std::string host;
  std::string port;
  std::string path;
  friend bool operator==(const UrlParts&, const UrlParts&) = default;
};
std::optional<UrlParts> parseUrl(std::string_view text);

}  // namespace larkvale
