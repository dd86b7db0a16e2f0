#include "kit/model/AppScanner.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cmath>
#include <limits>
#include <mutex>
#include <thread>
#include <unordered_set>

#include "kit/model/OwnApp.h"
#include "kit/sources/GitHubRepos.h"
#include "platform/CodeSigning.h"
#include "platform/Collation.h"
#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "platform/PropertyList.h"
#include "platform/Strings.h"
#include "platform/TextTrim.h"
#include "platform/WebURL.h"

namespace larkvale {
namespace {

namespace fs = std::filesystem;

// Real Info.plists are a few kilobytes; anything near this is not one.
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
  const std::string scheme = Strings::asciiLowercased(url->scheme);
  if (scheme != "https" && scheme != "http") return std::nullopt;
  return std::string(trimmed);
}

std::string displayName(const PlistDict& info, std::string_view fileName) {
  const std::string* display = textValue(info, "CFBundleDisplayName");
  std::string raw = display && !display->empty() ? *display : fs::path(fileName).stem().string();
  // The name is shown on one line too, so it loses line breaks and controls.
  return std::string(TextTrim::spaces(TextTrim::oneLine(AppScanner::cleanDisplayName(raw))));
}

// The property list of a bundle, and whether the app is wrapped.
struct BundleInfo {
  PlistDict dict;
  bool wrapped = false;
};

std::optional<PlistDict> parseInfo(const std::optional<std::string>& bytes) {
  if (!bytes) return std::nullopt;
  auto value = PropertyList::parse(*bytes);
  if (!value || !value->dict()) return std::nullopt;
  return std::move(*std::get_if<PlistDict>(&value->value));
}

std::optional<BundleInfo> readInfo(const fs::path& bundle, const FileSystem::OpenFolder& folder) {
  // Reading first and asking about existence only on failure saves a lookup
  // for every ordinary bundle.
  if (auto bytes = folder.readFile("Contents/Info.plist", PropertyList::kMaxInfoPlistBytes)) {
    auto dict = parseInfo(bytes);
    if (!dict) return std::nullopt;
    return BundleInfo{std::move(*dict), false};
  }
  if (folder.exists("Contents/Info.plist")) return std::nullopt;
  auto names = FileSystem::listNames(bundle / "Wrapper");
  if (!names) return std::nullopt;
  for (const std::string& name : *names) {
    if (!name.ends_with(".app")) continue;
    auto dict = parseInfo(
        folder.readFile("Wrapper/" + name + "/Info.plist", PropertyList::kMaxInfoPlistBytes));
    if (!dict) return std::nullopt;
    return BundleInfo{std::move(*dict), true};
  }
  return std::nullopt;
}

constexpr const char* kUpdateConfig = "Contents/Resources/app-update.yml";

// The updater rules, with the existence test supplied by the caller.
template <typename Exists>
std::optional<std::string> selfUpdater(const PlistDict& info, Exists&& exists) {
  if (info.contains("KSProductID")) return "Google's updater";
  if (exists(kUpdateConfig)) return "its own updater (Electron)";
  if (exists("Contents/Frameworks/Squirrel.framework")) return "its own updater (Squirrel)";
  auto id = info.find("CFBundleIdentifier");
  if (id != info.end() && id->second.string() && id->second.string()->starts_with("com.microsoft."))
    return "Microsoft AutoUpdate";
  if (exists("Contents/Frameworks/Sparkle.framework"))
    return "Sparkle (its feed is set inside the app)";
  return std::nullopt;
}

// Existence tests inside one bundle, each path asked at most once. Paths
// are the fixed names of this file, so they are told apart by address.
class BundleProbe {
 public:
  explicit BundleProbe(const FileSystem::OpenFolder& folder) : folder_(folder) {}
  bool operator()(const char* relative) {
    for (const auto& [path, found] : known_)
      if (path == relative) return found;
    bool found = folder_.exists(relative);
    known_.emplace_back(relative, found);
    return found;
  }

 private:
  const FileSystem::OpenFolder& folder_;
  std::vector<std::pair<const char*, bool>> known_;
};

std::optional<std::string> githubRepo(const PlistDict& info, const FileSystem::OpenFolder& folder,
                                      BundleProbe& exists) {
  if (auto repo = GitHubReleases::repoFromInfo(info)) return repo;
  if (!exists(kUpdateConfig)) return std::nullopt;
  auto config = folder.readText(kUpdateConfig, kMaxUpdateConfig);
  if (!config) return std::nullopt;
  return GitHubReleases::repoFromUpdateConfig(*config);
}

// A listed bundle with its path, links resolved.
struct Listed {
  fs::path path;
  std::string resolved;
};

std::string joined(const std::string& folder, const std::string& name) {
  return folder.ends_with('/') ? folder + name : folder + "/" + name;
}

// Lists one folder (see AppScanner::listApps). A folder or bundle that is
// itself no link resolves to its resolved parent plus its name, which spares
// resolving every component of every bundle's path again.
void collectApps(const fs::path& folder, const std::string& resolvedFolder, int depth,
                 std::vector<Listed>& out, const std::stop_token& stop) {
  auto entries = FileSystem::listEntries(folder);
  if (!entries) return;
  std::sort(entries->begin(), entries->end(),
            [](const auto& a, const auto& b) { return a.path.native() < b.path.native(); });
  for (FileSystem::Entry& entry : *entries) {
    Cancelled::check(stop);
    if (entry.name.starts_with(".")) continue;
    const bool isFolder = entry.isDirectory.value_or(false);
    if (entry.path.extension() == ".app") {
      std::string resolved = isFolder ? joined(resolvedFolder, entry.name)
                                      : FileSystem::resolveLinks(entry.path).native();
      out.push_back({std::move(entry.path), std::move(resolved)});
    } else if (depth >= 1 && isFolder) {
      collectApps(entry.path, joined(resolvedFolder, entry.name), depth - 1, out, stop);
    }
  }
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

std::vector<InstalledApp> AppScanner::scan(std::stop_token stop) const {
  std::unordered_set<std::string> seen;
  std::vector<fs::path> bundles;
  for (const fs::path& root : roots) {
    std::vector<Listed> listed;
    collectApps(root, FileSystem::resolveLinks(root).native(), 1, listed, stop);
    for (Listed& bundle : listed) {
      if (seen.insert(std::move(bundle.resolved)).second) bundles.push_back(std::move(bundle.path));
    }
  }
  std::vector<InstalledApp> apps = readAll(bundles, stop);
  apps = OwnApp::keepOneOwnCopy(std::move(apps), runningPath);
  std::stable_sort(apps.begin(), apps.end(), [](const InstalledApp& a, const InstalledApp& b) {
    return Collation::less(a.name, b.name);
  });
  return apps;
}

std::vector<InstalledApp> AppScanner::readAll(const std::vector<fs::path>& bundles,
                                              const std::stop_token& stop) const {
  // Reading is independent per bundle and mostly waits on the file system,
  // so a few workers share it; results keep the listing order.
  std::vector<std::optional<InstalledApp>> slots(bundles.size());
  const size_t workers = std::min<size_t>(kReadWorkers, (bundles.size() + 31) / 32);
  std::atomic<size_t> next{0};
  std::mutex failureLock;
  std::exception_ptr failure;
  auto work = [&] {
    try {
      for (size_t i = next++; i < bundles.size() && !stop.stop_requested(); i = next++)
        slots[i] = readApp(bundles[i]);
    } catch (...) {
      std::lock_guard lock(failureLock);
      if (!failure) failure = std::current_exception();
      next = bundles.size();
    }
  };
  {
    std::vector<std::jthread> threads;
    for (size_t i = 1; i < workers; ++i) threads.emplace_back(work);
    work();
  }
  if (failure) std::rethrow_exception(failure);
  Cancelled::check(stop);
  std::vector<InstalledApp> apps;
  apps.reserve(bundles.size());
  for (auto& slot : slots) {
    if (slot) apps.push_back(std::move(*slot));
  }
  return apps;
}

std::vector<fs::path> AppScanner::listApps(const fs::path& folder, int depth) {
  std::vector<Listed> listed;
  collectApps(folder, FileSystem::resolveLinks(folder).native(), depth, listed, {});
  std::vector<fs::path> paths;
  paths.reserve(listed.size());
  for (Listed& bundle : listed) paths.push_back(std::move(bundle.path));
  return paths;
}

std::optional<InstalledApp> AppScanner::readApp(const fs::path& bundle) const {
  if (!FileSystem::isValidUtf8(bundle.native())) return std::nullopt;
  auto folder = FileSystem::OpenFolder::open(bundle);
  if (!folder) return std::nullopt;
  auto info = readInfo(bundle, *folder);
  if (!info) return std::nullopt;
  auto app = factsFromInfo(info->dict, bundle.filename().native());
  if (!app) return std::nullopt;
  BundleProbe exists(*folder);
  app->path = bundle.native();
  app->isWrappedIOSApp = info->wrapped;
  app->hasAppStoreReceipt = exists("Contents/_MASReceipt/receipt") ||
                            (info->wrapped && exists("Wrapper/iTunesMetadata.plist"));
  app->selfUpdater = selfUpdater(info->dict, exists);
  if (app->hasAppStoreReceipt) app->storeID = appStoreID(bundle);
  app->githubRepo = githubRepo(info->dict, *folder, exists);
  return app;
}

std::optional<InstalledApp> AppScanner::factsFromInfo(const PlistDict& info,
                                                      std::string_view fileName) {
  const std::string* bundleID = textValue(info, "CFBundleIdentifier");
  if (!bundleID || bundleID->empty()) return std::nullopt;
  const std::string* shortText = textValue(info, "CFBundleShortVersionString");
  const std::string* buildText = textValue(info, "CFBundleVersion");
  // Versions are shown beside names on one line: a direction override would
  // turn "1.0 → 2.0" around, a line separator break the row.
  auto versionText = [](const std::string* text) {
    return text ? std::string(TextTrim::spaces(TextTrim::oneLine(*text))) : std::string();
  };
  std::string shortVersion = versionText(shortText);
  std::string build = versionText(buildText);
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
  return selfUpdater(info,
                     [&](const char* relative) { return FileSystem::exists(bundle / relative); });
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
  return TextTrim::oneLine(text);
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
