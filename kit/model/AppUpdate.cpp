#include "kit/model/AppUpdate.h"

#include "kit/model/Hash.h"
#include "kit/model/Links.h"

namespace larkvale {

std::optional<std::string> AppUpdate::feedURL() const {
  if (source.kind() == UpdateSource::Kind::sparkle) return source.payload();
  return app.feedURL;
}

std::optional<std::string> AppUpdate::cask() const {
  if (source.kind() == UpdateSource::Kind::homebrew) return source.payload();
  return std::nullopt;
}

std::optional<std::string> AppUpdate::githubRepo() const {
  if (source.kind() == UpdateSource::Kind::github) return source.payload();
  return std::nullopt;
}

std::optional<std::string> AppUpdate::storeURL() const {
  return Links::appStore(storeTrackID);
}

template <>
AppUpdate fromJson<AppUpdate>(const JsonIn& in) {
  return readAppUpdate(in);
}

Json toJson(const AppUpdate& u) {
  Json obj = {{"app", toJson(u.app)},       {"source", toJson(u.source)},
              {"status", toJson(u.status)}, {"caskAutoUpdates", u.caskAutoUpdates},
              {"critical", u.critical},     {"alsoSparkle", u.alsoSparkle}};
  JsonCoding::putOptional(obj, "latestVersion", u.latestVersion);
  JsonCoding::putOptional(obj, "notes", u.notes);
  JsonCoding::putOptional(obj, "notesURL", u.notesURL);
  JsonCoding::putOptional(obj, "downloadURL", u.downloadURL);
  JsonCoding::putOptional(obj, "released", u.released);
  JsonCoding::putOptional(obj, "storeTrackID", u.storeTrackID);
  JsonCoding::putOptional(obj, "remark", u.remark);
  return obj;
}

template <typename In>
AppUpdate readAppUpdate(const In& in) {
  AppUpdate u;
  u.app = readInstalledApp(in.at("app"));
  u.source = readUpdateSource(in.at("source"));
  u.status = readUpdateStatus(in.at("status"));
  u.latestVersion = in.optionalString("latestVersion");
  u.notes = in.optionalString("notes");
  u.notesURL = in.optionalUrl("notesURL");
  u.downloadURL = in.optionalUrl("downloadURL");
  u.released = in.optionalDate("released");
  u.storeTrackID = in.optionalInt64("storeTrackID");
  u.caskAutoUpdates = in.boolean("caskAutoUpdates");
  u.critical = in.boolean("critical");
  u.remark = in.optionalString("remark");
  u.alsoSparkle = in.boolean("alsoSparkle");
  return u;
}

template AppUpdate readAppUpdate(const JsonIn& in);
template AppUpdate readAppUpdate(const JsonStreamIn& in);

}  // namespace larkvale

size_t std::hash<larkvale::AppUpdate>::operator()(const larkvale::AppUpdate& u) const noexcept {
  return larkvale::hashValues(u.app, u.source, u.status, u.latestVersion, u.notes, u.notesURL,
                              u.downloadURL, u.released, u.storeTrackID, u.caskAutoUpdates,
                              u.critical, u.remark, u.alsoSparkle);
}
