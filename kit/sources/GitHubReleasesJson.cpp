// The JSON form of a release and its assets, under their field names.
#include "kit/sources/GitHubReleases.h"
#include "platform/Json.h"

namespace larkvale {
namespace {

using nlohmann::json;

GitHubRelease::Asset readAsset(const JsonIn& in) {
  return {in.string("name"), in.string("url"), in.optionalInt64("size")};
}

GitHubRelease readRelease(const JsonIn& in) {
  GitHubRelease release;
  release.tag = in.string("tag");
  release.name = in.optionalString("name");
  release.body = in.optionalString("body");
  release.pageURL = in.optionalString("pageURL");
  auto published = in.optionalNumber("published");
  release.prerelease = in.boolean("prerelease");
  release.assets = in.at("assets").array(readAsset);
  if (published) {
    // Far beyond any real date, and beyond what the clock type can hold.
    if (!(*published > -1e11 && *published < 1e11)) {
      throw JsonDecodingError(JsonDecodingError::Kind::dataCorrupted, "published",
                              "Date out of range.");
    }
    release.published = Dates::fromSecondsSince2001(*published);
  }
  return release;
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
  try {
    return readAsset(JsonIn::withoutPlaces(object));
  } catch (const JsonDecodingError&) {
    return std::nullopt;
  }
}

std::optional<GitHubRelease> releaseFromJson(const json& object) {
  try {
    return readRelease(JsonIn::withoutPlaces(object));
  } catch (const JsonDecodingError&) {
    return std::nullopt;
  }
}

}  // namespace larkvale
