#pragma once
// Reading appcast feeds (RSS with Sparkle's elements under the literal
// "sparkle:" prefix) and choosing the release that fits this machine.
// Everything here is pure and synchronous, touches neither network nor disk
// (osVersionString aside) and may be called from any thread.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kit/sources/AppcastItem.h"
#include "platform/Error.h"

namespace larkvale {

// The bytes are not an appcast. Carries no sentence of its own: what() is the
// case name, "notAnAppcast"; callers word it for the user.
class AppcastError : public Error {
 public:
  enum class Kind { notAnAppcast };
  explicit AppcastError(Kind kind = Kind::notAnAppcast) : Error("notAnAppcast"), kind_(kind) {}
  Kind kind() const { return kind_; }
  friend bool operator==(const AppcastError& a, const AppcastError& b) {
    return a.kind_ == b.kind_;
  }

 private:
  Kind kind_;
};

namespace Appcast {

inline constexpr const char* kSystemVersionPlist =
    "/System/Library/CoreServices/SystemVersion.plist";

// The feed's items in document order. Items finished before a break in the
// document stand; the one open at the break is lost; items without any
// version are dropped. Throws AppcastError when no rss or channel element
// started and no item was finished (so a feed with no items gives an empty
// list). External entities are never loaded.
std::vector<AppcastItem> parseAppcast(std::string_view data);

// The newest item for a system of the given version: default channel, no
// other system than macOS, minimum system met. Ties keep the earlier item.
// An empty systemVersion stands for an unknown one, which meets every minimum.
std::optional<AppcastItem> bestItem(const std::vector<AppcastItem>& items,
                                    std::string_view systemVersion);

// Whether a system of the given version runs what needs minimum: true when
// the version is unknown (empty).
bool meetsMinimum(std::string_view systemVersion, std::string_view minimum);

// A feed date in one of the RFC 822 or ISO 8601 forms feeds use, read in
// English and GMT; the whole trimmed text must be consumed.
std::optional<Date> parseFeedDate(std::string_view text);

// This system's version as "major.minor.patch": ProductVersion of the
// system version file. Nothing when there is no such file or it names no
// version, as on systems other than macOS: the version is unknown then.
std::optional<std::string> osVersionString();
std::optional<std::string> osVersionString(const std::filesystem::path& systemVersionPlist);

// "15.3" → "15.3.0", "15.3.1 beta" → "15.3.1": the leading digits of the
// first three dot-separated parts, 0 where there are none.
std::string versionTriple(std::string_view text);

}  // namespace Appcast
}  // namespace larkvale
