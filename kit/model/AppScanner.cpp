#include "kit/model/AppScanner.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <unordered_set>

#include "kit/model/OwnApp.h"
#include "kit/sources/GitHubRepos.h"
#include "platform/CodeSigning.h"
#include "platform/Collation.h"
#include "platform/FileSystem.h"
#include "platform/TextTrim.h"
#include "platform/WebURL.h"

namespace larkvale {
namespace {

namespace fs = std::filesystem;

// Real Info.plists are a few kilobytes; anything near this is not one.
constexpr size_t kMaxInfoPlist = 8u << 20;
constexpr size_t kMaxUpdateConfig = 1u << 20;

// A text value of the dictionary. Text that is not UTF-8 counts as missing:
// it could not have come from a real bundle and could not be saved later.
const std::string* textValue(const PlistDict& info, const char* key) {
  auto it = info.find(key);
  if (it == info.end()) return nullptr;
  const std::string* text = it->second.string();
  return text && FileSystem::isValidUtf8(*text) ? text : nullptr;
}

std::optional<std::string> feedURL(const PlistDict& info) {
  const std::string* text = textValue(info, "SUFeedURL");
  if (!text) return std::nullopt;
  std::string_view trimmed = TextTrim::spaces(*text);
  auto url = WebURL::parse(trimmed);
  if (!url) return std::nullopt;
  std::string scheme = url->scheme;
  std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (scheme != "https" && scheme != "http") return std::nullopt;
  return std::string(trimmed);
}

std::string displayName(const PlistDict& info, std::string_view fileName) {
  const std::string* display = textValue(info, "CFBundleDisplayName");
  std::string raw = display && !display->empty() ? *display : fs::path(fileName).stem().string();
  return std::string(TextTrim::spaces(AppScanner::cleanDisplayName(raw)));
}

// Where the property list of a bundle lies, and whether the app is wrapped.
struct InfoLocation {
  fs::path plist;
  bool wrapped = false;
};

std::optional<InfoLocation> locateInfo(const fs::path& bundle) {
  fs::path plain = bundle / "Contents" / "Info.plist";
  if (FileSystem::exists(plain)) return InfoLocation{plain, false};
  auto names = FileSystem::listNames(bundle / "Wrapper");
  if (!names) return std::nullopt;
  for (const std::string& name : *names) {
    if (name.ends_with(".app")) return InfoLocation{bundle / "Wrapper" / name / "Info.plist", true};
  }
  return std::nullopt;
}

std::optional<PlistDict> readInfo(const fs::path& plist) {
  auto bytes = FileSystem::readFile(plist, kMaxInfoPlist);
  if (!bytes) return std::nullopt;
  auto value = PropertyList::parse(*bytes);
  if (!value || !value->dict()) return std::nullopt;
  return std::move(*std::get_if<PlistDict>(&value->value));
}

std::optional<std::string> githubRepo(const fs::path& bundle, const PlistDict& info) {
  if (auto repo = GitHubReleases::repoFromInfo(info)) return repo;
  auto config =
      FileSystem::readText(bundle / "Contents/Resources/app-update.yml", kMaxUpdateConfig);
  if (!config) return std::nullopt;
  return GitHubReleases::repoFromUpdateConfig(*config);
}

std::optional<int64_t> parseSignedDecimal(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  // Accumulate towards the negative side, which holds one more value.
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    int digit = c - '0';
    if (value < (std::numeric_limits<int64_t>::min() + digit) / 10) return std::nullopt;
    value = value * 10 - digit;
  }
  if (negative) return value;
  if (value == std::numeric_limits<int64_t>::min()) return std::nullopt;
  return -value;
}

}  // namespace

std::vector<fs::path> AppScanner::defaultRoots(const fs::path& home) {
  return {fs::path("/Applications"), home / "Applications"};
}

std::vector<InstalledApp> AppScanner::scan() const {
  std::unordered_set<std::string> seen;
  std::vector<InstalledApp> apps;
  for (const fs::path& root : roots) {
    for (const fs::path& bundle : listApps(root, 1)) {
      if (!seen.insert(FileSystem::resolveLinks(bundle).string()).second) continue;
      if (auto app = readApp(bundle)) apps.push_back(std::move(*app));
    }
  }
  apps = OwnApp::keepOneOwnCopy(std::move(apps), runningPath);
  std::stable_sort(apps.begin(), apps.end(), [](const InstalledApp& a, const InstalledApp& b) {
    return Collation::less(a.name, b.name);
  });
  return apps;
}

std::vector<fs::path> AppScanner::listApps(const fs::path& folder, int depth) {
  auto entries = FileSystem::listEntries(folder);
  if (!entries) return {};
  std::sort(entries->begin(), entries->end(),
            [](const auto& a, const auto& b) { return a.path.native() < b.path.native(); });
  std::vector<fs::path> found;
  for (const FileSystem::Entry& entry : *entries) {
    if (entry.name.starts_with(".")) continue;
    if (entry.path.extension() == ".app") {
      found.push_back(entry.path);
    } else if (depth >= 1 && entry.isDirectory.value_or(false)) {
      auto inner = listApps(entry.path, depth - 1);
      found.insert(found.end(), inner.begin(), inner.end());
    }
  }
  return found;
}

std::optional<InstalledApp> AppScanner::readApp(const fs::path& bundle) const {
  if (!FileSystem::isValidUtf8(bundle.native())) return std::nullopt;
  auto location = locateInfo(bundle);
  if (!location) return std::nullopt;
  auto info = readInfo(location->plist);
  if (!info) return std::nullopt;
  auto app = factsFromInfo(*info, bundle.filename().native());
  if (!app) return std::nullopt;
  app->path = bundle.native();
  app->isWrappedIOSApp = location->wrapped;
  app->hasAppStoreReceipt =
      FileSystem::exists(bundle / "Contents/_MASReceipt/receipt") ||
      (location->wrapped && FileSystem::exists(bundle / "Wrapper/iTunesMetadata.plist"));
  app->selfUpdater = detectSelfUpdater(bundle, *info);
  if (app->hasAppStoreReceipt) app->storeID = appStoreID(bundle);
  app->githubRepo = githubRepo(bundle, *info);
  return app;
}

std::optional<InstalledApp> AppScanner::factsFromInfo(const PlistDict& info,
                                                      std::string_view fileName) {
  const std::string* bundleID = textValue(info, "CFBundleIdentifier");
  if (!bundleID || bundleID->empty()) return std::nullopt;
  const std::string* shortText = textValue(info, "CFBundleShortVersionString");
  const std::string* buildText = textValue(info, "CFBundleVersion");
  std::string shortVersion(shortText ? TextTrim::spaces(*shortText) : "");
  std::string build(buildText ? TextTrim::spaces(*buildText) : "");
  std::string base = shortVersion.empty() ? build : shortVersion;

  InstalledApp app;
  app.bundleID = *bundleID;
  app.name = displayName(info, fileName);
  app.version = base.empty() ? "?" : base;
  app.build = build.empty() ? base : build;
  app.feedURL = feedURL(info);
  return app;
}

std::optional<std::string> AppScanner::detectSelfUpdater(const fs::path& bundle,
                                                         const PlistDict& info) {
  if (info.contains("KSProductID")) return "Google's updater";
  if (FileSystem::exists(bundle / "Contents/Resources/app-update.yml"))
    return "its own updater (Electron)";
  if (FileSystem::exists(bundle / "Contents/Frameworks/Squirrel.framework"))
    return "its own updater (Squirrel)";
  auto id = info.find("CFBundleIdentifier");
  if (id != info.end() && id->second.string() && id->second.string()->starts_with("com.microsoft."))
    return "Microsoft AutoUpdate";
  if (FileSystem::exists(bundle / "Contents/Frameworks/Sparkle.framework"))
    return "Sparkle (its feed is set inside the app)";
  return std::nullopt;
}

std::optional<int64_t> AppScanner::appStoreID(const fs::path& bundle) const {
  if (!spotlight) return std::nullopt;
  auto value = spotlight->appStoreIdentifier(bundle);
  if (!value) return std::nullopt;
  return storeIDFromMetadata(*value);
}

std::optional<int64_t> AppScanner::storeIDFromMetadata(const MetadataValue& value) {
  if (const auto* integer = std::get_if<int64_t>(&value)) return *integer;
  if (const auto* real = std::get_if<double>(&value)) {
    // A real number is cut to its integer part; one outside the range has none.
    if (!std::isfinite(*real) || *real < -0x1p63 || *real >= 0x1p63) return std::nullopt;
    return static_cast<int64_t>(*real);
  }
  if (const auto* text = std::get_if<std::string>(&value)) return parseSignedDecimal(*text);
  return std::nullopt;
}

std::string AppScanner::cleanDisplayName(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    // U+200B–U+200F and U+202A–U+202E are E2 80 8B–8F and E2 80 AA–AE; U+FEFF
    // is EF BB BF. A lead byte never looks like a continuation byte, so a
    // match can't start inside another character.
    if (i + 2 < text.size() && text[i] == '\xE2' && text[i + 1] == '\x80') {
      auto c = static_cast<unsigned char>(text[i + 2]);
      if ((c >= 0x8B && c <= 0x8F) || (c >= 0xAA && c <= 0xAE)) {
        i += 2;
        continue;
      }
    }
    if (text.substr(i, 3) == "\xEF\xBB\xBF") {
      i += 2;
      continue;
    }
    out.push_back(text[i]);
  }
  return out;
}

std::optional<bool> AppScanner::isSandboxed(const fs::path& path) {
  auto info = CodeSigning::signingInformation(path);
  if (!info) return std::nullopt;
  if (!info->entitlements) return false;
  auto it = info->entitlements->find("com.apple.security.app-sandbox");
  if (it == info->entitlements->end() || !it->second.boolean()) return false;
  return *it->second.boolean();
}

}  // namespace larkvale
