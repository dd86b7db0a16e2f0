#include "kit/movingday/MovingDayDocument.h"

#include <gtest/gtest.h>

#include "kit/movingday/Checklist.h"
#include "tests/kit/movingday/Entries.h"
#include "tests/kit/movingday/PdfReader.h"

namespace larkvale {
namespace {

// Midday UTC: the same calendar day in every time zone a test machine uses.
const Date kDate = *Dates::parseIso8601("2026-12-05T12:00:00Z");

std::vector<InventoryEntry> inventory() {
  using test::inventoryEntry;
  auto firefox =
      inventoryEntry("Firefox", "org.mozilla.firefox", UpdateSource::homebrew("firefox"));
  firefox.settings = {"~/Library/Application Support/Firefox/Profiles"};
  auto things = inventoryEntry("Things", "com.culturedcode.ThingsMac", UpdateSource::appStore());
  things.storeTrackID = 904280696;
  things.container = "~/Library/Containers/com.culturedcode.ThingsMac";
  auto tool = inventoryEntry("Tool", "dev.tool", UpdateSource::github("owner/tool"));
  tool.licenceFiles = {"/home/me/.tool/licence.key", "/home/me/.tool/serial"};
  auto safari = inventoryEntry("Safari", "com.apple.Safari", UpdateSource::apple());
  return {firefox, things, tool, safari};
}

const char* const kGolden = R"(# Moving day: Studio

Made by Larkvale on December 5, 2026. 4 apps. Licence keys and Keychain items are not included.

## Restore checklist

## Before you leave this Mac

- [x] Export this checklist (Markdown or PDF) and keep it off this Mac
  Save it to an external drive or iCloud Drive, or email it to yourself.
- [ ] Find the licence keys and sign-ins for Tool
  Keychain items and licence keys are not exported by Larkvale.
- [ ] Save a Brewfile (also keeps your command-line tools)

  ```
  brew bundle dump --file=~/Brewfile
  ```

## Homebrew apps

- [ ] Install Homebrew on the new Mac
  Paste the install line from brew.sh into a terminal window.
  https://brew.sh
- [ ] Install 1 cask app

  ```
  brew install --cask firefox
  ```

## App Store apps

- [ ] Install Things
  App Store: it's under your account's Purchased apps.
  macappstore://apps.apple.com/app/id904280696

## Direct downloads

- [ ] Download Tool
  From its GitHub releases (owner/tool). Version here: 1.0.
  https://github.com/owner/tool/releases

## Settings worth carrying

- [x] Copy Firefox's settings (with the app quit on both Macs)
  ~/Library/Application Support/Firefox/Profiles

## Sign in and licences

- [ ] Firefox
  Signing in to a Mozilla account (Firefox Sync) brings bookmarks, passwords and add-ons.

## Last steps

- [ ] Open Larkvale on the new Mac and press Check Now
  Every app should show up; anything missing from this list still needs installing.
- [ ] Move your own files separately
  Documents, photos and projects move with Migration Assistant, Time Machine, iCloud or git; Moving day lists apps only.

## Inventory

## Homebrew cask (1)

- Firefox 1.0: brew install --cask firefox; settings: ~/Library/Application Support/Firefox/Profiles

## App Store (1)

- Things 1.0: App Store (your Apple Account); container: ~/Library/Containers/com.culturedcode.ThingsMac (not copied)

## GitHub releases (1)

- Tool 1.0: Download from github.com/owner/tool/releases; licence files: /home/me/.tool/licence.key, /home/me/.tool/serial

## macOS (1)

- Safari 1.0: Comes with macOS
)";

TEST(MovingDayDocumentTest, FullDocumentAsMarkdownAndPdf) {
  const auto entries = inventory();
  const auto blocks =
      MovingDayDocument::blocks(entries, Checklist::items(entries),
                                {"before:export", "settings:org.mozilla.firefox"}, "Studio", kDate);
  EXPECT_EQ(MovingDayDocument::renderMarkdown(blocks), kGolden);

  test::TempDir dir;
  const auto pdf = MovingDayDocument::renderPDF(blocks);
  ASSERT_TRUE(pdf);
  const auto back = test::readPdf(dir, *pdf);
  // The last checklist paragraph runs over onto the second page.
  ASSERT_EQ(back.pageCount(), 2);
  EXPECT_NE(back.pages[0].find("\u2611 Export this checklist"), std::string::npos);
  EXPECT_NE(back.pages[1].find("\u2022 Safari 1.0: Comes with macOS"), std::string::npos);
}

}  // namespace
}  // namespace larkvale
