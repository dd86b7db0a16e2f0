// Building inventory rows from apps' update records and their settings.
#include <algorithm>

#include "kit/model/AppScanner.h"
#include "kit/movingday/KnownApps.h"
#include "kit/movingday/SettingsLocator.h"
#include "platform/Collation.h"
#include "platform/Error.h"
#include "platform/WebURL.h"

namespace larkvale {
namespace {

std::optional<std::string> downloadHintOf(const AppUpdate& update) {
  const auto feed = update.feedURL();
  if (!feed) return std::nullopt;
  auto url = WebURL::parse(*feed);
  if (!url || !url->hasAuthority) return std::nullopt;
  std::string_view host = url->host;
  if (host.starts_with("www.")) host.remove_prefix(4);
  if (host.empty()) return std::nullopt;
  return std::string(host);
}

std::string licenceNoteFor(UpdateSource::Kind kind) {
  switch (kind) {
    case UpdateSource::Kind::homebrew:
      return "Installed with Homebrew. If it needed a licence key or an account, bring that with "
             "you.";
    case UpdateSource::Kind::appStore:
      return "Bought with your Apple Account: sign in to the App Store on the new Mac and it's "
             "yours.";
    case UpdateSource::Kind::apple:
      return "Comes with macOS; its data moves with iCloud or Migration Assistant.";
    case UpdateSource::Kind::sparkle:
    case UpdateSource::Kind::github:
    case UpdateSource::Kind::unknown:
      break;
  }
  return "If you bought it, find the licence key in your purchase email (Larkvale never reads "
         "keys or the Keychain).";
}

constexpr const char* kSandboxTip =
    "Sandboxed: its settings stay in its container. Use the app's own export or sign-in, or let "
    "iCloud sync it.";

}  // namespace

InventoryEntry SettingsLocator::inventoryEntry(const AppUpdate& update,
                                               std::optional<bool> sandboxed) const {
  const std::string& bundleID = update.app.bundleID;
  const auto known = KnownApps::entry(bundleID);
  const bool isApple = bundleID.starts_with("com.apple.");
  const bool treatedAsSandboxed =
      sandboxed.value_or(update.source.kind() == UpdateSource::Kind::appStore);

  InventoryEntry entry;
  entry.app = update.app;
  entry.source = update.source;
  if (treatedAsSandboxed) entry.container = "~/Library/Containers/" + bundleID;

  // Apple's own apps keep their data where iCloud and Migration Assistant
  // carry it; only a known row says otherwise.
  if (!(isApple && !known) && !treatedAsSandboxed) {
    const std::string preferences = "~/Library/Preferences/" + bundleID + ".plist";
    if (exists(preferences)) entry.settings.push_back(preferences);
    for (auto& candidate : supportCandidates(update.app))
      entry.settings.push_back(std::move(candidate));
  }
  if (known) {
    for (const auto& setting : known->settings) {
      if (std::find(entry.settings.begin(), entry.settings.end(), setting) ==
              entry.settings.end() &&
          exists(setting)) {
        entry.settings.push_back(setting);
      }
    }
  }

  entry.licence =
      (known && known->licence) ? *known->licence : licenceNoteFor(update.source.kind());
  if (known && known->tip) {
    entry.tip = known->tip;
  } else if (treatedAsSandboxed && !isApple) {
    entry.tip = kSandboxTip;
  }
  entry.downloadHint = downloadHintOf(update);
  entry.caskToken = update.cask();
  entry.storeTrackID = update.storeTrackID ? update.storeTrackID : update.app.storeID;

  std::vector<std::string> folders;
  std::copy_if(entry.settings.begin(), entry.settings.end(), std::back_inserter(folders),
               [](const std::string& path) { return !path.ends_with(".plist"); });
  entry.licenceFiles = licenceLookingFiles(folders);
  return entry;
}

std::vector<InventoryEntry> SettingsLocator::inventory(const std::vector<AppUpdate>& updates,
                                                       std::stop_token stop) const {
  std::vector<InventoryEntry> entries;
  entries.reserve(updates.size());
  for (const AppUpdate& update : updates) {
    Cancelled::check(stop);
    entries.push_back(inventoryEntry(update, AppScanner::isSandboxed(update.app.path)));
  }
  std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
    return Collation::less(a.app.name, b.app.name);
  });
  return entries;
}

}  // namespace larkvale
