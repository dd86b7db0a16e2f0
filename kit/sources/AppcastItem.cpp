#include "kit/sources/AppcastItem.h"

#include "kit/model/Hash.h"

namespace larkvale {

Json toJson(const AppcastItem& item) {
  Json obj = {{"version", item.version},
              {"critical", item.critical},
              {"informational", item.informational}};
  JsonCoding::putOptional(obj, "title", item.title);
  JsonCoding::putOptional(obj, "shortVersion", item.shortVersion);
  if (item.pubDate) obj["pubDate"] = Dates::secondsSince2001(*item.pubDate);
  JsonCoding::putOptional(obj, "notes", item.notes);
  JsonCoding::putOptional(obj, "notesURL", item.notesURL);
  JsonCoding::putOptional(obj, "downloadURL", item.downloadURL);
  JsonCoding::putOptional(obj, "minimumSystemVersion", item.minimumSystemVersion);
  JsonCoding::putOptional(obj, "channel", item.channel);
  JsonCoding::putOptional(obj, "os", item.os);
  JsonCoding::putOptional(obj, "link", item.link);
  return obj;
}

template <>
AppcastItem fromJson<AppcastItem>(const JsonIn& in) {
  AppcastItem item;
  item.title = in.optionalString("title");
  item.version = in.string("version");
  item.shortVersion = in.optionalString("shortVersion");
  if (auto seconds = in.optionalNumber("pubDate")) {
    // Far beyond any real date, and beyond what the clock type can hold.
    if (!(*seconds > -1e11 && *seconds < 1e11)) {
      throw JsonDecodingError(JsonDecodingError::Kind::dataCorrupted, in.at("pubDate").path(),
                              "Date out of range.");
    }
    item.pubDate = Dates::fromSecondsSince2001(*seconds);
  }
  item.notes = in.optionalString("notes");
  item.notesURL = in.optionalUrl("notesURL");
  item.downloadURL = in.optionalUrl("downloadURL");
  item.minimumSystemVersion = in.optionalString("minimumSystemVersion");
  item.channel = in.optionalString("channel");
  item.os = in.optionalString("os");
  item.critical = in.boolean("critical");
  item.informational = in.boolean("informational");
  item.link = in.optionalUrl("link");
  return item;
}

}  // namespace larkvale

size_t std::hash<larkvale::AppcastItem>::operator()(
    const larkvale::AppcastItem& item) const noexcept {
  return larkvale::hashValues(item.title, item.version, item.shortVersion, item.pubDate, item.notes,
                              item.notesURL, item.downloadURL, item.minimumSystemVersion,
                              item.channel, item.os, item.critical, item.informational, item.link);
}
