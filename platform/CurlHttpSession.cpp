#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <utility>

#include "platform/HttpSession.h"
#include "platform/Strings.h"

namespace larkvale {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kMaxRedirects = 16;

void initCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool isWebScheme(const std::string& scheme) {
  return scheme == "http" || scheme == "https";
}

std::string trim(std::string_view s) {
  auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!s.empty() && isSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && isSpace(s.back())) s.remove_suffix(1);
  return std::string(s);
}

// What one transfer (one hop of a redirect chain) collects.
struct Sink {
  std::string body;
  size_t limit = 0;
  bool overflow = false;
  std::map<std::string, std::string> headers;
};

size_t onBody(char* data, size_t size, size_t count, void* user) {
  auto* sink = static_cast<Sink*>(user);
  size_t n = size * count;
  if (sink->body.size() + n > sink->limit) {
    sink->overflow = true;
    return 0;  // any short count makes libcurl abandon the transfer
  }
  sink->body.append(data, n);
  return n;
}

size_t onHeader(char* data, size_t size, size_t count, void* user) {
  auto* sink = static_cast<Sink*>(user);
  size_t n = size * count;
  std::string_view line(data, n);
  if (line.starts_with("HTTP/")) {
    sink->headers.clear();  // an interim (1xx) answer's headers don't count
    return n;
  }
  auto colon = line.find(':');
  if (colon == std::string_view::npos || colon == 0) return n;
  std::string name = Strings::asciiLowercased(std::string(line.substr(0, colon)));
  std::string value = trim(line.substr(colon + 1));
  auto [it, fresh] = sink->headers.try_emplace(name, value);
  if (!fresh) it->second += ", " + value;
  return n;
}

// One reusable handle per host: holding its lock is what keeps a host to
// one connection at a time, and reusing the handle keeps its connection
// warm for the next request.
struct HostSlot {
  std::timed_mutex busy;
  CURL* easy = nullptr;
  // Guarded by the session's mutex: how many exchanges have ended, and the
  // count at the end of the last one that timed out (0: none) with its text.
  uint64_t ended = 0;
  uint64_t timedOutAt = 0;
  std::string timeoutText;
  ~HostSlot() {
    if (easy) curl_easy_cleanup(easy);
  }
};

struct Hop {
  int status = 0;
  std::string redirectTo;
  Sink sink;
};

class CurlHttpSession final : public HttpSession {
 public:
  HttpResponse get(const HttpRequest& request) override {
    auto parts = parseUrl(request.url);
    if (!parts || !isWebScheme(parts->scheme) || parts->host.empty())
      throw HttpError(HttpError::Kind::badURL, "unsupported URL");
    auto deadline = Clock::now() + request.timeout;
    std::string url = request.url;
    std::string host = parts->host;
    for (int hop = 0; hop <= kMaxRedirects; ++hop) {
      Hop answer = perform(host, url, request, deadline);
      if (answer.redirectTo.empty()) return finish(std::move(answer), url);
      auto next = parseUrl(answer.redirectTo);
      if (!next || !isWebScheme(next->scheme) || next->host.empty())
        throw HttpError(HttpError::Kind::network,
                        "Redirected to an address that is not http or https");
      url = answer.redirectTo;
      host = next->host;
    }
    throw HttpError(HttpError::Kind::network, "Too many redirects");
  }

 private:
  static HttpResponse finish(Hop&& answer, const std::string& url) {
    HttpResponse response;
    response.status = answer.status;
    response.body = std::move(answer.sink.body);
    response.headers = std::move(answer.sink.headers);
    response.finalURL = url;
    return response;
  }

  // The host's slot, and how many exchanges with it had ended on arrival.
  std::pair<HostSlot&, uint64_t> arriveAt(const std::string& host) {
    std::lock_guard lock(mutex_);
    auto& slot = slots_[host];
    if (!slot) slot = std::make_unique<HostSlot>();
    return {*slot, slot->ended};
  }

  // A host that let an exchange time out while this request waited for it
  // would most likely do the same again: each request in its queue would
  // wait out a full time limit in turn. They all share the one failure.
  void failIfTimedOutSince(const HostSlot& slot, uint64_t arrival) {
    std::lock_guard lock(mutex_);
    if (slot.timedOutAt > arrival) throw HttpError(HttpError::Kind::network, slot.timeoutText);
  }

  void ended(HostSlot& slot, CURLcode code, const std::string& text) {
    std::lock_guard lock(mutex_);
    ++slot.ended;
    if (code != CURLE_OPERATION_TIMEDOUT) return;
    slot.timedOutAt = slot.ended;
    slot.timeoutText = text;
  }

  Hop perform(const std::string& host, const std::string& url, const HttpRequest& request,
              Clock::time_point deadline) {
    // The time limit counts from when the request was asked for: the wait
    // for the host's connection spends it like the exchange itself.
    auto [slot, arrival] = arriveAt(host);
    std::unique_lock busy(slot.busy, deadline);
    if (!busy.owns_lock()) throw HttpError(HttpError::Kind::network, "The request timed out");
    failIfTimedOutSince(slot, arrival);
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) throw HttpError(HttpError::Kind::network, "The request timed out");
    if (!slot.easy) slot.easy = curl_easy_init();
    if (!slot.easy) throw HttpError(HttpError::Kind::network, "Couldn't start a transfer");
    CURL* easy = slot.easy;
    curl_easy_reset(easy);

    Hop hop;
    hop.sink.limit = request.maxBodyBytes;
    curl_slist* headers = nullptr;
    for (const auto& [name, value] : request.headers)
      headers = curl_slist_append(headers, (name + ": " + value).c_str());
    char errorText[CURL_ERROR_SIZE] = {0};
    configure(easy, url, request, left.count(), headers, hop.sink, errorText);

    CURLcode code = curl_easy_perform(easy);
    curl_slist_free_all(headers);
    std::string failure;
    if (code != CURLE_OK) failure = errorText[0] ? errorText : curl_easy_strerror(code);
    ended(slot, code, failure);
    if (hop.sink.overflow)
      throw HttpError(HttpError::Kind::tooLarge, "The answer is larger than allowed");
    if (code != CURLE_OK) throw HttpError(HttpError::Kind::network, failure);

    long status = 0;
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    hop.status = static_cast<int>(status);
    char* location = nullptr;
    bool redirects =
        status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
    if (redirects && curl_easy_getinfo(easy, CURLINFO_REDIRECT_URL, &location) == CURLE_OK &&
        location)
      hop.redirectTo = location;
    return hop;
  }

  static void configure(CURL* easy, const std::string& url, const HttpRequest& request,
                        long timeoutMs, curl_slist* headers, Sink& sink, char* errorText) {
    long idleMs = std::max(1L, static_cast<long>(request.idleTimeout.count()));
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    if (request.head) curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);  // after HTTPGET, which clears it
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    // Redirects are followed here, hop by hop, so that each hop takes its
    // own host's turn and its scheme is checked before anything is sent.
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, timeoutMs);
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, std::min(idleMs, timeoutMs));
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, std::max(1L, (idleMs + 999) / 1000));
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &sink);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorText);
  }

  std::mutex mutex_;
  std::map<std::string, std::unique_ptr<HostSlot>> slots_;
};

// libcurl is lenient about the slashes after the scheme ("http:x",
// "http:///x" both get a host); a URL has a host only when "//" and a
// non-empty authority follow the scheme.
bool namesAHost(std::string_view text) {
  auto colon = text.find(':');
  if (colon == std::string_view::npos || text.substr(colon + 1, 2) != "//") return false;
  std::string_view authority = text.substr(colon + 3);
  authority = authority.substr(0, authority.find_first_of("/?#"));
  auto at = authority.rfind('@');
  if (at != std::string_view::npos) authority.remove_prefix(at + 1);
  return !authority.empty() && authority.front() != ':';
}

std::string urlPart(CURLU* u, CURLUPart part) {
  char* text = nullptr;
  if (curl_url_get(u, part, &text, 0) != CURLUE_OK || !text) return {};
  std::string value(text);
  curl_free(text);
  return value;
}

}  // namespace

std::unique_ptr<HttpSession> makeCurlSession() {
  initCurlOnce();
  return std::make_unique<CurlHttpSession>();
}

std::optional<UrlParts> parseUrl(std::string_view text) {
  CURLU* u = curl_url();
  if (!u) return std::nullopt;
  std::string copy(text);
  if (copy.find('\0') != std::string::npos ||
      curl_url_set(u, CURLUPART_URL, copy.c_str(), CURLU_NON_SUPPORT_SCHEME) != CURLUE_OK) {
    curl_url_cleanup(u);
    return std::nullopt;
  }
  UrlParts parts;
  parts.scheme = Strings::asciiLowercased(urlPart(u, CURLUPART_SCHEME));
  if (namesAHost(copy)) parts.host = Strings::asciiLowercased(urlPart(u, CURLUPART_HOST));
  parts.port = urlPart(u, CURLUPART_PORT);
  parts.path = urlPart(u, CURLUPART_PATH);
  curl_url_cleanup(u);
  if (parts.scheme.empty()) return std::nullopt;
  return parts;
}

}  // namespace larkvale
