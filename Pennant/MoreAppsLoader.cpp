#include "Pennant/MoreAppsLoader.h"

#include <cmath>
#include <system_error>

#include <nlohmann/json.hpp>

#include "Pennant/MoreAppsHosts.h"
#include "Pennant/MoreAppsURL.h"
#include "Pennant/MoreAppsValidator.h"
#include "platform/FileSystem.h"
#include "platform/Json.h"
#include "platform/UserFolders.h"
#include "platform/WebURL.h"

namespace pennant {

// Generated from resources/more-apps.json at build time.
std::string_view shippedFeedBytes();

namespace fs = std::filesystem;
using larkvale::HttpRequest;
using larkvale::HttpResponse;
namespace FileSystem = larkvale::FileSystem;
namespace Dates = larkvale::Dates;

namespace {

constexpr size_t kMaxMetaBytes = size_t{64} * 1024;
constexpr size_t kMaxValidatorLength = 200;

std::optional<MoreAppsFeed> decoded(const std::optional<std::string>& bytes) {
  if (!bytes) return std::nullopt;
  try {
    return MoreAppsValidator::decode(*bytes);
  } catch (const MoreAppsError&) {
    return std::nullopt;
  }
}

// A validator header worth repeating: non-empty, at most 200 characters of
// printable ASCII. Anything else is dropped rather than sent back later.
std::optional<std::string> validatorHeader(const HttpResponse& response, const char* name) {
  const std::string* value = response.header(name);
  if (!value || value->empty() || value->size() > kMaxValidatorLength) return std::nullopt;
  for (char c : *value) {
    if (c < 0x20 || c > 0x7E) return std::nullopt;
  }
  return *value;
}

}  // namespace

// ---- Meta ----

std::string MoreAppsLoader::Meta::toJson() const {
  nlohmann::ordered_json out = nlohmann::ordered_json::object();
  if (etag) out["etag"] = *etag;
  if (lastModified) out["lastModified"] = *lastModified;
  if (checkedAt) out["checkedAt"] = Dates::secondsSince2001(*checkedAt);
  return out.dump();
}

std::optional<MoreAppsLoader::Meta> MoreAppsLoader::Meta::fromJson(std::string_view bytes) {
  try {
    const larkvale::Json json = larkvale::JsonCoding::parse(bytes);
    const auto in = larkvale::JsonIn::withoutPlaces(json);
    Meta meta;
    meta.etag = in.optionalString("etag");
    meta.lastModified = in.optionalString("lastModified");
    if (auto seconds = in.optionalNumber("checkedAt")) {
      if (!std::isfinite(*seconds)) return std::nullopt;
      meta.checkedAt = Dates::fromSecondsSince2001(*seconds);
    }
    return meta;
  } catch (const larkvale::JsonDecodingError&) {
    return std::nullopt;
  }
}

// ---- defaults ----

const std::string& MoreAppsLoader::defaultFeedURL() {
  static const std::string url =
      "https://" + std::string(MoreAppsHosts::maker) + "/mac/more-apps.json";
  return url;
}

fs::path MoreAppsLoader::cacheDirectoryIn(const fs::path& caches, std::string_view bundleID) {
  fs::path below = caches;
  if (below.empty()) {
    std::error_code ec;
    below = fs::temp_directory_path(ec);
  }
  const bool folderName =
      !bundleID.empty() && bundleID != "." && bundleID != ".." &&
      bundleID.find_first_of(std::string_view("/\0", 2)) == std::string_view::npos;
  return below / (folderName ? bundleID : std::string_view("Pennant")) / "MoreApps";
}

fs::path MoreAppsLoader::defaultCacheDirectory(std::string_view bundleID) {
  return cacheDirectoryIn(larkvale::UserFolders::current().caches, bundleID);
}

std::optional<std::string> MoreAppsLoader::bundledFeed() {
  return std::string(shippedFeedBytes());
}

// ---- local copies ----

std::optional<MoreAppsFeed> MoreAppsLoader::loadCache() const {
  if (cacheDirectory.empty()) return std::nullopt;
  return decoded(FileSystem::readFile(cacheDirectory / feedFileName, MoreAppsValidator::maxBytes));
}

std::optional<MoreAppsFeed> MoreAppsLoader::loadBundled() const {
  return bundled ? decoded(bundled()) : std::nullopt;
}

std::pair<std::optional<MoreAppsFeed>, MoreAppsSource> MoreAppsLoader::loadLocal() const {
  if (auto feed = loadCache()) return {std::move(feed), MoreAppsSource::cache};
  if (auto feed = loadBundled()) return {std::move(feed), MoreAppsSource::bundled};
  return {std::nullopt, MoreAppsSource::none};
}

// ---- the check ----

std::optional<MoreAppsLoader::Meta> MoreAppsLoader::readMeta() const {
  if (cacheDirectory.empty()) return std::nullopt;
  auto bytes = FileSystem::readFile(cacheDirectory / metaFileName, kMaxMetaBytes);
  return bytes ? Meta::fromJson(*bytes) : std::nullopt;
}

bool MoreAppsLoader::shouldCheck() const {
  auto meta = readMeta();
  if (!meta || !meta->checkedAt) return true;
  // In seconds as doubles: a damaged file may hold a stamp centuries away,
  // whose distance in clock ticks does not fit the clock's integer.
  double elapsed = Dates::secondsSince2001(now()) - Dates::secondsSince2001(*meta->checkedAt);
  return elapsed >= std::chrono::duration<double>(checkInterval).count() || elapsed < 0;
}

void MoreAppsLoader::saveMeta(const Meta& meta) const {
  if (cacheDirectory.empty()) return;
  std::error_code ec;
  fs::create_directories(cacheDirectory, ec);
  std::string bytes;
  try {
    bytes = meta.toJson();
  } catch (const nlohmann::json::exception&) {
    return;  // a text that is no UTF-8 has no JSON form
  }
  try {
    FileSystem::writeAtomically(cacheDirectory / metaFileName, bytes);
  } catch (const larkvale::Error&) {
    // The next launch simply finds the check due again.
  }
}

HttpRequest MoreAppsLoader::makeRequest(const Meta& meta) const {
  HttpRequest request;
  request.url = feedURL;
  request.timeout = resourceTimeout;
  request.idleTimeout = requestTimeout;
  // The session stops the transfer as soon as the body passes this, so a
  // hostile server cannot make us take in more than a feed may be.
  request.maxBodyBytes = MoreAppsValidator::maxBytes;
  request.headers.emplace_back("Accept", "application/json");
  // Validators only for a catalogue we still hold: a 304 must never stand for
  // a cache that is missing or damaged.
  if (loadCache()) {
    if (meta.etag) request.headers.emplace_back("If-None-Match", *meta.etag);
    if (meta.lastModified) request.headers.emplace_back("If-Modified-Since", *meta.lastModified);
  }
  return request;
}

bool MoreAppsLoader::acceptable(const HttpResponse& response) const {
  if (!response.finalURL.empty()) {
    auto final = larkvale::WebURL::parseStrict(response.finalURL);
    if (!final || final->scheme != "https") return false;
    if (lowercaseHost(response.finalURL) != lowercaseHost(feedURL)) return false;
  }
  return response.status == 200;
}

void MoreAppsLoader::store(const HttpResponse& response, Meta meta) const {
  if (cacheDirectory.empty()) return;
  std::error_code ec;
  fs::create_directories(cacheDirectory, ec);
  try {
    FileSystem::writeAtomically(cacheDirectory / feedFileName, response.body);
  } catch (const larkvale::Error&) {
    return;  // the old validators still describe the old cached body
  }
  meta.etag = validatorHeader(response, "etag");
  meta.lastModified = validatorHeader(response, "last-modified");
  saveMeta(meta);
}

std::optional<MoreAppsFeed> MoreAppsLoader::fetch() const {
  if (!shouldCheck()) return std::nullopt;
  Meta meta = readMeta().value_or(Meta{});
  meta.checkedAt = now();
  saveMeta(meta);

  HttpResponse response;
  try {
    response = transport(makeRequest(meta));
  } catch (...) {
    return std::nullopt;  // transport failures, too-large bodies, anything thrown
  }
  if (!acceptable(response)) return std::nullopt;
  auto feed = decoded(response.body);
  if (feed) store(response, std::move(meta));
  return feed;
}

}  // namespace pennant
