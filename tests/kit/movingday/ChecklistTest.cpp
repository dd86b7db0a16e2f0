#include "kit/movingday/Checklist.h"

#include <gtest/gtest.h>

#include "tests/kit/movingday/Entries.h"

namespace larkvale {
namespace {

using Strings = std::vector<std::string>;

InventoryEntry entry(std::string name, std::string bundleID, UpdateSource source) {
  return test::inventoryEntry(std::move(name), std::move(bundleID), std::move(source), "3.2");
}

Strings ids(const std::vector<ChecklistItem>& items) {
  Strings out;
  for (const auto& item : items) out.push_back(item.id);
  return out;
}

const ChecklistItem& find(const std::vector<ChecklistItem>& items, const std::string& id) {
  for (const auto& item : items) {
    if (item.id == id) return item;
  }
  throw std::runtime_error("no item " + id);
}

// A mixed inventory in display order.
std::vector<InventoryEntry> mixed() {
  auto alfred = entry("Alfred", "com.runningwithcrayons.Alfred", UpdateSource::homebrew("alfred"));
  alfred.settings = {"~/Library/Application Support/Alfred"};
  auto foo = entry("Foo", "com.example.foo", UpdateSource::sparkle("https://example.com/feed"));
  foo.downloadHint = "example.com";
  foo.licenceFiles = {"/home/me/Library/Application Support/Foo/licence.key"};
  foo.settings = {"~/Library/Preferences/com.example.foo.plist",
                  "~/Library/Application Support/Foo"};
  auto iterm = entry("iTerm", "com.googlecode.iterm2", UpdateSource::homebrew("iterm2"));
  auto pages = entry("Pages", "com.apple.iWork.Pages", UpdateSource::appStore());
  auto safari = entry("Safari", "com.apple.Safari", UpdateSource::apple());
  safari.settings = {"~/Library/Safari"};
  auto terminal = entry("Terminal", "com.apple.Terminal", UpdateSource::apple());
  auto things = entry("Things", "com.culturedcode.ThingsMac", UpdateSource::appStore());
  things.storeTrackID = 904280696;
  auto tool = entry("Tool", "dev.tool", UpdateSource::github("owner/tool"));
  auto unknown = entry("Zip", "org.zip.Zip", UpdateSource::unknown());
  return {alfred, foo, iterm, pages, safari, terminal, things, tool, unknown};
}

TEST(ChecklistTest, OrdersTheStepsOfAMixedInventory) {
  const auto items = Checklist::items(mixed());
  EXPECT_EQ(ids(items),
            (Strings{"before:export", "before:keys", "brew:dump", "brew:install", "brew:casks",
                     "store:com.apple.iWork.Pages", "store:com.culturedcode.ThingsMac",
                     "direct:com.example.foo", "direct:dev.tool", "direct:org.zip.Zip",
                     "settings:com.runningwithcrayons.Alfred", "settings:com.example.foo",
                     "signin:com.runningwithcrayons.Alfred", "signin:com.googlecode.iterm2",
                     "last:check", "last:files"}));
}

// The texts the exported document does not already pin down.
TEST(ChecklistTest, WritesTheExactTextsCommandsAndLinks) {
  const auto items = Checklist::items(mixed());
  EXPECT_EQ(find(items, "before:keys").title, "Find the licence keys and sign-ins for Alfred, Foo");
  const auto& casks = find(items, "brew:casks");
  EXPECT_EQ(casks.section, "Homebrew apps");
  EXPECT_EQ(casks.title, "Install 2 cask apps");
  EXPECT_EQ(casks.detail, std::nullopt);
  EXPECT_EQ(casks.command, "brew install --cask alfred iterm2");
  EXPECT_EQ(casks.link, std::nullopt);
  EXPECT_EQ(find(items, "direct:com.example.foo").detail,
            "From example.com (where its updates come from). Version here: 3.2.");
  EXPECT_EQ(find(items, "direct:org.zip.Zip").detail,
            "From the developer's website. Version here: 3.2.");
  EXPECT_FALSE(find(items, "direct:org.zip.Zip").link);
  EXPECT_EQ(find(items, "settings:com.example.foo").detail,
            "~/Library/Preferences/com.example.foo.plist\n~/Library/Application Support/Foo");
  EXPECT_EQ(find(items, "signin:com.runningwithcrayons.Alfred").detail,
            "Powerpack licence: Alfred \u203a Settings \u203a Powerpack shows it; keep your "
            "purchase email.");
}

TEST(ChecklistTest, EmptyAndAppleOnlyInventoriesGiveTheThreeFixedSteps) {
  const Strings fixed = {"before:export", "last:check", "last:files"};
  EXPECT_EQ(ids(Checklist::items({})), fixed);
  auto terminal = entry("Terminal", "com.apple.Terminal", UpdateSource::apple());
  terminal.settings = {"~/Library/Preferences/com.apple.Terminal.plist"};
  terminal.licenceFiles = {"/x/licence"};
  EXPECT_EQ(
      ids(Checklist::items({terminal, entry("Safari", "com.apple.Safari", UpdateSource::apple())})),
      fixed);
}

TEST(ChecklistTest, HostileTokensAndRepositoriesGiveNoCommandOrLink) {
  // Refused tokens are left out of the command; duplicates stay.
  const auto mixed = Checklist::items({entry("A", "a.a", UpdateSource::homebrew("a")),
                                       entry("Bad", "b.b", UpdateSource::homebrew("x; rm -rf ~")),
                                       entry("A2", "a.a2", UpdateSource::homebrew("a"))});
  EXPECT_EQ(find(mixed, "brew:casks").title, "Install 2 cask apps");
  EXPECT_EQ(find(mixed, "brew:casks").command, "brew install --cask a a");

  // A GitHub repository that is no address is shown, without a link.
  const auto odd =
      find(Checklist::items({entry("Odd", "odd.app", UpdateSource::github("owner/re po\"<x>"))}),
           "direct:odd.app");
  EXPECT_EQ(odd.detail, "From its GitHub releases (owner/re po\"<x>). Version here: 3.2.");
  EXPECT_FALSE(odd.link);
}

TEST(ChecklistTest, NameListsShortenFromFiveNames) {
  std::vector<InventoryEntry> entries;
  const Strings expected = {
      "", "A", "A, B", "A, B, C", "A, B, C, D", "A, B, C, D and 1 more", "A, B, C, D and 2 more"};
  for (size_t n = 0; n <= 6; ++n) {
    EXPECT_EQ(Checklist::nameList(entries), expected[n]) << n;
    entries.push_back(
        entry(std::string(1, static_cast<char>('A' + n)), "x", UpdateSource::unknown()));
  }
}

}  // namespace
}  // namespace larkvale
