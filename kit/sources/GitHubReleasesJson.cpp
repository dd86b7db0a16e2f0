// The JSON form of a release and its assets, under their field names.
#include <limits>

#include "kit/sources/GitHubReleases.h"

namespace larkvale {
namespace {

using nlohmann::json;

// Reads an optional field: absent or null leaves it empty; `ok` turns false
// on a wrong type.
template <typename T, typename Check>
std::optional<T> optionalField(const json& object, const char* key, Check isType, bool& ok) {
  auto it = object.find(key);
  if (it == object.end() || it->is_null()) return std::nullopt;
  if (!isType(*it)) {
    ok = false;
    return std::nullopt;
  }
  return it->get<T>();
}

bool isText(const json& j) {
  return j.is_string();
}
bool isInt64(const json& j) {
  if (j.is_number_unsigned())
    return j.get<uint64_t>() <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
  return j.is_number_integer();
}
bool isNumber(const json& j) {
  return j.is_number();
}
bool isFlag(const json& j) {
  return j.is_boolean();
}

}  // namespace

json toJson(const GitHubRelease::Asset& asset) {
  json object = {{"name", asset.name}, {"url", asset.url}};
  if (asset.size) object["size"] = *asset.size;
  return object;
}

json toJson(const GitHubRelease& release) {
  json object = json::object();
  object["tag"] = release.tag;
  if (release.name) object["name"] = *release.name;
  if (release.body) object["body"] = *release.body;
  if (release.pageURL) object["pageURL"] = *release.pageURL;
  if (release.published) object["published"] = Dates::secondsSince2001(*release.published);
  object["prerelease"] = release.prerelease;
  json assets = json::array();
  for (const auto& asset : release.assets) assets.push_back(toJson(asset));
  object["assets"] = std::move(assets);
  return object;
}

std::optional<GitHubRelease::Asset> assetFromJson(const json& object) {
  if (!object.is_object()) return std::nullopt;
  bool ok = true;
  auto name = optionalField<std::string>(object, "name", isText, ok);
  auto url = optionalField<std::string>(object, "url", isText, ok);
  auto size = optionalField<int64_t>(object, "size", isInt64, ok);
  if (!ok || !name || !url) return std::nullopt;
  return GitHubRelease::Asset{*name, *url, size};
}

std::optional<GitHubRelease> releaseFromJson(const json& object) {
  if (!object.is_object()) return std::nullopt;
  bool ok = true;
  GitHubRelease release;
  auto tag = optionalField<std::string>(object, "tag", isText, ok);
  release.name = optionalField<std::string>(object, "name", isText, ok);
  release.body = optionalField<std::string>(object, "body", isText, ok);
  release.pageURL = optionalField<std::string>(object, "pageURL", isText, ok);
  auto published = optionalField<double>(object, "published", isNumber, ok);
  auto prerelease = optionalField<bool>(object, "prerelease", isFlag, ok);
  auto assets = object.find("assets");
  if (!ok || !tag || !prerelease || assets == object.end() || !assets->is_array())
    return std::nullopt;
  release.tag = *tag;
  release.prerelease = *prerelease;
  if (published) {
    if (!(*published > -1e11 && *published < 1e11)) return std::nullopt;
    release.published = Dates::fromSecondsSince2001(*published);
  }
  for (const json& item : *assets) {
    auto asset = assetFromJson(item);
    if (!asset) return std::nullopt;
    release.assets.push_back(std::move(*asset));
  }
  return release;
}

}  // namespace larkvale
