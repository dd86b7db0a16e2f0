#pragma once
// The release side of GitHub as an update source: the addresses of a
// repository's latest release and of its releases page, reading the
// latest-release answer, turning a tag into version text and choosing the
// download that fits this Mac. Pure functions on plain values, callable from
// any thread. Finding an app's repository lives in GitHubRepos.h.
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kit/model/Hash.h"
#include "kit/sources/GitHubRepos.h"
#include "kit/sources/ServiceHosts.h"
#include "platform/Dates.h"
#include "platform/Error.h"
#include "platform/Json.h"

namespace larkvale {

struct GitHubRelease {
  struct Asset {
    std::string name;
    std::string url;  // always https, and passes WebURL::isKeepable
    std::optional<int64_t> size;
    friend bool operator==(const Asset&, const Asset&) = default;
  };

  std::string tag;  // never empty
  std::optional<std::string> name;
  std::optional<std::string> body;     // normalised notes, never empty
  std::optional<std::string> pageURL;  // always https, and passes WebURL::isKeepable
  std::optional<Date> published;
  bool prerelease = false;
  std::vector<Asset> assets;

  // The version text of the tag, else of the name.
  std::optional<std::string> version() const;

  friend bool operator==(const GitHubRelease&, const GitHubRelease&) = default;
};

// Field names as keys; optional fields left out when absent; `published` as
// seconds since 2001. fromJson gives nothing when tag, prerelease, assets or
// an asset's name or url is missing, or any field has the wrong type.
Json toJson(const GitHubRelease::Asset& asset);
Json toJson(const GitHubRelease& release);
std::optional<GitHubRelease::Asset> assetFromJson(const Json& json);
std::optional<GitHubRelease> releaseFromJson(const Json& json);

// GitHub's answer could not be taken as a published release.
class GitHubError : public Error {
 public:
  enum class Kind { notARelease };
  GitHubError() : Error("GitHub's answer wasn't a release.") {}
  Kind kind() const { return Kind::notARelease; }
};

namespace GitHubReleases {

inline constexpr std::string_view apiHost = "api.github.com";
// Saved answers this young are reused whatever the check's maximum age.
inline constexpr std::chrono::hours answerAge{6};

// Whether this program is built for Apple silicon (arm64) rather than Intel.
#if defined(__aarch64__) || defined(__arm64__)
inline constexpr bool builtForAppleSilicon = true;
#else
inline constexpr bool builtForAppleSilicon = false;
#endif

// "<API host>/repos/<repo>/releases/latest"; the repo text is not escaped.
std::string latestReleaseURL(std::string_view repo, const ServiceHosts& hosts = {});
// "<web host>/<repo>/releases"; the repo text is not escaped.
std::string releasesPageURL(std::string_view repo, const ServiceHosts& hosts = {});

// Throws GitHubError for bytes that are not a JSON object, a read key of the
// wrong type, a missing or empty tag_name, or a draft. Never throws anything
// else.
GitHubRelease parseRelease(std::string_view data);

// From the first ASCII digit to the end, less anything from the first "+";
// nothing when the trimmed text has no ASCII digit.
std::optional<std::string> versionFromTag(std::string_view text);

// The URL of the best Mac download (.dmg, .pkg or .zip) for the given
// processor, or nothing when no candidate scores 0 or more.
std::optional<std::string> pickMacAsset(const GitHubRelease& release, bool appleSilicon);
int scoreAsset(const GitHubRelease::Asset& asset, bool appleSilicon);

}  // namespace GitHubReleases
}  // namespace larkvale

template <>
struct std::hash<larkvale::GitHubRelease::Asset> {
  size_t operator()(const larkvale::GitHubRelease::Asset& a) const noexcept {
    return larkvale::hashValues(a.name, a.url, a.size);
  }
};

template <>
struct std::hash<larkvale::GitHubRelease> {
  size_t operator()(const larkvale::GitHubRelease& r) const noexcept {
    return larkvale::hashValues(r.tag, r.name, r.body, r.pageURL, r.published, r.prerelease,
                                r.assets);
  }
};
