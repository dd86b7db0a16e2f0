#include "kit/sources/AppcastItem.h"

#include <cmath>

#include "kit/model/Hash.h"
#include "platform/Error.h"

namespace larkvale {
namespace {

using nlohmann::json;

void putOptional(json& j, const char* key, const std::optional<std::string>& value) {
  if (value) j[key] = *value;
}

[[noreturn]] void malformed(const char* key) {
  throw Error(std::string("Malformed appcast item: ") + key);
}

std::optional<std::string> optionalString(const json& j, const char* key) {
  auto it = j.find(key);
  if (it == j.end()) return std::nullopt;
  if (!it->is_string()) malformed(key);
  return it->get<std::string>();
}

bool requiredBool(const json& j, const char* key) {
  auto it = j.find(key);
  if (it == j.end() || !it->is_boolean()) malformed(key);
  return it->get<bool>();
}

}  // namespace

json toJson(const AppcastItem& item) {
  json j = json::object();
  putOptional(j, "title", item.title);
  j["version"] = item.version;
  putOptional(j, "shortVersion", item.shortVersion);
  if (item.pubDate) j["pubDate"] = Dates::secondsSince2001(*item.pubDate);
  putOptional(j, "notes", item.notes);
  putOptional(j, "notesURL", item.notesURL);
  putOptional(j, "downloadURL", item.downloadURL);
  putOptional(j, "minimumSystemVersion", item.minimumSystemVersion);
  putOptional(j, "channel", item.channel);
  putOptional(j, "os", item.os);
  j["critical"] = item.critical;
  j["informational"] = item.informational;
  putOptional(j, "link", item.link);
  return j;
}

AppcastItem appcastItemFromJson(const json& j) {
  if (!j.is_object()) malformed("not an object");
  AppcastItem item;
  item.title = optionalString(j, "title");
  auto version = optionalString(j, "version");
  if (!version) malformed("version");
  item.version = *version;
  item.shortVersion = optionalString(j, "shortVersion");
  if (auto it = j.find("pubDate"); it != j.end()) {
    if (!it->is_number() || !std::isfinite(it->get<double>())) malformed("pubDate");
    item.pubDate = Dates::fromSecondsSince2001(it->get<double>());
  }
  item.notes = optionalString(j, "notes");
  item.notesURL = optionalString(j, "notesURL");
  item.downloadURL = optionalString(j, "downloadURL");
  item.minimumSystemVersion = optionalString(j, "minimumSystemVersion");
  item.channel = optionalString(j, "channel");
  item.os = optionalString(j, "os");
  item.critical = requiredBool(j, "critical");
  item.informational = requiredBool(j, "informational");
  item.link = optionalString(j, "link");
  return item;
}

}  // namespace larkvale

size_t std::hash<larkvale::AppcastItem>::operator()(
    const larkvale::AppcastItem& item) const noexcept {
  size_t seed = 0;
  auto mix = [&](const std::optional<std::string>& s) {
    larkvale::hashCombine(seed, s.has_value());
    if (s) larkvale::hashCombine(seed, *s);
  };
  mix(item.title);
  larkvale::hashCombine(seed, item.version);
  mix(item.shortVersion);
  larkvale::hashCombine(seed, item.pubDate ? item.pubDate->time_since_epoch().count() : -1);
  mix(item.notes);
  mix(item.notesURL);
  mix(item.downloadURL);
  mix(item.minimumSystemVersion);
  mix(item.channel);
  mix(item.os);
  larkvale::hashCombine(seed, item.critical);
  larkvale::hashCombine(seed, item.informational);
  mix(item.link);
  return seed;
}
