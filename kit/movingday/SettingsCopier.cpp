#include "kit/movingday/SettingsCopier.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <optional>
#include <unordered_set>
#include <utility>

#include "kit/movingday/CarryError.h"
#include "kit/movingday/CarryFiles.h"
#include "kit/movingday/InventoryEntry.h"
#include "kit/movingday/SettingsWalk.h"
#include "kit/movingday/TreeCopier.h"
#include "platform/Collation.h"
#include "platform/FileSystem.h"

namespace larkvale {
namespace {

constexpr int kMaxFolderNumber = 10000;

// Counts what a copy of the walked item would count.
class Measure final : public WalkVisitor {
 public:
  bool visit(const WalkItem& item) override {
    if (item.kind == CopyItemKind::file) {
      size.bytes += item.status->st_size;
      size.files += 1;
    }
    return item.kind == CopyItemKind::folder;
  }
  void leave(const WalkItem&, int) override {}

  SettingsCopier::Size size;
};

// The folder holding a path and the path's own name, trailing slashes
// ignored; nothing for a path with no name of its own (such as "/").
std::optional<std::pair<std::filesystem::path, std::string>> splitName(
    const std::filesystem::path& path) {
  std::string text = path.native();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  const size_t slash = text.rfind('/');
  if (slash == std::string::npos) return std::nullopt;
  std::string name = text.substr(slash + 1);
  if (name.empty() || name == "." || name == "..") return std::nullopt;
  return std::pair{std::filesystem::path(slash == 0 ? "/" : text.substr(0, slash)), name};
}

// Claims a new folder in destination with one mkdir per name, so that two
// copies running at once can never pick the same one.
std::pair<FileDescriptor, std::filesystem::path> claimFolder(
    const std::filesystem::path& destination, const std::string& base) {
  FileDescriptor dest{::open(destination.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  if (!dest) throw CarryError::noDestination(CarryFiles::describe(errno));
  for (int n = 1; n <= kMaxFolderNumber; ++n) {
    std::string name = n == 1 ? base : base + " " + std::to_string(n);
    if (::mkdirat(dest.get(), name.c_str(), 0755) != 0) {
      if (errno == EEXIST) continue;
      throw CarryError::noDestination(CarryFiles::describe(errno));
    }
    FileDescriptor folder{
        ::openat(dest.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)};
    if (!folder) throw CarryError::noDestination(CarryFiles::describe(errno));
    return {std::move(folder), destination / name};
  }
  throw CarryError::noDestination(CarryFiles::describe(EEXIST));
}

// Through the folder's own handle: the folder may have been moved, or a
// link put in its place, since it was made.
void writeInto(int folder, std::string_view name, std::string_view bytes) {
  auto written = CarryFiles::writeNewFile(folder, std::string(name), bytes);
  if (auto* error = std::get_if<std::string>(&written)) throw CarryError::noDestination(*error);
}

}  // namespace

std::vector<SettingsPick> SettingsCopier::settingsPicks(
    const std::vector<InventoryEntry>& entries) {
  std::vector<const InventoryEntry*> byName;
  byName.reserve(entries.size());
  for (const auto& entry : entries) byName.push_back(&entry);
  std::stable_sort(byName.begin(), byName.end(), [](const auto* a, const auto* b) {
    return Collation::less(a->app.name, b->app.name);
  });
  std::vector<SettingsPick> picks;
  std::unordered_set<std::string> offered;
  for (const InventoryEntry* entry : byName) {
    for (const std::string& path : entry->settings) {
      if (isAllowedPath(path) && offered.insert(path).second)
        picks.push_back({path, entry->app.name, entry->app.bundleID});
    }
  }
  return picks;
}

bool SettingsCopier::isAllowedPath(std::string_view tildePath) {
  return CopyRules::isAllowedPath(tildePath);
}

bool SettingsCopier::looksLikeLicence(std::string_view name) {
  return looksLikeLicenceFile(name);
}

CopyItemKind SettingsCopier::classifyItem(const std::filesystem::path& item, bool picked) {
  struct stat st {};
  bool known = ::lstat(item.c_str(), &st) == 0;
  return CopyRules::classify(known ? &st : nullptr, item.filename().string(), picked);
}

std::filesystem::path SettingsCopier::locate(std::string_view tildePath) const {
  std::string_view rest = tildePath.size() >= 2 ? tildePath.substr(2) : std::string_view{};
  while (rest.starts_with('/')) rest.remove_prefix(1);
  if (rest.empty()) return home_;
  return home_ / std::filesystem::path(rest);
}

SettingsCopier::Size SettingsCopier::measureSetting(std::string_view tildePath,
                                                    std::stop_token stop) const {
  Cancelled::check(stop);
  // What copy would leave out weighs nothing, and nothing outside the two
  // folders is looked at.
  if (!isAllowedPath(tildePath)) return {};
  std::filesystem::path item = locate(tildePath);
  auto split = splitName(item);
  if (!split || !FileSystem::exists(item)) return {};
  FileDescriptor parent{::open(split->first.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
  if (!parent) return {};
  Measure measure;
  walkSettingsItem(parent.get(), split->second, measure, stop);
  return measure.size;
}

std::string SettingsCopier::folderName(std::string_view macName, Date date) {
  std::string mac(macName);
  for (char& c : mac)
    if (c == '/' || c == ':' || c == '\0') c = '-';
  std::time_t t = std::chrono::system_clock::to_time_t(date);
  std::tm local{};
  ::localtime_r(&t, &local);
  char day[64];
  std::snprintf(day, sizeof day, "%04d-%02d-%02d", local.tm_year + 1900, local.tm_mon + 1,
                local.tm_mday);
  return "Larkvale Moving Day " + mac + " " + day;
}

std::string SettingsCopier::readmeText(const MovingManifest& m) {
  std::string text;
  auto line = [&](std::string_view s) {
    text += s;
    text += '\n';
  };
  line("Larkvale Moving Day: settings from " + m.macName);
  line("");
  line(
      "Settings/ holds copies of the settings you chose, at the same places below your home "
      "folder");
  line(
      "(Settings/Library/Preferences/\u2026 goes to ~/Library/Preferences/\u2026). Copy each one "
      "back with the app quit.");
  line("manifest.json lists the " + std::to_string(m.apps.size()) + " apps that were on " +
       m.macName + " and the " + std::to_string(m.settings.size()) + " settings copied.");
  line("");
  line(
      "On the new Mac: Larkvale \u203a Moving day \u203a New Mac Check \u203a Open Moving Day "
      "Folder\u2026 lists what's missing.");
  line(
      "Licence files, caches and app containers were left out; licence keys and Keychain items "
      "are never copied.");
  return text;
}

SettingsCopier::Result SettingsCopier::copy(const std::vector<SettingsPick>& picks,
                                            const std::vector<MovingManifest::App>& apps,
                                            const std::filesystem::path& destination,
                                            std::string_view macName,
                                            std::string_view systemVersion, Date date,
                                            const Progress& progress, std::stop_token stop) const {
  Cancelled::check(stop);
  auto [root, folder] = claimFolder(destination, folderName(macName, date));
  if (::mkdirat(root.get(), "Settings", 0755) != 0)
    throw CarryError::noDestination(CarryFiles::describe(errno));

  MovingManifest manifest;
  manifest.schema = MovingManifest::currentSchema;
  manifest.created = date;
  manifest.macName = macName;
  manifest.systemVersion = systemVersion;
  manifest.apps = apps;
  TreeCopier copier(root.get(), manifest.leftOut, stop);
  const int total = static_cast<int>(picks.size());
  for (int i = 0; i < total; ++i) {
    if (progress) progress({i, total});
    Cancelled::check(stop);
    const SettingsPick& pick = picks[static_cast<size_t>(i)];
    if (!isAllowedPath(pick.tildePath)) {
      manifest.leftOut.push_back({pick.tildePath, std::string(LeftOutReason::notAllowed)});
      continue;
    }
    std::filesystem::path source = locate(pick.tildePath);
    if (!FileSystem::exists(source)) {
      manifest.leftOut.push_back({pick.tildePath, std::string(LeftOutReason::vanished)});
      continue;
    }
    const std::string rel = pick.tildePath.substr(2);
    TreeCopier::Counts counts = copier.copyPick(source, rel);
    if (copier.existsInCopy(rel))
      manifest.settings.push_back({pick.tildePath, pick.appName, pick.bundleID, counts.isFolder,
                                   counts.bytes, counts.files, "Settings/" + rel});
  }
  if (progress) progress({total, total});
  // A cancelled copy is not a Moving Day folder anyone should trust: without
  // a manifest, New Mac Check refuses it.
  Cancelled::check(stop);

  writeInto(root.get(), MovingManifest::fileName, MovingManifest::writeManifest(manifest));
  writeInto(root.get(), "README.txt", readmeText(manifest));
  return {folder, std::move(manifest)};
}

}  // namespace larkvale
