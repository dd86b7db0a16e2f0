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

using Doc::line, Doc::own;

// An item whose title and detail lines are given marked; the plain texts
// are made from them, so the two never differ.
ChecklistItem item(std::string id, Section section, DocText title,
                   std::vector<DocText> detail = {}) {
  ChecklistItem out;
  out.id = std::move(id);
  out.section = sections()[section];
  out.title = Doc::plain(title);
  if (!detail.empty()) {
    std::vector<std::string> lines;
    for (const auto& text : detail) lines.push_back(Doc::plain(text));
    out.detail = Strings::join(lines, "\n");
  }
  out.titleText = std::move(title);
  out.detailLines = std::move(detail);
  return out;
}

// The entries' app names as nameList joins them.
DocText nameListText(const Entries& entries) {
  std::vector<std::string> names;
  for (const auto& e : entries) names.push_back(e.app.name);
  const size_t others = names.size() < 5 ? 0 : names.size() - 4;
  if (others > 0) names.resize(4);
  DocText out = Doc::joined(names, DocSpan::Kind::line, ", ");
  if (others > 0) out.push_back(own(" and " + std::to_string(others) + " more"));
  return out;
}

bool hasKnownLicence(const InventoryEntry& entry) {
  const auto known = KnownApps::entry(entry.app.bundleID);
  return known && known->licence;
}

void appendBeforeLeaving(std::vector<ChecklistItem>& out, const Entries& entries) {
  out.push_back(
      item("before:export", before,
           {own("Export this checklist (Markdown or PDF) and keep it off this Mac")},
           {{own("Save it to an external drive or iCloud Drive, or email it to yourself.")}}));
  Entries withKeys;
  std::copy_if(
      entries.begin(), entries.end(), std::back_inserter(withKeys),
      [](const InventoryEntry& e) { return !e.licenceFiles.empty() || hasKnownLicence(e); });
  if (withKeys.empty()) return;
  out.push_back(
      item("before:keys", before,
           Doc::concat({{own("Find the licence keys and sign-ins for ")}, nameListText(withKeys)}),
           {{own("Keychain items and licence keys are not exported by Larkvale.")}}));
}

void appendHomebrew(std::vector<ChecklistItem>& out, const Entries& entries) {
  std::vector<std::string> tokens;
  for (const auto& e : entries) {
    if (e.caskToken && Homebrew::isCaskToken(*e.caskToken)) tokens.push_back(*e.caskToken);
  }
  if (tokens.empty()) return;
  auto dump =
      item("brew:dump", before, {own("Save a Brewfile (also keeps your command-line tools)")});
  dump.command = "brew bundle dump --file=~/Brewfile";
  out.push_back(std::move(dump));

  auto install = item("brew:install", homebrew, {own("Install Homebrew on the new Mac")},
                      {{own("Paste the install line from " + std::string(kHomebrewHost) +
                            " into a terminal window.")}});
  install.link = "https://" + std::string(kHomebrewHost);
  out.push_back(std::move(install));

  const size_t n = tokens.size();
  auto casks = item("brew:casks", homebrew,
                    {own("Install " + std::to_string(n) + " cask app" + (n == 1 ? "" : "s"))});
  casks.command = "brew install --cask " + Strings::join(tokens, " ");
  out.push_back(std::move(casks));
}

ChecklistItem storeItem(const InventoryEntry& e) {
  auto store = item("store:" + e.app.bundleID, appStore, {own("Install "), line(e.app.name)},
                    {{own("App Store: it's under your account's Purchased apps.")}});
  store.link = Links::appStore(e.storeTrackID);
  return store;
}

ChecklistItem directItem(const InventoryEntry& e) {
  const DocText version = {own(" Version here: "), line(e.app.version), own(".")};
  DocText from = {own("From the developer's website.")};
  if (const auto repo = e.githubRepo()) {
    from = {own("From its GitHub releases ("), line(*repo), own(").")};
  } else if (e.downloadHint) {
    from = {own("From "), line(*e.downloadHint), own(" (where its updates come from).")};
  }
  auto direct = item("direct:" + e.app.bundleID, Section::direct,
                     {own("Download "), line(e.app.name)}, {Doc::concat({from, version})});
  if (const auto repo = e.githubRepo()) direct.link = GitHubReleases::releasesPage(*repo);
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
    std::vector<DocText> paths;
    for (const auto& path : e.settings) paths.push_back({Doc::path(path)});
    out.push_back(
        item("settings:" + e.app.bundleID, settings,
             {own("Copy "), line(e.app.name), own("'s settings (with the app quit on both Macs)")},
             std::move(paths)));
  }
  for (const auto& e : entries) {
    const auto known = KnownApps::entry(e.app.bundleID);
    if (!known || (!known->licence && !known->tip)) continue;
    std::vector<std::string> notes;
    if (known->licence) notes.push_back(*known->licence);
    if (known->tip) notes.push_back(*known->tip);
    out.push_back(item("signin:" + e.app.bundleID, signIn, {line(e.app.name)},
                       {{own(Strings::join(notes, " "))}}));
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
  out.push_back(item("last:check", last, {own("Open Larkvale on the new Mac and press Check Now")},
                     {{own("Every app should show up; anything missing from this list still needs "
                           "installing.")}}));
  out.push_back(item("last:files", last, {own("Move your own files separately")},
                     {{own("Documents, photos and projects move with Migration Assistant, Time "
                           "Machine, iCloud or git; Moving day lists apps only.")}}));
  return out;
}

std::string nameList(const std::vector<InventoryEntry>& entries) {
  return Doc::plain(nameListText(entries));
}

}  // namespace larkvale::Checklist
