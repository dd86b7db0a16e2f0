#include "kit/movingday/MovingManifest.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include <nlohmann/json.hpp>

#include "kit/movingday/CarryError.h"
#include "platform/FileSystem.h"

namespace larkvale {
namespace {

using nlohmann::json;

constexpr std::string_view kAppStoreHost = "apps.apple.com";
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

template <typename T>
void putOptional(json& object, const char* key, const std::optional<T>& value) {
  if (value) object[key] = *value;
}

json appJson(const MovingManifest::App& app) {
  json j = {{"name", app.name},
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

json settingJson(const MovingManifest::Setting& s) {
  return {{"tildePath", s.tildePath}, {"appName", s.appName}, {"bundleID", s.bundleID},
          {"isFolder", s.isFolder},   {"bytes", s.bytes},     {"files", s.files},
          {"stored", s.stored}};
}

// ---- reading ----

const json& required(const json& object, const char* key) {
  auto it = object.find(key);
  if (it == object.end())
    throw ManifestError("The manifest is missing the key \u201c" + std::string(key) + "\u201d.");
  return *it;
}

[[noreturn]] void wrongType(const char* key) {
  throw ManifestError("The value of \u201c" + std::string(key) + "\u201d has the wrong type.");
}

std::string text(const json& object, const char* key) {
  const json& v = required(object, key);
  if (!v.is_string()) wrongType(key);
  return v.get<std::string>();
}

int64_t integer(const json& v, const char* key) {
  if (v.is_number_integer() && !v.is_number_unsigned()) return v.get<int64_t>();
  if (v.is_number_unsigned() && v.get<uint64_t>() <= uint64_t{INT64_MAX})
    return static_cast<int64_t>(v.get<uint64_t>());
  wrongType(key);
}

bool boolean(const json& object, const char* key) {
  const json& v = required(object, key);
  if (!v.is_boolean()) wrongType(key);
  return v.get<bool>();
}

const json& objectIn(const json& v, const char* key) {
  if (!v.is_object()) wrongType(key);
  return v;
}

const json& arrayOf(const json& object, const char* key) {
  const json& v = required(object, key);
  if (!v.is_array()) wrongType(key);
  return v;
}

// A missing key and null both give nothing.
std::optional<std::string> optionalText(const json& object, const char* key) {
  auto it = object.find(key);
  if (it == object.end() || it->is_null()) return std::nullopt;
  if (!it->is_string()) wrongType(key);
  return it->get<std::string>();
}

std::optional<int64_t> optionalInteger(const json& object, const char* key) {
  auto it = object.find(key);
  if (it == object.end() || it->is_null()) return std::nullopt;
  return integer(*it, key);
}

MovingManifest::App appFrom(const json& v) {
  const json& o = objectIn(v, "apps");
  return {text(o, "name"),
          text(o, "bundleID"),
          text(o, "version"),
          text(o, "source"),
          optionalText(o, "caskToken"),
          optionalInteger(o, "storeTrackID"),
          optionalText(o, "githubRepo"),
          text(o, "installHow"),
          optionalText(o, "downloadHint")};
}

MovingManifest::Setting settingFrom(const json& v) {
  const json& o = objectIn(v, "settings");
  return {text(o, "tildePath"),
          text(o, "appName"),
          text(o, "bundleID"),
          boolean(o, "isFolder"),
          integer(required(o, "bytes"), "bytes"),
          integer(required(o, "files"), "files"),
          text(o, "stored")};
}

MovingManifest::LeftOut leftOutFrom(const json& v) {
  const json& o = objectIn(v, "leftOut");
  return {text(o, "path"), text(o, "reason")};
}

std::string readManifestFile(const std::filesystem::path& file) {
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0)
    throw FileError("Couldn't read " + file.string() + ": " + std::strerror(errno));
  if (!S_ISREG(st.st_mode))
    throw FileError("Couldn't read " + file.string() + ": it is not a regular file.");
  if (static_cast<uint64_t>(st.st_size) > kMaxManifestBytes)
    throw FileError("Couldn't read " + file.string() + ": the file is too large.");
  auto bytes = FileSystem::readFile(file, kMaxManifestBytes);
  if (!bytes) throw FileError("Couldn't read " + file.string() + ".");
  return std::move(*bytes);
}

}  // namespace

std::optional<std::string> MovingManifest::App::appStoreURL() const {
  if (!storeTrackID) return std::nullopt;
  return "macappstore://" + std::string(kAppStoreHost) + "/app/id" + std::to_string(*storeTrackID);
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

std::string MovingManifest::writeManifest(const MovingManifest& m) {
  json apps = json::array(), settings = json::array(), leftOut = json::array();
  for (const auto& app : m.apps) apps.push_back(appJson(app));
  for (const auto& s : m.settings) settings.push_back(settingJson(s));
  for (const auto& l : m.leftOut) leftOut.push_back({{"path", l.path}, {"reason", l.reason}});
  // nlohmann's object is an ordered map, so keys come out sorted at every level.
  json root = {{"schema", m.schema},   {"created", Dates::iso8601(m.created)},
               {"macName", m.macName}, {"systemVersion", m.systemVersion},
               {"apps", apps},         {"settings", settings},
               {"leftOut", leftOut}};
  std::string pretty = root.dump(2, ' ', false, json::error_handler_t::replace);
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
  json root = json::parse(bytes, nullptr, false);
  if (root.is_discarded()) throw ManifestError("The manifest isn't valid JSON.");
  if (!root.is_object()) throw ManifestError("The manifest isn't a JSON object.");
  MovingManifest m;
  m.schema = integer(required(root, "schema"), "schema");
  // Before the rest: a newer format may well have changed the other keys.
  if (m.schema > currentSchema) throw CarryError::newerManifest(m.schema);
  std::string created = text(root, "created");
  auto date = Dates::parseIso8601(created, true);
  if (!date) throw ManifestError("The date \u201c" + created + "\u201d isn't an ISO 8601 date.");
  m.created = *date;
  m.macName = text(root, "macName");
  m.systemVersion = text(root, "systemVersion");
  for (const json& v : arrayOf(root, "apps")) m.apps.push_back(appFrom(v));
  for (const json& v : arrayOf(root, "settings")) m.settings.push_back(settingFrom(v));
  for (const json& v : arrayOf(root, "leftOut")) m.leftOut.push_back(leftOutFrom(v));
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
