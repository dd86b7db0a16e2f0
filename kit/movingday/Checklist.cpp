#include "kit/movingday/Checklist.h"

#include <algorithm>

#include "kit/model/AppUpdate.h"
#include "kit/model/Links.h"
#include "kit/movingday/KnownApps.h"
#include "kit/sources/GitHubRepos.h"
#include "kit/sources/Homebrew.h"
#include "platform/Strings.h"

namespace larkvale::Checklist {
namespace {

enum Section : size_t { before, homebrew, appStore, direct, settings, signIn, last };

using Entries = std::vector<InventoryEntry>;

ChecklistItem item(std::string id, Section section, std::string title,
                   std::optional<std::string> detail = std::nullopt) {
  return {std::move(id),     sections()[section], std::move(title),
          std::move(detail), std::nullopt,        std::nullopt};
}

bool hasKnownLicence(const InventoryEntry& entry) {
  const auto known = KnownApps::entry(entry.app.bundleID);
  return known && known->licence;
}

void appendBeforeLeaving(std::vector<ChecklistItem>& out, const Entries& entries) {
  out.push_back(item("before:export", before,
                     "Export this checklist (Markdown or PDF) and keep it off this Mac",
                     "Save it to an external drive or iCloud Drive, or email it to yourself."));
  Entries withKeys;
  std::copy_if(
      entries.begin(), entries.end(), std::back_inserter(withKeys),
      [](const InventoryEntry& e) { return !e.licenceFiles.empty() || hasKnownLicence(e); });
  if (withKeys.empty()) return;
  out.push_back(item("before:keys", before,
                     "Find the licence keys and sign-ins for " + nameList(withKeys),
                     "Keychain items and licence keys are not exported by Larkvale."));
}

void appendHomebrew(std::vector<ChecklistItem>& out, const Entries& entries) {
  std::vector<std::string> tokens;
  for (const auto& e : entries) {
    if (e.caskToken && Homebrew::isCaskToken(*e.caskToken)) tokens.push_back(*e.caskToken);
  }
  if (tokens.empty()) return;
  auto dump = item("brew:dump", before, "Save a Brewfile (also keeps your command-line tools)");
  dump.command = "brew bundle dump --file=~/Brewfile";
  out.push_back(std::move(dump));

  auto install = item(
      "brew:install", homebrew, "Install Homebrew on the new Mac",
      "Paste the install line from " + std::string(kHomebrewHost) + " into a terminal window.");
  install.link = "https://" + std::string(kHomebrewHost);
  out.push_back(std::move(install));

  const size_t n = tokens.size();
  auto casks = item("brew:casks", homebrew,
                    "Install " + std::to_string(n) + " cask app" + (n == 1 ? "" : "s"));
  casks.command = "brew install --cask " + Strings::join(tokens, " ");
  out.push_back(std::move(casks));
}

ChecklistItem storeItem(const InventoryEntry& e) {
  auto store = item("store:" + e.app.bundleID, appStore, "Install " + e.app.name,
                    "App Store: it's under your account's Purchased apps.");
  store.link = Links::appStore(e.storeTrackID);
  return store;
}

ChecklistItem directItem(const InventoryEntry& e) {
  auto direct = item("direct:" + e.app.bundleID, Section::direct, "Download " + e.app.name);
  const std::string version = " Version here: " + e.app.version + ".";
  if (const auto repo = e.githubRepo()) {
    direct.detail = "From its GitHub releases (" + *repo + ")." + version;
    direct.link = GitHubReleases::releasesPage(*repo);
  } else if (e.downloadHint) {
    direct.detail = "From " + *e.downloadHint + " (where its updates come from)." + version;
  } else {
    direct.detail = "From the developer's website." + version;
  }
  return direct;
}

void appendPerApp(std::vector<ChecklistItem>& out, const Entries& entries) {
  for (const auto& e : entries) {
    if (e.source.kind() == UpdateSource::Kind::appStore) out.push_back(storeItem(e));
  }
  for (const auto& e : entries) {
    const auto kind = e.source.kind();
    if (kind == UpdateSource::Kind::sparkle || kind == UpdateSource::Kind::github ||
        kind == UpdateSource::Kind::unknown) {
      out.push_back(directItem(e));
    }
  }
  for (const auto& e : entries) {
    if (e.settings.empty()) continue;
    out.push_back(item("settings:" + e.app.bundleID, settings,
                       "Copy " + e.app.name + "'s settings (with the app quit on both Macs)",
                       Strings::join(e.settings, "\n")));
  }
  for (const auto& e : entries) {
    const auto known = KnownApps::entry(e.app.bundleID);
    if (!known || (!known->licence && !known->tip)) continue;
    std::vector<std::string> notes;
    if (known->licence) notes.push_back(*known->licence);
    if (known->tip) notes.push_back(*known->tip);
    out.push_back(item("signin:" + e.app.bundleID, signIn, e.app.name, Strings::join(notes, " ")));
  }
}

}  // namespace

const std::vector<std::string>& sections() {
  static const std::vector<std::string> titles = {
      "Before you leave this Mac", "Homebrew apps",        "App Store apps", "Direct downloads",
      "Settings worth carrying",   "Sign in and licences", "Last steps"};
  return titles;
}

std::vector<ChecklistItem> items(const std::vector<InventoryEntry>& all) {
  Entries entries;
  std::copy_if(all.begin(), all.end(), std::back_inserter(entries), [](const InventoryEntry& e) {
    return e.source.kind() != UpdateSource::Kind::apple;
  });
  std::vector<ChecklistItem> out;
  appendBeforeLeaving(out, entries);
  appendHomebrew(out, entries);
  appendPerApp(out, entries);
  out.push_back(item("last:check", last, "Open Larkvale on the new Mac and press Check Now",
                     "Every app should show up; anything missing from this list still needs "
                     "installing."));
  out.push_back(item("last:files", last, "Move your own files separately",
                     "Documents, photos and projects move with Migration Assistant, Time Machine, "
                     "iCloud or git; Moving day lists apps only."));
  return out;
}

std::string nameList(const std::vector<InventoryEntry>& entries) {
  std::vector<std::string> names;
  for (const auto& e : entries) names.push_back(e.app.name);
  if (names.size() < 5) return Strings::join(names, ", ");
  const size_t others = names.size() - 4;
  names.resize(4);
  return Strings::join(names, ", ") + " and " + std::to_string(others) + " more";
}

}  // namespace larkvale::Checklist
