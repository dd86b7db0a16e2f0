#include "kit/sources/AppStoreLookup.h"

#include <vector>

#include "platform/HttpSession.h"
#include "platform/Json.h"
#include "platform/Strings.h"
#include "platform/TextTrim.h"
#include "platform/WebURL.h"

namespace larkvale::AppStoreLookup {
namespace {

struct Row {
  std::optional<int64_t> trackId;
  std::optional<std::string> trackName;
  std::optional<std::string> version;
  std::optional<std::string> releaseNotes;
  std::optional<std::string> currentVersionReleaseDate;
  std::optional<std::string> trackViewUrl;
  std::optional<std::string> minimumOsVersion;
  std::optional<std::string> bundleId;
};

Row readRow(const JsonIn& row) {
  return Row{row.optionalInt64("trackId"),
             row.optionalString("trackName"),
             row.optionalString("version"),
             row.optionalString("releaseNotes"),
             row.optionalString("currentVersionReleaseDate"),
             row.optionalString("trackViewUrl"),
             row.optionalString("minimumOsVersion"),
             row.optionalString("bundleId")};
}

// The service's failures name only the key at fault, in their case form; a
// number too large to hold counts as the wrong type.
std::string caseForm(const JsonDecodingError& e) {
  const char* kind =
      e.kind() == JsonDecodingError::Kind::keyNotFound ? "keyNotFound" : "typeMismatch";
  return std::string(kind) + "(\"" + e.member() + "\")";
}

std::vector<Row> readRoot(std::string_view data) {
  Json root;
  try {
    root = JsonCoding::parse(data);
  } catch (const JsonDecodingError&) {
    throw DecodeError("dataCorrupted");
  }
  try {
    return JsonIn(root).at("results").array(readRow);
  } catch (const JsonDecodingError& e) {
    throw DecodeError(caseForm(e));
  }
}

const Row* chooseRow(const std::vector<Row>& rows, const std::string& bundleID,
                     std::optional<int64_t> storeID) {
  if (storeID)
    for (const Row& row : rows)
      if (row.trackId == storeID) return &row;
  for (const Row& row : rows)
    if (row.bundleId == bundleID) return &row;
  return rows.size() == 1 ? &rows.front() : nullptr;
}

// Everything but the unreserved characters is escaped, so no value can end
// its item early or start another.
std::string queryValue(std::string_view value) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : value) {
    bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                 c == '-' || c == '.' || c == '_' || c == '~';
    if (plain) {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 0x0F]);
    }
  }
  return out;
}

std::optional<std::string> webPage(const std::optional<std::string>& url) {
  if (!url || !WebURL::isKeepable(*url) || !parseUrl(*url)) return std::nullopt;
  return url;
}

// Internet date and time: whole seconds, "Z" or an offset; a fraction of a
// second is not accepted.
std::optional<Date> internetDate(const std::string& text) {
  if (text.find('.') != std::string::npos) return std::nullopt;
  return Dates::parseIso8601(text, true);
}

}  // namespace

std::string idLookupURL(int64_t trackID, std::string_view country, const ServiceHosts& hosts) {
  return hosts.appStoreLookup + "/lookup?id=" + std::to_string(trackID) +
         "&country=" + queryValue(Strings::asciiLowercased(country));
}

std::string bundleLookupURL(std::string_view bundleID, std::string_view country, bool wrapped,
                            const ServiceHosts& hosts) {
  std::string url = hosts.appStoreLookup + "/lookup?bundleId=" + queryValue(bundleID) +
                    "&country=" + queryValue(Strings::asciiLowercased(country));
  if (!wrapped) url += "&entity=macSoftware";
  return url;
}

std::optional<StoreListing> decodeLookup(std::string_view data, const std::string& bundleID,
                                         std::optional<int64_t> storeID) {
  std::vector<Row> rows = readRoot(data);
  if (rows.empty()) return std::nullopt;
  const Row* row = chooseRow(rows, bundleID, storeID);
  if (!row || !row->trackId || !row->version) return std::nullopt;
  StoreListing listing;
  listing.trackID = *row->trackId;
  listing.name = row->trackName.value_or(bundleID);
  listing.version = TextTrim::oneLine(*row->version);
  if (row->releaseNotes && !row->releaseNotes->empty()) listing.releaseNotes = row->releaseNotes;
  if (row->currentVersionReleaseDate)
    listing.releaseDate = internetDate(*row->currentVersionReleaseDate);
  listing.storeURL = webPage(row->trackViewUrl);
  // Shown in a remark when this Mac is too old for the version.
  if (row->minimumOsVersion) listing.minimumOS = TextTrim::oneLine(*row->minimumOsVersion);
  return listing;
}

}  // namespace larkvale::AppStoreLookup
