#include "kit/movingday/MovingManifest.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "kit/model/Links.h"
#include "kit/movingday/CarryError.h"
#include "kit/movingday/InventoryEntry.h"
#include "kit/sources/GitHubRepos.h"
#include "kit/sources/Homebrew.h"
#include "platform/Collation.h"
#include "platform/FileSystem.h"
#include "platform/Json.h"
#include "platform/TextTrim.h"
#include "platform/WebURL.h"

namespace larkvale {
namespace {

using JsonCoding::putOptional;

// Far above any real manifest (thousands of settings and left-out items).
constexpr size_t kMaxManifestBytes = 32u << 20;

// Joins a relative path from a manifest below base, or nothing when it is not
// a plain relative path. NUL is refused too: the system would cut the path
// there, and "..\0x" would pass as a plain piece.
std::optional<std::filesystem::path> joinPlain(const std::filesystem::path& base,
                                               std::string_view relative) {
  if (relative.find('\0') != std::string_view::npos) return std::nullopt;
  return FileSystem::joinInside(base, relative);
}

// ---- writing ----

Json appJson(const MovingManifest::App& app) {
  Json j = {{"name", app.name},
            {"bundleID", app.bundleID},
            {"version", app.version},
            {"source", app.source},
            {"installHow", app.installHow}};
  putOptional(j, "caskToken", app.caskToken);
  putOptional(j, "storeTrackID", app.storeTrackID);
  putOptional(j, "githubRepo", app.githubRepo);
  putOptional(j, "downloadHint", app.downloadHint);
  return j;
}

Json settingJson(const MovingManifest::Setting& s) {
  return {{"tildePath", s.tildePath}, {"appName", s.appName}, {"bundleID", s.bundleID},
          {"isFolder", s.isFolder},   {"bytes", s.bytes},     {"files", s.files},
          {"stored", s.stored}};
}

// ---- reading ----

// Internet date-times: whole seconds with "Z" as written, and also a fraction
// of a second or an offset, which hand-edited manifests may well carry.
Date createdDate(const JsonIn& in) {
  JsonIn created = in.at("created");
  if (auto date = Dates::parseIso8601(created.string(), true)) return *date;
  throw JsonDecodingError(JsonDecodingError::Kind::dataCorrupted, created.path(),
                          "Expected date string to be ISO8601-formatted.");
}

// The texts New Mac Check shows on one line: names, versions and how to
// install an app.
std::string shownLine(const JsonIn& in, std::string_view key) {
  return TextTrim::oneLine(in.string(key));
}

// A value that claims a shape (a cask token, a repository, a host) and
// lacks it is read as absent: nothing downstream offers or shows it as one.
std::optional<std::string> shaped(const JsonIn& in, std::string_view key,
                                  bool (*hasShape)(std::string_view)) {
  auto value = in.optionalString(key);
  if (value && !hasShape(*value)) value.reset();
  return value;
}

MovingManifest::App appFrom(const JsonIn& in) {
  return {shownLine(in, "name"),
          in.string("bundleID"),
          shownLine(in, "version"),
          in.string("source"),
          shaped(in, "caskToken", Homebrew::isCaskToken),
          in.optionalInt64("storeTrackID"),
          shaped(in, "githubRepo", GitHubReleases::isRepoName),
          shownLine(in, "installHow"),
          shaped(in, "downloadHint", WebURL::isHostName)};
}

MovingManifest::Setting settingFrom(const JsonIn& in) {
  return {in.string("tildePath"), shownLine(in, "appName"), in.string("bundleID"),
          in.boolean("isFolder"), in.int64("bytes"),        in.int64("files"),
          in.string("stored")};
}

MovingManifest::LeftOut leftOutFrom(const JsonIn& in) {
  return {in.string("path"), in.string("reason")};
}

std::string readManifestFile(const std::filesystem::path& file) {
  const std::string shown = TextTrim::writtenOut(file.native());
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0)
    throw FileError("Couldn't read " + shown + ": " + std::strerror(errno));
  if (!S_ISREG(st.st_mode))
    throw FileError("Couldn't read " + shown + ": it is not a regular file.");
  if (static_cast<uint64_t>(st.st_size) > kMaxManifestBytes)
    throw FileError("Couldn't read " + shown + ": the file is too large.");
  auto bytes = FileSystem::readFile(file, kMaxManifestBytes);
  if (!bytes) throw FileError("Couldn't read " + shown + ".");
  return std::move(*bytes);
}

}  // namespace

std::optional<std::string> MovingManifest::App::appStoreURL() const {
  return Links::appStore(storeTrackID);
}

std::optional<std::filesystem::path> MovingManifest::Setting::copyIn(
    const std::filesystem::path& folder) const {
  if (!stored.starts_with("Settings/")) return std::nullopt;
  return joinPlain(folder, stored);
}

std::optional<std::filesystem::path> MovingManifest::Setting::placeIn(
    const std::filesystem::path& home) const {
  if (!tildePath.starts_with("~/")) return std::nullopt;
  return joinPlain(home, std::string_view(tildePath).substr(2));
}

std::vector<MovingManifest::App> MovingManifest::manifestApps(
    const std::vector<InventoryEntry>& entries) {
  std::vector<App> apps;
  for (const InventoryEntry& e : entries) {
    if (e.source.kind() == UpdateSource::Kind::apple) continue;
    apps.push_back({e.app.name, e.app.bundleID, e.app.version, std::string(e.source.key()),
                    e.caskToken, e.storeTrackID, e.githubRepo(), e.installHow(), e.downloadHint});
  }
  std::stable_sort(apps.begin(), apps.end(),
                   [](const App& a, const App& b) { return Collation::less(a.name, b.name); });
  return apps;
}

std::string MovingManifest::writeManifest(const MovingManifest& m) {
  Json apps = Json::array(), settings = Json::array(), leftOut = Json::array();
  for (const auto& app : m.apps) apps.push_back(appJson(app));
  for (const auto& s : m.settings) settings.push_back(settingJson(s));
  for (const auto& l : m.leftOut) leftOut.push_back({{"path", l.path}, {"reason", l.reason}});
  // nlohmann's object is an ordered map, so keys come out sorted at every level.
  Json root = {{"schema", m.schema},   {"created", JsonCoding::date(m.created)},
               {"macName", m.macName}, {"systemVersion", m.systemVersion},
               {"apps", apps},         {"settings", settings},
               {"leftOut", leftOut}};
  std::string pretty = root.dump(2, ' ', false, Json::error_handler_t::replace);
  // "/" only ever occurs inside strings in JSON text, so escaping every one
  // keeps the document valid; it is the encoder form the format names.
  std::string out;
  out.reserve(pretty.size() + pretty.size() / 16);
  for (char c : pretty) {
    if (c == '/') out += '\\';
    out += c;
  }
  return out;
}

MovingManifest MovingManifest::decode(std::string_view bytes) {
  Json root = JsonCoding::parse(bytes);
  JsonIn in(root);
  in.requireObject();
  MovingManifest m;
  m.schema = in.int64("schema");
  m.created = createdDate(in);
  m.macName = shownLine(in, "macName");
  m.systemVersion = shownLine(in, "systemVersion");
  m.apps = in.at("apps").array(appFrom);
  m.settings = in.at("settings").array(settingFrom);
  m.leftOut = in.at("leftOut").array(leftOutFrom);
  // Only a file that reads as a manifest is named as a newer one.
  if (m.schema > currentSchema) throw CarryError::newerManifest(m.schema);
  return m;
}

MovingManifest::Read MovingManifest::readManifest(const std::filesystem::path& location) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(location, ec);
  if (ec) absolute = location;
  std::filesystem::path file =
      std::filesystem::is_directory(absolute, ec) ? absolute / std::string(fileName) : absolute;
  MovingManifest manifest = decode(readManifestFile(file));
  return {std::move(manifest), file.parent_path()};
}

}  // namespace larkvale
