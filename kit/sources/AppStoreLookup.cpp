#include "kit/sources/AppStoreLookup.h"

#include <limits>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/HttpSession.h"
#include "platform/Strings.h"

namespace larkvale::AppStoreLookup {
namespace {

using nlohmann::json;

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

[[noreturn]] void typeMismatch(const char* key) {
  throw DecodeError("typeMismatch(\"" + std::string(key) + "\")");
}

// A missing key and a null both leave the field absent.
std::optional<std::string> text(const json& row, const char* key) {
  auto it = row.find(key);
  if (it == row.end() || it->is_null()) return std::nullopt;
  if (!it->is_string()) typeMismatch(key);
  return it->get<std::string>();
}

std::optional<int64_t> integer(const json& row, const char* key) {
  auto it = row.find(key);
  if (it == row.end() || it->is_null()) return std::nullopt;
  if (it->is_number_unsigned()) {
    auto value = it->get<uint64_t>();
    if (value > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) typeMismatch(key);
    return static_cast<int64_t>(value);
  }
  if (!it->is_number_integer()) typeMismatch(key);
  return it->get<int64_t>();
}

Row readRow(const json& row) {
  if (!row.is_object()) typeMismatch("results");
  return Row{integer(row, "trackId"),
             text(row, "trackName"),
             text(row, "version"),
             text(row, "releaseNotes"),
             text(row, "currentVersionReleaseDate"),
             text(row, "trackViewUrl"),
             text(row, "minimumOsVersion"),
             text(row, "bundleId")};
}

std::vector<Row> readRoot(std::string_view data) {
  json root = json::parse(data, nullptr, false);
  if (root.is_discarded()) throw DecodeError("dataCorrupted");
  if (!root.is_object()) typeMismatch("");
  auto results = root.find("results");
  if (results == root.end()) throw DecodeError("keyNotFound(\"results\")");
  if (!results->is_array()) typeMismatch("results");
  std::vector<Row> rows;
  rows.reserve(results->size());
  for (const json& row : *results) rows.push_back(readRow(row));
  return rows;
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
  if (!url || !parseUrl(*url)) return std::nullopt;
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
  listing.version = *row->version;
  if (row->releaseNotes && !row->releaseNotes->empty()) listing.releaseNotes = row->releaseNotes;
  if (row->currentVersionReleaseDate)
    listing.releaseDate = internetDate(*row->currentVersionReleaseDate);
  listing.storeURL = webPage(row->trackViewUrl);
  listing.minimumOS = row->minimumOsVersion;
  return listing;
}

}  // namespace larkvale::AppStoreLookup
