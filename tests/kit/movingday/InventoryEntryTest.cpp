#include "kit/movingday/InventoryEntry.h"

#include <gtest/gtest.h>

#include <stop_token>

#include "kit/movingday/KnownApps.h"
#include "kit/movingday/SettingsLocator.h"
#include "platform/Error.h"
#include "tests/support/Samples.h"
#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

using test::TempDir;
using Strings = std::vector<std::string>;

const std::string kSupport = "~/Library/Application Support/";
const std::string kPrefs = "~/Library/Preferences/";
const std::string kDefaultNote =
    "If you bought it, find the licence key in your purchase email (Larkvale never reads keys or "
    "the Keychain).";
const std::string kSandboxTip =
    "Sandboxed: its settings stay in its container. Use the app's own export or sign-in, or let "
    "iCloud sync it.";

AppUpdate update(std::string name, std::string bundleID, UpdateSource source) {
  AppUpdate u = test::update(name, UpdateStatus::notChecked("Not checked yet."), std::move(source));
  u.app.bundleID = std::move(bundleID);
  return u;
}

// A home folder with the usual kinds of settings, some hidden, some odd.
class InventoryEntryTest : public ::testing::Test {
 protected:
  InventoryEntryTest() {
    home.write("Library/Preferences/com.example.foobar.plist", "");
    home.mkdir("Library/Application Support/Foo Bar");
    home.mkdir("Library/Application Support/.foobar");
    home.write("Library/Preferences/com.googlecode.iterm2.plist", "");
    home.mkdir("Library/Application Support/iTerm2");
    home.mkdir("Library/Application Support/Firefox/Profiles");
    home.write("Library/Preferences/org.mozilla.firefox.plist", "");
    home.write("Library/Preferences/com.apple.Safari.plist", "");
    home.mkdir("Library/Application Support/Safari");
    home.write("Library/Preferences/com.apple.Terminal.plist", "");
    home.mkdir(".config/karabiner");
  }
  SettingsLocator locator() const { return SettingsLocator(home.path()); }

  TempDir home;
};

TEST_F(InventoryEntryTest, OrdersPreferencesThenSupportFoldersThenKnownSettings) {
  auto u = update("Foo Bar", "com.example.foobar",
                  UpdateSource::sparkle("https://www.example.com/appcast.xml"));
  const auto e = locator().inventoryEntry(u, false);
  EXPECT_EQ(e.settings, (Strings{kPrefs + "com.example.foobar.plist", kSupport + "Foo Bar"}));
  EXPECT_FALSE(e.container);
  EXPECT_EQ(e.licence, kDefaultNote);
  EXPECT_FALSE(e.tip);
  EXPECT_EQ(e.installHow(), "Download from example.com");

  // Known settings that are already listed are not repeated; missing ones are left out.
  const auto iterm = locator().inventoryEntry(
      update("iTerm", "com.googlecode.iterm2", UpdateSource::homebrew("iterm2")), std::nullopt);
  EXPECT_EQ(iterm.settings, (Strings{kPrefs + "com.googlecode.iterm2.plist", kSupport + "iTerm2"}));
  EXPECT_EQ(iterm.caskToken, "iterm2");
  EXPECT_EQ(iterm.licence,
            "Installed with Homebrew. If it needed a licence key or an account, bring that with "
            "you.");
  EXPECT_EQ(iterm.tip, KnownApps::entry("com.googlecode.iterm2")->tip);

  const auto karabiner = locator().inventoryEntry(
      update("Karabiner-Elements", "org.pqrs.Karabiner-Elements.Settings", UpdateSource::unknown()),
      false);
  EXPECT_EQ(karabiner.settings, Strings{"~/.config/karabiner"});
}

TEST_F(InventoryEntryTest, SandboxedAppsKeepOnlyKnownSettingsAndGetAContainer) {
  const auto firefox = locator().inventoryEntry(
      update("Firefox", "org.mozilla.firefox", UpdateSource::homebrew("firefox")), true);
  EXPECT_EQ(firefox.container, "~/Library/Containers/org.mozilla.firefox");
  EXPECT_EQ(firefox.settings, Strings{kSupport + "Firefox/Profiles"});
  EXPECT_EQ(firefox.tip, KnownApps::entry("org.mozilla.firefox")->tip);

  const auto other = locator().inventoryEntry(
      update("Foo Bar", "com.example.foobar", UpdateSource::unknown()), true);
  EXPECT_TRUE(other.settings.empty());
  EXPECT_EQ(other.tip, kSandboxTip);

  // An App Store app whose signature could not be read counts as sandboxed;
  // one whose signature says otherwise does not.
  auto store = update("Foo Bar", "com.example.foobar", UpdateSource::appStore());
  const auto unknownSignature = locator().inventoryEntry(store, std::nullopt);
  EXPECT_EQ(unknownSignature.container, "~/Library/Containers/com.example.foobar");
  EXPECT_TRUE(unknownSignature.settings.empty());
  EXPECT_EQ(unknownSignature.licence,
            "Bought with your Apple Account: sign in to the App Store on the new Mac and it's "
            "yours.");
  const auto notSandboxed = locator().inventoryEntry(store, false);
  EXPECT_FALSE(notSandboxed.container || notSandboxed.tip);
  EXPECT_EQ(notSandboxed.settings.size(), 2u);
}

TEST_F(InventoryEntryTest, AppleAppsWithoutAKnownRowGetNoSettingsAndNoTip) {
  const auto safari =
      locator().inventoryEntry(update("Safari", "com.apple.Safari", UpdateSource::apple()), true);
  EXPECT_TRUE(safari.settings.empty());
  EXPECT_FALSE(safari.tip);
  EXPECT_EQ(safari.container, "~/Library/Containers/com.apple.Safari");
  EXPECT_EQ(safari.licence, "Comes with macOS; its data moves with iCloud or Migration Assistant.");

  // A known Apple app keeps its known settings (once).
  const auto terminal = locator().inventoryEntry(
      update("Terminal", "com.apple.Terminal", UpdateSource::apple()), false);
  EXPECT_EQ(terminal.settings, Strings{kPrefs + "com.apple.Terminal.plist"});
  EXPECT_TRUE(terminal.tip);
}

TEST_F(InventoryEntryTest, DownloadHintComesFromTheFeedHost) {
  struct Case {
    UpdateSource source;
    std::optional<std::string> appFeed;
    std::optional<std::string> hint;
  };
  const Case cases[] = {
      {UpdateSource::sparkle("https://www.example.com/feed"), "https://other.org/x", "example.com"},
      {UpdateSource::unknown(), "https://user:pw@www.host.io:8443/x?y#z", "host.io"},
      {UpdateSource::unknown(), "file:///Users/me/feed.xml", std::nullopt},
      {UpdateSource::sparkle("not a url"), "https://ignored.com", std::nullopt},
  };
  for (const auto& c : cases) {
    auto u = update("Tool", "dev.tool.Tool", c.source);
    u.app.feedURL = c.appFeed;
    EXPECT_EQ(locator().inventoryEntry(u, false).downloadHint, c.hint) << c.appFeed.value_or("-");
  }
}

TEST_F(InventoryEntryTest, ListsLicenceFilesOfFolderSettingsOnly) {
  // A settings "file" that is really a folder is still never listed.
  TempDir other;
  other.write("Library/Preferences/com.example.foobar.plist/licence.txt", "");
  other.write("Library/Application Support/Foo Bar/licence.txt", "");
  const auto u = update("Foo Bar", "com.example.foobar", UpdateSource::unknown());
  EXPECT_EQ(SettingsLocator(other.path()).inventoryEntry(u, false).licenceFiles,
            Strings{other.path().string() + "/Library/Application Support/Foo Bar/licence.txt"});
}

TEST_F(InventoryEntryTest, HostileBundleIdentifiersNeverLeaveHome) {
  home.write("outside.plist", "");
  home.write("Library/Preferences/evil.plist", "");
  home.mkdir("Library/Preferences/x");
  for (const char* id : {"../../outside", "x/../evil", ""}) {
    const auto e = locator().inventoryEntry(update("Evil", id, UpdateSource::unknown()), false);
    EXPECT_TRUE(e.settings.empty()) << id << ": " << e.settings.front();
  }
  // Without a readable Application Support folder, preferences still count.
  TempDir bare;
  bare.write("Library/Preferences/com.example.foobar.plist", "");
  bare.write("Library/Application Support", "a file, not a folder");
  const auto e =
      SettingsLocator(bare.path())
          .inventoryEntry(update("Foo Bar", "com.example.foobar", UpdateSource::unknown()), false);
  EXPECT_EQ(e.settings, Strings{kPrefs + "com.example.foobar.plist"});
}

TEST_F(InventoryEntryTest, TheInventoryIsSortedByNameAndCanBeStopped) {
  std::vector<AppUpdate> updates = {
      update("iTerm", "com.googlecode.iterm2", UpdateSource::unknown()),
      update("Foo Bar", "com.example.foobar", UpdateSource::unknown()),
      update("firefox", "org.mozilla.firefox", UpdateSource::unknown())};
  for (auto& u : updates) u.app.path = (home / "Apps" / (u.app.name + ".app")).string();
  const auto entries = locator().inventory(updates);
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0], locator().inventoryEntry(updates[2], std::nullopt));
  EXPECT_EQ(entries[1].app.name, "Foo Bar");
  EXPECT_EQ(entries[2].app.name, "iTerm");

  std::stop_source stopped;
  stopped.request_stop();
  EXPECT_THROW(locator().inventory(updates, stopped.get_token()), Cancelled);
}

}  // namespace
}  // namespace larkvale
