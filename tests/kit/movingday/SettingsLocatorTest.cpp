#include "kit/movingday/SettingsLocator.h"

#include <gtest/gtest.h>

#include "tests/support/Samples.h"
#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

using test::app;
using test::TempDir;

const std::string kSupport = "~/Library/Application Support/";

TEST(SettingsLocatorTest, ExpandsTildePathsLexicallyUnderHome) {
  TempDir home;
  home.write("Library/Preferences/a.plist", "");
  SettingsLocator locator(home.path());
  const std::string base = home.path().string();
  EXPECT_EQ(locator.expand("~/Library/Preferences/a.plist"), base + "/Library/Preferences/a.plist");
  EXPECT_EQ(locator.expand("/etc/hosts"), "/etc/hosts");
  // An absolute rest never replaces home; a ".." never leaves it.
  EXPECT_EQ(locator.expand("~//etc/hosts"), base + "//etc/hosts");
  EXPECT_TRUE(locator.exists("~/Library/Preferences/a.plist"));
  EXPECT_FALSE(locator.exists("~//etc/hosts"));
  EXPECT_FALSE(locator.exists("~/../../../../etc/hosts"));
  EXPECT_FALSE(locator.exists("~/Library/Preferences/../Preferences/a.plist"));
}

TEST(SettingsLocatorTest, NormalisesNamesToLowercaseLettersAndNumbers) {
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {
      {"obs-studio 2.0_beta", "obsstudio20beta"},
      {"\u00c4rger", "\u00e4rger"},                      // composed
      {"A\u0308rger", "\u00e4rger"},                     // decomposed: the same key
      {"Version \u216b \u00bd", "version\u217b\u00bd"},  // letter-like and fraction numbers
      {"Rocket \U0001F680!", "rocket"},
      {"-\u0301x", "x"},  // a mark after something dropped goes with it
      {"bad\xff\xfe bytes", "badbytes"},
  };
  for (const auto& c : cases) EXPECT_EQ(normalisedKey(c.in), c.out) << c.in;
}

TEST(SettingsLocatorTest, FindsSupportFoldersByNameBundleAndLastPiece) {
  TempDir home;
  for (const char* name : {"Foo Bar", "foobar", "FOO-BAR", "Other", "comexamplefoobar", ".foobar",
                           "Zed", "zed", "app", "Pro", "abc", "Tool"}) {
    home.mkdir(std::string("Library/Application Support/") + name);
  }
  SettingsLocator locator(home.path());

  // Name, bundle identifier and last piece all lead to the same names, each once.
  EXPECT_EQ(locator.supportCandidates(app("Foo Bar", "com.example.foobar")),
            (std::vector<std::string>{kSupport + "FOO-BAR", kSupport + "Foo Bar",
                                      kSupport + "comexamplefoobar", kSupport + "foobar"}));
  // The bundle's file name (".app" removed everywhere) is a key too.
  InstalledApp zed = app("Something", "x.y");
  zed.path = "/Applications/Zed.app.app/";
  EXPECT_EQ(locator.supportCandidates(zed),
            (std::vector<std::string>{kSupport + "Zed", kSupport + "zed"}));
  // Stop words and short last pieces give no key.
  for (const char* id : {"com.example.app", "com.example.Pro", "com.example.abc"})
    EXPECT_EQ(locator.supportCandidates(app("Nothing", id)), std::vector<std::string>{}) << id;
  EXPECT_EQ(locator.supportCandidates(app("Nothing", "com.example.Tool.")),
            std::vector<std::string>{kSupport + "Tool"});
}

TEST(SettingsLocatorTest, ListsLicenceLookingFilesFolderByFolderUpToSix) {
  TempDir home;
  for (const char* file : {"A/serial-number.txt", "A/License.key", "A/notes.txt", "A/.licence",
                           "B/REGISTRATION.dat", "B/licence1", "B/licence2", "B/licence3"})
    home.write(std::string("Library/Application Support/") + file, "");
  home.mkdir("Library/Application Support/A/Activation Data");
  home.write("Library/Preferences/licence.plist", "");
  SettingsLocator locator(home.path());
  const std::string a = home.path().string() + "/Library/Application Support/A/";
  const std::string b = home.path().string() + "/Library/Application Support/B/";

  EXPECT_EQ(
      locator.licenceLookingFiles({kSupport + "A", kSupport + "B"}),
      (std::vector<std::string>{a + ".licence", a + "Activation Data", a + "License.key",
                                a + "serial-number.txt", b + "REGISTRATION.dat", b + "licence1"}));
  // A file, a missing folder and an escaping path list nothing.
  EXPECT_TRUE(locator
                  .licenceLookingFiles({"~/Library/Preferences/licence.plist", kSupport + "Missing",
                                        "~/Library/Application Support/../Application Support/A"})
                  .empty());
}

}  // namespace
}  // namespace larkvale
