#include "kit/movingday/MovingManifest.h"

#include <gtest/gtest.h>

#include "kit/movingday/CarryError.h"
#include "kit/movingday/InventoryEntry.h"
#include "platform/Json.h"
#include "tests/kit/movingday/Entries.h"
#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

MovingManifest sample() {
  MovingManifest m;
  m.created = *Dates::parseIso8601("2026-12-05T18:49:46Z");
  m.macName = "Studio";
  m.systemVersion = "15.1.0";
  m.apps = {{"Alpha", "com.example.alpha", "2.1", "homebrew", "alpha", std::nullopt, std::nullopt,
             "brew install --cask alpha", "example.com"},
            {"beta", "org.example.beta", "1.0", "github", std::nullopt, 123456, "owner/beta",
             "Download from github.com/owner/beta/releases", std::nullopt}};
  m.settings = {{"~/Library/Preferences/com.example.alpha.plist", "Alpha", "com.example.alpha",
                 false, 42, 1, "Settings/Library/Preferences/com.example.alpha.plist"}};
  m.leftOut = {{"~/Library/Application Support/Alpha/Cache", "A cache the app rebuilds."}};
  return m;
}

// The manifest as an older build wrote it, with the given replacements made.
std::string manifestText(std::string_view schema = "1",
                         std::string_view created = "\"2026-12-05T18:49:46Z\"",
                         std::string_view app = R"({"name": "A", "bundleID": "a", "version": "1",
                             "source": "unknown", "installHow": "x"})",
                         std::string_view extra = R"(, "leftOut": [])") {
  return R"({"schema": )" + std::string(schema) + R"(, "created": )" + std::string(created) +
         R"(, "macName": "Studio", "systemVersion": "15.1.0", "apps": [)" + std::string(app) +
         R"(], "settings": [])" + std::string(extra) + "}";
}

TEST(MovingManifestTest, WritesTheFixedFormat) {
  EXPECT_EQ(MovingManifest::writeManifest(sample()), R"({
  "apps": [
    {
      "bundleID": "com.example.alpha",
      "caskToken": "alpha",
      "downloadHint": "example.com",
      "installHow": "brew install --cask alpha",
      "name": "Alpha",
      "source": "homebrew",
      "version": "2.1"
    },
    {
      "bundleID": "org.example.beta",
      "githubRepo": "owner\/beta",
      "installHow": "Download from github.com\/owner\/beta\/releases",
      "name": "beta",
      "source": "github",
      "storeTrackID": 123456,
      "version": "1.0"
    }
  ],
  "created": "2026-12-05T18:49:46Z",
  "leftOut": [
    {
      "path": "~\/Library\/Application Support\/Alpha\/Cache",
      "reason": "A cache the app rebuilds."
    }
  ],
  "macName": "Studio",
  "schema": 1,
  "settings": [
    {
      "appName": "Alpha",
      "bundleID": "com.example.alpha",
      "bytes": 42,
      "files": 1,
      "isFolder": false,
      "stored": "Settings\/Library\/Preferences\/com.example.alpha.plist",
      "tildePath": "~\/Library\/Preferences\/com.example.alpha.plist"
    }
  ],
  "systemVersion": "15.1.0"
})");
}

TEST(MovingManifestTest, AcceptsOlderSchemasNullsAndInternetDates) {
  auto plain = MovingManifest::decode(manifestText());
  EXPECT_EQ(plain.apps.at(0).caskToken, std::nullopt);
  EXPECT_EQ(MovingManifest::decode(manifestText("0")).schema, 0);
  auto nulls = MovingManifest::decode(manifestText(
      "1", "\"2026-12-05T18:49:46Z\"",
      R"({"name": "A", "bundleID": "a", "version": "1", "source": "unknown", "installHow": "x",
          "caskToken": null, "storeTrackID": null, "githubRepo": null, "downloadHint": null})"));
  EXPECT_EQ(nulls.apps.at(0), plain.apps.at(0));

  const Date expected = *Dates::parseIso8601("2026-12-05T18:49:46Z");
  for (const char* created : {"\"2026-12-05T18:49:46.250Z\"", "\"2026-12-05T13:19:46-0530\""})
    EXPECT_EQ(std::chrono::floor<std::chrono::seconds>(
                  MovingManifest::decode(manifestText("1", created)).created),
              expected)
        << created;
}

// New Mac Check shows these texts on one line; a hostile manifest can neither
// turn them around nor break them. Identifiers and paths stay as written.
TEST(MovingManifestTest, ReadsShownTextsAsOneCleanLine) {
  MovingManifest hostile = sample();
  hostile.macName = "\u202EStudio\u2028Mac\a";
  hostile.systemVersion = "15.1.0\x1B[2J";
  hostile.apps[0].name = "Alpha\u2066\u200B" + std::string(1, '\0');
  hostile.apps[0].version = "2.1\u0085\u202Eevil";
  hostile.settings[0].appName = "Al\u2029pha\u009B";
  hostile.apps[0].installHow =
      "\u202Ebrew\tinstall\n--cask\u2066\u2067\u2068\u2069\u200E\u200F\x01\x1B\x7F\u0085"
      "alpha\u009B\u2028x\u2029";
  // A path keeps every character, so that it still names its file.
  const std::string path =
      "~/Library/Preferences/a\u202Eb\u2066\u2067\u2068\u2069\u200E\u200F\x01\x1B\x7F\u0085"
      "\u009B\u2028\u2029\t\n.plist";
  hostile.settings[0].tildePath = path;
  // A value that claims a shape and lacks it is read as absent.
  hostile.apps[0].caskToken = "alpha\u202E;rm";
  hostile.apps[0].downloadHint = "ev\u202Eil.com\r- [x] done";
  hostile.apps[1].githubRepo = "owner/beta\n# x";
  TempDir tmp;
  tmp.write("Moving Day/manifest.json", MovingManifest::writeManifest(hostile));

  MovingManifest read = MovingManifest::readManifest(tmp / "Moving Day").manifest;
  EXPECT_EQ(read.macName, "Studio Mac");
  EXPECT_EQ(read.systemVersion, "15.1.0[2J");
  EXPECT_EQ(read.apps[0].name, "Alpha");
  EXPECT_EQ(read.apps[0].version, "2.1 evil");
  EXPECT_EQ(read.settings[0].appName, "Al pha");
  EXPECT_EQ(read.apps[0].installHow, "brew install --cask alpha x ");
  EXPECT_EQ(read.settings[0].tildePath, path);
  EXPECT_EQ(read.apps[0].caskToken, std::nullopt);
  EXPECT_EQ(read.apps[0].downloadHint, std::nullopt);
  EXPECT_EQ(read.apps[1].githubRepo, std::nullopt);
  read.apps[0].caskToken = "alpha";
  read.apps[0].downloadHint = "example.com";
  read.apps[1].githubRepo = "owner/beta";
  read.apps[0].name = "Alpha";
  read.apps[0].version = "2.1";
  read.apps[0].installHow = "brew install --cask alpha";
  read.settings[0].appName = "Alpha";
  read.settings[0].tildePath = sample().settings[0].tildePath;
  EXPECT_EQ(read.apps, sample().apps);
  EXPECT_EQ(read.settings, sample().settings);
}

// The refusal's text is the model's New Mac Check test.
TEST(MovingManifestTest, RefusesNewerSchemasOnlyOnceTheFileDecodes) {
  EXPECT_THROW(MovingManifest::decode(manifestText("2")), CarryError);
  // One that lacks a key fails as such, whatever its schema.
  EXPECT_THROW(MovingManifest::decode(R"({"schema": 2})"), JsonDecodingError);
}

TEST(MovingManifestTest, RefusesWhatDoesNotFollowTheFormat) {
  using Kind = JsonDecodingError::Kind;
  const std::string app = R"({"name": "A", "bundleID": "a", "version": "1", "source": "x", )";
  const std::string date = "\"2026-12-05T18:49:46Z\"";
  struct Case {
    std::string text;
    Kind kind;
    std::string path;
  };
  const Case cases[] = {
      {"", Kind::dataCorrupted, ""},
      {manifestText("1", date, R"({"name": "A"})", ""), Kind::keyNotFound, "apps[0]"},
      {manifestText("1", date, app + R"("installHow": null})"), Kind::valueNotFound,
       "apps[0].installHow"},
      {manifestText("1.0"), Kind::typeMismatch, "schema"},
      {manifestText("1", "\"2026-12-05 18:49:46\""), Kind::dataCorrupted, "created"},
      {manifestText("1", date, "7", ""), Kind::typeMismatch, "apps[0]"},
  };
  for (const auto& c : cases) {
    try {
      MovingManifest::decode(c.text);
      ADD_FAILURE() << c.text;
    } catch (const JsonDecodingError& e) {
      EXPECT_EQ(e.kind(), c.kind) << c.text;
      EXPECT_EQ(e.path(), c.path) << c.text;
    }
  }
}

TEST(MovingManifestTest, ReadFailuresAreFileErrors) {
  TempDir dir;
  dir.mkdir("empty");
  dir.mkdir("nested/manifest.json");
  for (const fs::path& p : {dir / "missing", dir / "empty", dir / "nested"})
    EXPECT_THROW(MovingManifest::readManifest(p), FileError) << p;
  // The path in the text is written out whole: nothing in it hides or breaks the line.
  try {
    MovingManifest::readManifest(dir / "Mov\u202Eing\r- [x] done");
    ADD_FAILURE() << "read a missing manifest";
  } catch (const FileError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Couldn't read " + (dir / "").string() +
                  "Mov\\u202Eing\\u000D- [x] done: No such file or directory");
  }
}

TEST(MovingManifestTest, PathsFromAManifestNeverLeaveTheFolderOrHome) {
  const fs::path folder = "/media/drive/Moving", home = "/home/u";
  struct Case {
    std::string stored, tildePath;
    std::optional<fs::path> copy, place;
  };
  const Case cases[] = {
      {"Settings/Library/Preferences/a.plist", "~/Library/Preferences/a.plist",
       folder / "Settings/Library/Preferences/a.plist", home / "Library/Preferences/a.plist"},
      {"/etc/passwd", "/etc/passwd", std::nullopt, std::nullopt},
      {"Settings/../../x", "~/../x", std::nullopt, std::nullopt},
      {"Settings/", "~/", std::nullopt, std::nullopt},
      {"Other/a", "Library/a", std::nullopt, std::nullopt},
      {std::string("Settings/..\0x", 13), std::string("~/..\0x", 6), std::nullopt, std::nullopt},
  };
  for (const auto& c : cases) {
    MovingManifest::Setting s{c.tildePath, "A", "a", false, 0, 0, c.stored};
    EXPECT_EQ(s.copyIn(folder), c.copy) << c.stored;
    EXPECT_EQ(s.placeIn(home), c.place) << c.tildePath;
  }
}

InventoryEntry inventoryEntry(const std::string& name, UpdateSource source) {
  return test::inventoryEntry(name, "com.example." + name, std::move(source));
}

TEST(MovingManifestTest, ManifestAppsLeaveOutTheSystemAndSortByName) {
  auto brew = inventoryEntry("zebra", UpdateSource::homebrew("zebra-cask"));
  brew.downloadHint = "example.com";
  auto store = inventoryEntry("Alpha", UpdateSource::appStore());
  store.storeTrackID = 42;
  auto hub = inventoryEntry("beta", UpdateSource::github("owner/beta"));
  hub.caskToken = "beta";
  std::vector<InventoryEntry> entries = {brew, inventoryEntry("Safari", UpdateSource::apple()),
                                         store, hub};

  EXPECT_EQ(MovingManifest::manifestApps(entries),
            (std::vector<MovingManifest::App>{
                {"Alpha", "com.example.Alpha", "1.0", "appstore", std::nullopt, 42, std::nullopt,
                 store.installHow(), std::nullopt},
                {"beta", "com.example.beta", "1.0", "github", "beta", std::nullopt, "owner/beta",
                 hub.installHow(), std::nullopt},
                {"zebra", "com.example.zebra", "1.0", "homebrew", "zebra-cask", std::nullopt,
                 std::nullopt, brew.installHow(), "example.com"}}));
}

}  // namespace
}  // namespace larkvale
