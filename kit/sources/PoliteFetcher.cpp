#include "kit/sources/PoliteFetcher.h"

#include <system_error>
#include <vector>

namespace larkvale {
namespace {

namespace fs = std::filesystem;
using SavedAnswers::Saved;

FetchResult fromSaved(const Saved& saved) {
  return {saved.meta.status, saved.body, true};
}

std::optional<std::string> headerOf(const HttpResponse& response, const std::string& name) {
  const std::string* value = response.header(name);
  if (!value) return std::nullopt;
  return *value;
}

}  // namespace

PoliteFetcher::PoliteFetcher(std::unique_ptr<HttpSession> session,
                             std::optional<fs::path> cacheFolder, Options options)
    : session_(std::move(session)), cacheFolder_(std::move(cacheFolder)), options_(options) {
  if (cacheFolder_) {
    std::error_code ignored;
    fs::create_directories(*cacheFolder_, ignored);
  }
}

FetchResult PoliteFetcher::fetch(const std::string& url, std::chrono::seconds maxAge) {
  auto parts = parseUrl(url);
  if (!parts || (parts->scheme != "http" && parts->scheme != "https") || parts->host.empty())
    throw FetchError::notWeb();

  auto saved = loadSaved(url);
  if (saved) {
    const auto age = SavedAnswers::ageOf(saved->meta, options_.clock.now());
    // A date in the future means the clock moved; such an answer proves
    // nothing about freshness.
    if (age >= decltype(age)::zero() && age < maxAge) return fromSaved(*saved);
  }

  waitTurn(parts->host);
  HttpResponse response;
  try {
    response = session_->get(requestFor(url, saved));
  } catch (const HttpError& e) {
    if (e.kind() == HttpError::Kind::tooLarge) throw FetchError::tooLarge();
    if (e.kind() == HttpError::Kind::badURL) throw FetchError::notWeb();
    if (saved) return fromSaved(*saved);
    throw FetchError::network(e.what());
  }
  return answered(url, response, saved);
}

HttpRequest PoliteFetcher::requestFor(const std::string& url, const std::optional<Saved>& saved) {
  HttpRequest request;
  request.url = url;
  request.timeout = options_.timeout;
  request.idleTimeout = options_.idleTimeout;
  request.maxBodyBytes = maxBodyBytes;
  request.headers = {{"User-Agent", std::string(userAgent)}, {"Accept-Language", "en"}};
  if (!saved) return request;
  // Saved files may predate the check on saving, or have been edited.
  const Meta& meta = saved->meta;
  if (meta.etag && SavedAnswers::fitsInHeader(*meta.etag))
    request.headers.emplace_back("If-None-Match", *meta.etag);
  if (meta.lastModified && SavedAnswers::fitsInHeader(*meta.lastModified))
    request.headers.emplace_back("If-Modified-Since", *meta.lastModified);
  return request;
}

FetchResult PoliteFetcher::answered(const std::string& url, const HttpResponse& response,
                                    std::optional<Saved>& saved) {
  int status = response.status;
  if (status == 304 && saved) {
    // Only the date changes; the body on disk is already the confirmed one.
    if (cacheFolder_) {
      std::unique_lock lock(savedLock(url));
      std::lock_guard writing(writeMutex_);
      SavedAnswers::refresh(*cacheFolder_, saved->meta, options_.clock.now());
    }
    return fromSaved(*saved);
  }
  // The session already stops at the limit; this guards a session that doesn't.
  if (response.body.size() > maxBodyBytes) throw FetchError::tooLarge();
  if (status >= 200 && status <= 299) {
    Meta meta{url, options_.clock.now(), status, headerOf(response, "etag"),
              headerOf(response, "last-modified")};
    saveAnswer(meta, response.body);
    return {status, response.body, false};
  }
  if ((status == 429 || status >= 500) && saved) return fromSaved(*saved);
  return {status, response.body, false};
}

void PoliteFetcher::waitTurn(const std::string& host) {
  std::chrono::nanoseconds delay{0};
  {
    std::lock_guard lock(turnsMutex_);
    auto now = options_.clock.monotonic();
    auto [slot, fresh] = nextSlot_.try_emplace(host, now);
    auto start = (!fresh && slot->second >= now) ? slot->second : now;
    slot->second = start + options_.spacing;
    delay = start - now;
  }
  auto millis = std::chrono::duration_cast<std::chrono::milliseconds>(delay);
  if (millis.count() > 0) options_.clock.sleep(millis);
}

std::shared_mutex& PoliteFetcher::savedLock(const std::string& url) {
  return savedLocks_[std::hash<std::string>{}(url) % savedLocks_.size()];
}

std::optional<Saved> PoliteFetcher::loadSaved(const std::string& url) {
  if (!cacheFolder_) return std::nullopt;
  std::shared_lock lock(savedLock(url));
  return SavedAnswers::load(*cacheFolder_, url);
}

void PoliteFetcher::saveAnswer(const Meta& meta, std::string_view body) {
  if (!cacheFolder_) return;
  std::unique_lock lock(savedLock(meta.url));
  std::lock_guard writing(writeMutex_);
  SavedAnswers::save(*cacheFolder_, meta, body);
}

void PoliteFetcher::pruneSaved(std::chrono::seconds age) {
  if (!cacheFolder_) return;
  // Always taken in the same order; every other holder takes only one.
  std::vector<std::unique_lock<std::shared_mutex>> all;
  for (auto& lock : savedLocks_) all.emplace_back(lock);
  SavedAnswers::prune(*cacheFolder_, age, options_.clock.now());
}

}  // namespace larkvale
