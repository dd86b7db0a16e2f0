#pragma once
// The catalogue of the maker's other apps as read from its JSON feed, the
// error a feed can fail with, and where a shown catalogue came from.
// A MoreAppsFeed is meant to be used only after MoreAppsValidator passed it
// (MoreAppsValidator::decode does both). Plain values; any thread.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Error.h"
#include "platform/Json.h"

namespace pennant {

struct MoreAppsEntry {
  struct Localized {
    std::optional<std::string> name;
    std::optional<std::string> detail;

    friend bool operator==(const Localized&, const Localized&) = default;
  };

  std::string id;  // stable within the catalogue
  std::string name;
  std::string detail;  // one line about the app
  std::string symbol;  // a system symbol image name
  std::string tint;    // one of MoreAppsValidator::tintNames
  std::string url;     // the link the entry opens
  std::optional<std::string> bundleId;
  std::optional<std::map<std::string, Localized>> localized;  // by language code

  // The name (detail) in the language when the entry has a translation of it,
  // else the base one.
  std::string localizedName(std::string_view language) const;
  std::string localizedDetail(std::string_view language) const;

  // The link to open. A link to the maker's site gets the tracking query
  // "utm_source=<source>&utm_medium=mac-app&utm_campaign=more-apps" (replacing
  // any query) when the source passes the slug rule; every other link comes
  // back as it is. Nothing when `url` is no URL.
  std::optional<std::string> entryURL(std::string_view trackingSource) const;

  // Where `url` points, by its host in lower case; false when it is no URL or
  // has no host.
  bool isAppStore() const;
  bool isMakerSite() const;

  friend bool operator==(const MoreAppsEntry&, const MoreAppsEntry&) = default;
};

struct MoreAppsFeed {
  int64_t schema = 0;
  std::vector<MoreAppsEntry> apps;  // in the order to show

  // JSON with the keys of the feed format; absent optionals are left out.
  larkvale::OrderedJson toJson() const;
  // Reads a feed document, types checked strictly: a missing required key, a
  // value of the wrong type or a number that is no whole integer throws
  // MoreAppsError::notJSON. Does not apply the feed rules.
  static MoreAppsFeed fromJson(const larkvale::Json& json);

  friend bool operator==(const MoreAppsFeed&, const MoreAppsFeed&) = default;
};

// Why a feed was refused. It carries no sentence for the user (what() is for
// logs): any of these means there is no usable feed.
class MoreAppsError : public larkvale::Error {
 public:
  enum class Kind { schema, count, invalid, tooLarge, notJSON };

  static MoreAppsError schema(int64_t found);      // schema not the supported one
  static MoreAppsError count(int64_t found);       // number of apps out of range
  static MoreAppsError invalid(std::string what);  // names the field and the app
  static MoreAppsError tooLarge();
  static MoreAppsError notJSON();

  Kind kind() const { return kind_; }
  int64_t number() const { return number_; }         // schema or count
  const std::string& text() const { return text_; }  // invalid

  friend bool operator==(const MoreAppsError& a, const MoreAppsError& b) {
    return a.kind_ == b.kind_ && a.number_ == b.number_ && a.text_ == b.text_;
  }

 private:
  MoreAppsError(Kind kind, int64_t number, std::string text, const std::string& why);

  Kind kind_;
  int64_t number_;
  std::string text_;
};

// Where the catalogue on screen came from.
enum class MoreAppsSource { network, cache, bundled, none };

// "network", "cache", "bundled", "none".
std::string_view rawValue(MoreAppsSource source);
// The source whose raw value is `raw` exactly; nothing for any other text.
std::optional<MoreAppsSource> moreAppsSource(std::string_view raw);

}  // namespace pennant
