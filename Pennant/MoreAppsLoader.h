#pragma once
// Where the catalogue comes from: the feed on the maker's web site (asked at
// most once every checkInterval, with conditional requests), the copy of the
// last good answer cached on disk, and the copy shipped inside this library.
// Every catalogue it gives has passed MoreAppsValidator::decode.
//
// A plain value holding no state of its own: its state is the two cache files
// in cacheDirectory ("more-apps.json", the last accepted body byte for byte,
// and "more-apps.meta.json", a Meta), each replaced atomically. No operation
// throws or reports an error: a failure means that place has no catalogue.
// A loader may be copied to and used from any thread; two fetches on one
// cache folder at the same moment are not coordinated (the list never does it).
#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "Pennant/MoreAppsFeed.h"
#include "platform/Dates.h"
#include "platform/HttpSession.h"

namespace pennant {

struct MoreAppsLoader {
  // Sends one GET; throws on a transport failure (larkvale::HttpError or any
  // other exception), including a body larger than the request's maxBodyBytes.
  using Transport = std::function<larkvale::HttpResponse(const larkvale::HttpRequest&)>;

  // What the loader remembers of its last check.
  struct Meta {
    std::optional<std::string> etag;          // of the last accepted 200 answer
    std::optional<std::string> lastModified;  // of the last accepted 200 answer
    std::optional<larkvale::Date> checkedAt;  // when the last request was started

    // {"etag":…,"lastModified":…,"checkedAt":<seconds since 2001>}, compact,
    // absent fields left out.
    std::string toJson() const;
    // Nothing for anything that is not such an object (a null counts as absent).
    static std::optional<Meta> fromJson(std::string_view bytes);

    friend bool operator==(const Meta&, const Meta&) = default;
  };

  static constexpr std::chrono::seconds requestTimeout{5};    // without progress
  static constexpr std::chrono::seconds resourceTimeout{10};  // for a whole transfer
  static constexpr std::chrono::hours checkInterval{24};      // between two requests
  static constexpr const char* feedFileName = "more-apps.json";
  static constexpr const char* metaFileName = "more-apps.meta.json";

  // "https://" + the maker's web host + "/mac/more-apps.json".
  static const std::string& defaultFeedURL();
  // The feed shipped inside this library.
  static std::optional<std::string> bundledFeed();
  // The real HTTP session of the platform, made once per process on first use.
  static Transport defaultTransport();
  // The cache folder of a host app: the user's caches folder
  // (UserFolders::current(); the temporary folder when that names none),
  // then a folder named after the host app's bundle identifier ("Pennant"
  // when it has none, or one that can't stand as one folder name), then
  // "MoreApps". Nothing is created.
  static std::filesystem::path defaultCacheDirectory(std::string_view bundleID);
  // The same below the given caches folder; below the temporary folder when
  // it is empty.
  static std::filesystem::path cacheDirectoryIn(const std::filesystem::path& caches,
                                                std::string_view bundleID);

  std::string feedURL = defaultFeedURL();
  // The host app's folder for the two cache files (defaultCacheDirectory;
  // Larkvale's is AppFolders::catalogue, the same folder), made when first
  // written. Empty: no cache, so nothing is read or written there and every
  // fetch finds a check due.
  std::filesystem::path cacheDirectory;
  std::function<std::optional<std::string>()> bundled = bundledFeed;
  std::function<larkvale::Date()> now = [] { return std::chrono::system_clock::now(); };
  Transport transport = defaultTransport();

  // The cached copy, when it reads and validates.
  std::optional<MoreAppsFeed> loadCache() const;
  // The shipped copy, when there is one and it validates.
  std::optional<MoreAppsFeed> loadBundled() const;
  // The cache, else the shipped copy, else (nothing, none).
  std::pair<std::optional<MoreAppsFeed>, MoreAppsSource> loadLocal() const;
  // Whether a request is due: no readable meta, no checkedAt, at least
  // checkInterval elapsed, or a checkedAt in the future (clock set back).
  bool shouldCheck() const;
  // Writes the meta, creating the folder; failures are ignored.
  void saveMeta(const Meta& meta) const;
  // Asks the feed when due. Blocks for the request (at most resourceTimeout).
  // Gives a catalogue only when a new, valid one arrived from the feed's own
  // host over https with status 200; stores it and its validators then.
  // Every started request advances checkedAt first, whatever its outcome.
  std::optional<MoreAppsFeed> fetch() const;

 private:
  std::optional<Meta> readMeta() const;
  larkvale::HttpRequest makeRequest(const Meta& meta) const;
  bool acceptable(const larkvale::HttpResponse& response) const;
  void store(const larkvale::HttpResponse& response, Meta meta) const;
};

}  // namespace pennant
