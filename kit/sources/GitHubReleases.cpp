#include "kit/sources/GitHubReleases.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <memory>

#include "kit/model/Links.h"
#include "kit/sources/HTMLText.h"
#include "platform/HttpSession.h"
#include "platform/Json.h"
#include "platform/Strings.h"
#include "platform/TextTrim.h"
#include "platform/WebURL.h"

namespace larkvale {
namespace GitHubReleases {
namespace {

// The raw answer: every read key, each optional.
struct RawAsset {
  std::optional<std::string> name;
  std::optional<std::string> url;
  std::optional<int64_t> size;
};

struct Raw {
  std::optional<std::string> tagName, name, body, htmlURL, publishedAt;
  std::optional<bool> prerelease, draft;
  std::vector<RawAsset> assets;
};

// A key that is absent or null gives nothing; any other type than the one
// expected refuses the whole answer.
Raw readRaw(std::string_view data) {
  try {
    const Json root = JsonCoding::parse(data);
    const auto in = JsonIn::withoutPlaces(root);
    Raw raw{in.optionalString("tag_name"),     in.optionalString("name"),
            in.optionalString("body"),         in.optionalString("html_url"),
            in.optionalString("published_at"), in.optionalBoolean("prerelease"),
            in.optionalBoolean("draft"),       {}};
    if (auto assets = in.find("assets")) {
      raw.assets = assets->array([](const JsonIn& asset) {
        return RawAsset{asset.optionalString("name"), asset.optionalString("browser_download_url"),
                        asset.optionalInt64("size")};
      });
    }
    return raw;
  } catch (const JsonDecodingError&) {
    throw GitHubError();
  }
}

// A link the record may keep (WebURL::isKeepable, the saved state's own
// rule), whose scheme exactly as written is "https", with a host to go to.
bool isHttpsURL(const std::string& url) {
  if (!url.starts_with("https:") || !WebURL::isKeepable(url)) return false;
  auto parts = parseUrl(url);
  return parts && !parts->host.empty();
}

UChar32 codePointAt(std::string_view s, size_t& pos) {
  UChar32 c;
  int32_t i = static_cast<int32_t>(pos);
  U8_NEXT(s.data(), i, static_cast<int32_t>(s.size()), c);
  pos = static_cast<size_t>(i);
  return c;
}

std::string_view trimSpace(std::string_view s) {
  size_t start = 0;
  while (start < s.size()) {
    size_t next = start;
    if (!u_isUWhiteSpace(codePointAt(s, next))) break;
    start = next;
  }
  s.remove_prefix(start);
  while (!s.empty()) {
    int32_t end = static_cast<int32_t>(s.size());
    UChar32 c;
    U8_PREV(s.data(), 0, end, c);
    if (!u_isUWhiteSpace(c)) break;
    s.remove_suffix(s.size() - static_cast<size_t>(end));
  }
  return s;
}

std::optional<std::string> normaliseNotes(const std::string& body) {
  std::string unified;
  unified.reserve(body.size());
  for (size_t i = 0; i < body.size(); ++i) {
    if (body[i] == '\r' && i + 1 < body.size() && body[i + 1] == '\n') continue;
    unified.push_back(body[i]);
  }
  std::string notes(trimSpace(unified));
  if (notes.empty()) return std::nullopt;
  return HTMLText::cutNotes(std::move(notes));
}

std::optional<Date> internetDate(const std::string& text) {
  if (text.find('.') != std::string::npos) return std::nullopt;  // no fractions
  return Dates::parseIso8601(text, true);
}

bool containsAny(std::string_view name, std::initializer_list<std::string_view> parts) {
  for (auto part : parts)
    if (name.find(part) != std::string_view::npos) return true;
  return false;
}

bool isCandidate(const std::string& lowered) {
  bool kind = lowered.ends_with(".dmg") || lowered.ends_with(".pkg") || lowered.ends_with(".zip");
  return kind && !containsAny(lowered, {".blockmap", ".sha256", ".sha512", ".sig", ".asc", ".yml",
                                        ".txt", "symbols", "debug"});
}

}  // namespace

std::string latestReleaseURL(std::string_view repo, const ServiceHosts& hosts) {
  return hosts.gitHubAPI + "/repos/" + std::string(repo) + "/releases/latest";
}

std::string releasesPageURL(std::string_view repo, const ServiceHosts& hosts) {
  return Links::releasesPage(repo, hosts.gitHubWeb);
}

GitHubRelease parseRelease(std::string_view data) {
  Raw raw = readRaw(data);
  if (!raw.tagName || raw.tagName->empty() || raw.draft.value_or(false)) throw GitHubError();
  GitHubRelease release;
  release.tag = *raw.tagName;
  release.name = raw.name;
  if (raw.body) release.body = normaliseNotes(*raw.body);
  if (raw.htmlURL && isHttpsURL(*raw.htmlURL)) release.pageURL = raw.htmlURL;
  if (raw.publishedAt) release.published = internetDate(*raw.publishedAt);
  release.prerelease = raw.prerelease.value_or(false);
  for (auto& asset : raw.assets)
    if (asset.name && asset.url && isHttpsURL(*asset.url))
      release.assets.push_back({std::move(*asset.name), std::move(*asset.url), asset.size});
  return release;
}

std::optional<std::string> versionFromTag(std::string_view text) {
  const std::string shown = TextTrim::oneLine(text);
  std::string_view trimmed = trimSpace(shown);
  size_t digit = trimmed.find_first_of("0123456789");
  if (digit == std::string_view::npos) return std::nullopt;
  std::string_view version = trimmed.substr(digit);
  return std::string(version.substr(0, version.find('+')));
}

int scoreAsset(const GitHubRelease::Asset& asset, bool appleSilicon) {
  std::string name = Strings::asciiLowercased(asset.name);
  int score = 0;
  if (containsAny(name, {"mac", "darwin", "osx", "apple"})) score += 4;
  if (containsAny(name, {"universal"})) score += 3;
  bool intelNamed = containsAny(name, {"x86_64", "x64", "intel"});
  if (appleSilicon && containsAny(name, {"arm64", "aarch64", "apple-silicon"})) score += 2;
  if (appleSilicon && intelNamed) score -= 2;
  if (!appleSilicon && intelNamed) score += 2;
  if (containsAny(name, {"windows", "win32", "win64", "linux", ".appimage", "android"}))
    score -= 10;
  if (name.ends_with(".dmg")) score += 1;
  return score;
}

std::optional<std::string> pickMacAsset(const GitHubRelease& release, bool appleSilicon) {
  const GitHubRelease::Asset* best = nullptr;
  int bestScore = -1;
  for (const auto& asset : release.assets) {
    if (!isCandidate(Strings::asciiLowercased(asset.name))) continue;
    int score = scoreAsset(asset, appleSilicon);
    if (score >= 0 && score > bestScore) {
      best = &asset;
      bestScore = score;
    }
  }
  if (!best) return std::nullopt;
  return best->url;
}

}  // namespace GitHubReleases

std::optional<std::string> GitHubRelease::version() const {
  if (auto fromTag = GitHubReleases::versionFromTag(tag)) return fromTag;
  if (name) return GitHubReleases::versionFromTag(*name);
  return std::nullopt;
}

}  // namespace larkvale
