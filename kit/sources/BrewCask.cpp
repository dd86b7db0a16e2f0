#include "kit/sources/BrewCask.h"

#include "kit/model/Hash.h"
#include "kit/sources/Homebrew.h"

namespace larkvale {
namespace {

using nlohmann::json;

[[noreturn]] void fail(const std::string& key, const char* what) {
  throw BrewAnswerError(key + ": " + what);
}

std::string requiredString(const json& j, const char* key) {
  auto it = j.find(key);
  if (it == j.end() || !it->is_string()) fail(key, "expected a string");
  return it->get<std::string>();
}

std::optional<std::string> optionalString(const json& j, const char* key) {
  auto it = j.find(key);
  if (it == j.end()) return std::nullopt;
  if (!it->is_string()) fail(key, "expected a string");
  return it->get<std::string>();
}

bool requiredBool(const json& j, const char* key) {
  auto it = j.find(key);
  if (it == j.end() || !it->is_boolean()) fail(key, "expected a Boolean");
  return it->get<bool>();
}

std::vector<std::string> requiredStrings(const json& j, const char* key) {
  auto it = j.find(key);
  if (it == j.end() || !it->is_array()) fail(key, "expected an array");
  std::vector<std::string> out;
  for (const auto& e : *it) {
    if (!e.is_string()) fail(key, "expected strings");
    out.push_back(e.get<std::string>());
  }
  return out;
}

void requireObject(const json& j) {
  if (!j.is_object()) throw BrewAnswerError("expected an object");
}

}  // namespace

json toJson(const BrewCask& c) {
  json j{{"token", c.token},
         {"name", c.name},
         {"latest", c.latest},
         {"autoUpdates", c.autoUpdates},
         {"appPaths", c.appPaths}};
  if (c.installed) j["installed"] = *c.installed;
  if (c.homepage) j["homepage"] = *c.homepage;
  return j;
}

json toJson(const BrewOutdated& o) {
  return {
      {"token", o.token}, {"installed", o.installed}, {"current", o.current}, {"pinned", o.pinned}};
}

BrewCask brewCaskFromJson(const json& j) {
  requireObject(j);
  BrewCask c;
  c.token = requiredString(j, "token");
  c.name = requiredString(j, "name");
  c.latest = requiredString(j, "latest");
  c.installed = optionalString(j, "installed");
  c.autoUpdates = requiredBool(j, "autoUpdates");
  c.appPaths = requiredStrings(j, "appPaths");
  c.homepage = optionalString(j, "homepage");
  return c;
}

BrewOutdated brewOutdatedFromJson(const json& j) {
  requireObject(j);
  BrewOutdated o;
  o.token = requiredString(j, "token");
  o.installed = requiredStrings(j, "installed");
  o.current = requiredString(j, "current");
  o.pinned = requiredBool(j, "pinned");
  return o;
}

}  // namespace larkvale

size_t std::hash<larkvale::BrewCask>::operator()(const larkvale::BrewCask& c) const noexcept {
  size_t seed = 0;
  larkvale::hashCombine(seed, c.token);
  larkvale::hashCombine(seed, c.name);
  larkvale::hashCombine(seed, c.latest);
  larkvale::hashCombine(seed, c.installed.value_or(""));
  larkvale::hashCombine(seed, c.autoUpdates);
  for (const auto& p : c.appPaths) larkvale::hashCombine(seed, p);
  larkvale::hashCombine(seed, c.homepage.value_or(""));
  return seed;
}

size_t std::hash<larkvale::BrewOutdated>::operator()(
    const larkvale::BrewOutdated& o) const noexcept {
  size_t seed = 0;
  larkvale::hashCombine(seed, o.token);
  for (const auto& v : o.installed) larkvale::hashCombine(seed, v);
  larkvale::hashCombine(seed, o.current);
  larkvale::hashCombine(seed, o.pinned);
  return seed;
}
