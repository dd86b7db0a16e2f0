#include "Pennant/MoreAppsFeed.h"

#include <cmath>
#include <string>

#include "Pennant/MoreAppsHosts.h"
#include "Pennant/MoreAppsURL.h"
#include "Pennant/MoreAppsValidator.h"
#include "platform/Strings.h"

namespace pennant {

using nlohmann::json;
using nlohmann::ordered_json;

// ---- entry operations ----

namespace {

std::optional<std::string> lowercaseHost(const std::string& url) {
  auto parts = parseURL(url);
  if (!parts || !parts->host) return std::nullopt;
  return larkvale::Strings::asciiLowercased(*parts->host);
}

bool isMakerHost(std::string_view host) {
  return host == MoreAppsHosts::maker ||
         (host.starts_with("www.") && host.substr(4) == MoreAppsHosts::maker);
}

const MoreAppsEntry::Localized* translation(const MoreAppsEntry& entry, std::string_view language) {
  if (!entry.localized) return nullptr;
  auto it = entry.localized->find(std::string(language));
  return it == entry.localized->end() ? nullptr : &it->second;
}

}  // namespace

std::string MoreAppsEntry::localizedName(std::string_view language) const {
  auto* t = translation(*this, language);
  return t && t->name ? *t->name : name;
}

std::string MoreAppsEntry::localizedDetail(std::string_view language) const {
  auto* t = translation(*this, language);
  return t && t->detail ? *t->detail : detail;
}

bool MoreAppsEntry::isAppStore() const {
  auto host = lowercaseHost(url);
  return host && *host == MoreAppsHosts::appStore;
}

bool MoreAppsEntry::isMakerSite() const {
  auto host = lowercaseHost(url);
  return host && isMakerHost(*host);
}

std::optional<std::string> MoreAppsEntry::entryURL(std::string_view trackingSource) const {
  auto parts = parseURL(url);
  if (!parts) return std::nullopt;
  if (isMakerSite() && MoreAppsValidator::validSlug(trackingSource)) {
    parts->query =
        "utm_source=" + std::string(trackingSource) + "&utm_medium=mac-app&utm_campaign=more-apps";
  }
  return parts->text();
}

// ---- JSON ----

namespace {

[[noreturn]] void notJSON() {
  throw MoreAppsError::notJSON();
}

const json& required(const json& object, const char* key) {
  auto it = object.find(key);
  if (it == object.end()) notJSON();
  return *it;
}

// Nothing for a missing key or a null.
const json* optionalValue(const json& object, const char* key) {
  auto it = object.find(key);
  return it == object.end() || it->is_null() ? nullptr : &*it;
}

std::string string(const json& value) {
  if (!value.is_string()) notJSON();
  return value.get<std::string>();
}

std::optional<std::string> optionalString(const json& object, const char* key) {
  const json* value = optionalValue(object, key);
  return value ? std::optional(string(*value)) : std::nullopt;
}

// A JSON number taken as a whole 64-bit integer: 1 and 1.0 both give 1; 1.5,
// 1e30 and "1" are refused.
int64_t integer(const json& value) {
  if (value.is_number_unsigned()) {
    if (value.get<uint64_t>() > static_cast<uint64_t>(INT64_MAX)) notJSON();
    return static_cast<int64_t>(value.get<uint64_t>());
  }
  if (value.is_number_integer()) return value.get<int64_t>();
  if (!value.is_number_float()) notJSON();
  double d = value.get<double>();
  if (!std::isfinite(d) || d != std::trunc(d) || d < -0x1p63 || d >= 0x1p63) notJSON();
  return static_cast<int64_t>(d);
}

MoreAppsEntry::Localized localizedFromJson(const json& value) {
  if (!value.is_object()) notJSON();
  return {optionalString(value, "name"), optionalString(value, "detail")};
}

MoreAppsEntry entryFromJson(const json& value) {
  if (!value.is_object()) notJSON();
  MoreAppsEntry entry;
  entry.id = string(required(value, "id"));
  entry.name = string(required(value, "name"));
  entry.detail = string(required(value, "detail"));
  entry.symbol = string(required(value, "symbol"));
  entry.tint = string(required(value, "tint"));
  entry.url = string(required(value, "url"));
  entry.bundleId = optionalString(value, "bundleId");
  if (const json* localized = optionalValue(value, "localized")) {
    if (!localized->is_object()) notJSON();
    std::map<std::string, MoreAppsEntry::Localized> byLanguage;
    for (const auto& [language, item] : localized->items()) {
      byLanguage[language] = localizedFromJson(item);
    }
    entry.localized = std::move(byLanguage);
  }
  return entry;
}

ordered_json entryToJson(const MoreAppsEntry& entry) {
  ordered_json out = {{"id", entry.id},         {"name", entry.name}, {"detail", entry.detail},
                      {"symbol", entry.symbol}, {"tint", entry.tint}, {"url", entry.url}};
  if (entry.bundleId) out["bundleId"] = *entry.bundleId;
  if (entry.localized) {
    ordered_json byLanguage = ordered_json::object();
    for (const auto& [language, item] : *entry.localized) {
      ordered_json one = ordered_json::object();
      if (item.name) one["name"] = *item.name;
      if (item.detail) one["detail"] = *item.detail;
      byLanguage[language] = std::move(one);
    }
    out["localized"] = std::move(byLanguage);
  }
  return out;
}

}  // namespace

MoreAppsFeed MoreAppsFeed::fromJson(const json& value) {
  if (!value.is_object()) notJSON();
  MoreAppsFeed feed;
  feed.schema = integer(required(value, "schema"));
  const json& apps = required(value, "apps");
  if (!apps.is_array()) notJSON();
  feed.apps.reserve(apps.size());
  for (const json& app : apps) feed.apps.push_back(entryFromJson(app));
  return feed;
}

ordered_json MoreAppsFeed::toJson() const {
  ordered_json list = ordered_json::array();
  for (const auto& entry : apps) list.push_back(entryToJson(entry));
  return {{"schema", schema}, {"apps", std::move(list)}};
}

// ---- error and source ----

MoreAppsError::MoreAppsError(Kind kind, int64_t number, std::string text, const std::string& why)
    : Error("catalogue feed refused: " + why),
      kind_(kind),
      number_(number),
      text_(std::move(text)) {}

MoreAppsError MoreAppsError::schema(int64_t found) {
  return {Kind::schema, found, "", "schema " + std::to_string(found)};
}
MoreAppsError MoreAppsError::count(int64_t found) {
  return {Kind::count, found, "", std::to_string(found) + " apps"};
}
MoreAppsError MoreAppsError::invalid(std::string what) {
  std::string why = "invalid " + what;
  return {Kind::invalid, 0, std::move(what), why};
}
MoreAppsError MoreAppsError::tooLarge() {
  return {Kind::tooLarge, 0, "", "too large"};
}
MoreAppsError MoreAppsError::notJSON() {
  return {Kind::notJSON, 0, "", "not a feed document"};
}

std::string_view rawValue(MoreAppsSource source) {
  switch (source) {
    case MoreAppsSource::network:
      return "network";
    case MoreAppsSource::cache:
      return "cache";
    case MoreAppsSource::bundled:
      return "bundled";
    case MoreAppsSource::none:
      return "none";
  }
  return "none";
}

std::optional<MoreAppsSource> moreAppsSource(std::string_view raw) {
  for (auto source : {MoreAppsSource::network, MoreAppsSource::cache, MoreAppsSource::bundled,
                      MoreAppsSource::none}) {
    if (raw == rawValue(source)) return source;
  }
  return std::nullopt;
}

}  // namespace pennant
