#pragma once
// One release listed in an appcast feed. A plain value; codes to JSON with
// its field names as keys (absent optionals left out, pubDate as seconds
// since 2001-01-01, as a GitHubRelease's date). Nothing stores it.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

#include "platform/Dates.h"
#include "platform/Json.h"

namespace larkvale {

struct AppcastItem {
  std::optional<std::string> title;
  std::string version;  // orders the feed's items; never empty
  std::optional<std::string> shortVersion;
  std::optional<Date> pubDate;
  std::optional<std::string> notes;     // release notes as plain text, never empty
  std::optional<std::string> notesURL;  // http or https
  std::optional<std::string> downloadURL;
  std::optional<std::string> minimumSystemVersion;
  std::optional<std::string> channel;  // absent for the default channel
  std::optional<std::string> os;       // the enclosure's system, as written
  bool critical = false;
  bool informational = false;
  std::optional<std::string> link;

  friend bool operator==(const AppcastItem&, const AppcastItem&) = default;
};

Json toJson(const AppcastItem& item);
// version, critical and informational are required; the three links must
// read as URLs, and pubDate lie within some thousand years. Throws
// JsonDecodingError.
template <>
AppcastItem fromJson<AppcastItem>(const JsonIn& in);

}  // namespace larkvale

template <>
struct std::hash<larkvale::AppcastItem> {
  size_t operator()(const larkvale::AppcastItem& item) const noexcept;
};
