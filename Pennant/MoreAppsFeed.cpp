#include "Pennant/MoreAppsFeed.h"

#include <string>

#include "Pennant/MoreAppsHosts.h"
#include "Pennant/MoreAppsURL.h"
#include "Pennant/MoreAppsValidator.h"
#include "platform/Json.h"
#include "platform/WebURL.h"

namespace pennant {

using nlohmann::json;
using nlohmann::ordered_json;

// ---- entry operations ----

namespace {

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
  auto parts = larkvale::WebURL::parseStrict(url);
  if (!parts) return std::nullopt;
  if (isMakerSite() && MoreAppsValidator::validSlug(trackingSource)) {
    parts->query =
        "utm_source=" + std::string(trackingSource) + "&utm_medium=mac-app&utm_campaign=more-apps";
  }
  return parts->text();
}

// ---- JSON ----

namespace {

using larkvale::JsonIn;

MoreAppsEntry::Localized localizedFromJson(const JsonIn& in) {
  return {in.optionalString("name"), in.optionalString("detail")};
}

MoreAppsEntry entryFromJson(const JsonIn& in) {
  MoreAppsEntry entry;
  entry.id = in.string("id");
  entry.name = in.string("name");
  entry.detail = in.string("detail");
  entry.symbol = in.string("symbol");
  entry.tint = in.string("tint");
  entry.url = in.string("url");
  entry.bundleId = in.optionalString("bundleId");
  if (auto localized = in.find("localized")) entry.localized = localized->map(localizedFromJson);
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
  try {
    const auto in = JsonIn::withoutPlaces(value);
    MoreAppsFeed feed;
    feed.schema = in.at("schema").integral();
    feed.apps = in.at("apps").array(entryFromJson);
    return feed;
  } catch (const larkvale::JsonDecodingError&) {
    throw MoreAppsError::notJSON();
  }
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
