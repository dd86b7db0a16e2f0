#include "kit/sources/AppcastItem.h"

#include "kit/model/Hash.h"
#include "platform/Error.h"
#include "platform/Json.h"

namespace larkvale {
namespace {

using JsonCoding::putOptional;
using nlohmann::json;

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
  const JsonIn in(j);
  AppcastItem item;
  item.title = in.optionalString("title");
  item.version = in.string("version");
  item.shortVersion = in.optionalString("shortVersion");
  if (auto date = in.find("pubDate"); date && !date->isNull())
    item.pubDate = Dates::fromSecondsSince2001(date->number());
  item.notes = in.optionalString("notes");
  item.notesURL = in.optionalString("notesURL");
  item.downloadURL = in.optionalString("downloadURL");
  item.minimumSystemVersion = in.optionalString("minimumSystemVersion");
  item.channel = in.optionalString("channel");
  item.os = in.optionalString("os");
  item.critical = in.boolean("critical");
  item.informational = in.boolean("informational");
  item.link = in.optionalString("link");
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
