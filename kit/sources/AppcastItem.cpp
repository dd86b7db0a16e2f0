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
  return larkvale::hashValues(item.title, item.version, item.shortVersion, item.pubDate, item.notes,
                              item.notesURL, item.downloadURL, item.minimumSystemVersion,
                              item.channel, item.os, item.critical, item.informational, item.link);
}
