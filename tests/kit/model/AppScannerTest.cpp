#include "kit/model/AppScanner.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <stop_token>

#include "platform/Error.h"
#include "platform/FileSystem.h"
#include "tests/support/MachOImage.h"
#include "tests/support/RealWorld.h"
#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

// A metadata store that knows one answer for every path, and counts questions.
class FakeSpotlight final : public Spotlight {
 public:
  explicit FakeSpotlight(std::optional<MetadataValue> answer) : answer_(std::move(answer)) {}
  std::optional<MetadataValue> appStoreIdentifier(const fs::path&) const override {
    ++asked;
    return answer_;
  }
  mutable int asked = 0;

 private:
  std::optional<MetadataValue> answer_;
};

PlistDict info(std::string id, std::optional<std::string> shortVersion = "1.0",
               std::optional<std::string> build = "1") {
  PlistDict d{{"CFBundleIdentifier", std::move(id)}};
  if (shortVersion) d["CFBundleShortVersionString"] = *shortVersion;
  if (build) d["CFBundleVersion"] = *build;
  return d;
}

// Writes rel/Contents/Info.plist, as binary when asked.
fs::path bundle(const TempDir& dir, const std::string& rel, const PlistDict& d,
                bool binary = false) {
  PlistValue value(d);
  dir.write(rel + "/Contents/Info.plist",
            binary ? PropertyList::toBinary(value) : PropertyList::toXml(value));
  return dir / rel;
}

AppScanner scannerOf(std::vector<fs::path> roots,
                     std::shared_ptr<const Spotlight> spotlight = Spotlight::system()) {
  AppScanner scanner;
  scanner.roots = std::move(roots);
  scanner.spotlight = std::move(spotlight);
  return scanner;
}

std::vector<std::string> names(const std::vector<fs::path>& paths, const fs::path& base) {
  std::vector<std::string> out;
  for (const auto& p : paths) out.push_back(p.lexically_relative(base).string());
  return out;
}

std::vector<std::string> names(const std::vector<InstalledApp>& apps) {
  std::vector<std::string> out;
  for (const auto& a : apps) out.push_back(a.name);
  return out;
}

TEST(AppScannerTest, ListsBundlesInAFolderAndItsDirectSubfolders) {
  TempDir dir;
  for (const char* rel : {"root/B.app", "root/a.app", "root/Tools/C.app", "root/Tools/More/D.app",
                          "root/.Hidden/E.app", "root/.Old.app", "root/Caps.APP/Inner.app",
                          "root/Z.app/Contents/Nested.app", "elsewhere/F.app"})
    dir.mkdir(rel);
  dir.write("root/notes.app.txt", "");
  fs::create_directory_symlink(dir / "elsewhere", dir / "root/LinkedFolder");
  fs::create_directory_symlink(dir / "elsewhere/F.app", dir / "root/Linked.app");

  EXPECT_EQ(names(AppScanner::listApps(dir / "root", 1), dir / "root"),
            (std::vector<std::string>{"B.app", "Caps.APP/Inner.app", "Linked.app", "Tools/C.app",
                                      "Z.app", "a.app"}));
  EXPECT_EQ(names(AppScanner::listApps(dir / "root", 0), dir / "root"),
            (std::vector<std::string>{"B.app", "Linked.app", "Z.app", "a.app"}));
  EXPECT_TRUE(AppScanner::listApps(dir / "missing", 1).empty());
  EXPECT_TRUE(AppScanner::listApps(dir / "root/notes.app.txt", 1).empty());
}

TEST(AppScannerTest, ReadsTheFactsOfABundle) {
  TempDir dir;
  // The plist of com.example.app with one key added.
  auto with = [](const char* key, PlistValue v) {
    PlistDict d = info("com.example.app");
    d[key] = std::move(v);
    return d;
  };
  struct Case {
    const char* what;
    PlistDict plist;
    std::string name, version, build;
    const char* feed = nullptr;
  };
  const std::vector<Case> cases{
      {"no versions", info("com.example.app", {}, {}), "App", "?", ""},
      {"short only", info("com.example.app", "3.0", {}), "App", "3.0", "3.0"},
      {"empty short", info("com.example.app", " \t", "77"), "App", "77", "77"},
      {"trimmed", info("com.example.app", " \t1.2\xC2\xA0", " 5 "), "App", "1.2", "5"},
      {"reordering marks",
       info("com.example.app",
            "1.0\xE2\x80\xAE"
            "9.9 ",
            "\xE2\x81\xA7"
            "7"),
       "App", "1.09.9", "7"},
      {"version not text", with("CFBundleShortVersionString", 5), "App", "1", "1"},
      {"display name", with("CFBundleDisplayName", " \xE2\x80\x8EPretty\xEF\xBB\xBF "), "Pretty",
       "1.0", "1"},
      {"invisible display name", with("CFBundleDisplayName", "\xE2\x80\x8B "), "", "1.0", "1"},
      {"feed", with("SUFeedURL", " https://e.com/cast.xml\t"), "App", "1.0", "1",
       "https://e.com/cast.xml"},
      {"ftp feed", with("SUFeedURL", "ftp://e.com/a"), "App", "1.0", "1"},
  };
  const AppScanner scanner;
  for (size_t i = 0; i < cases.size(); ++i) {
    const Case& c = cases[i];
    auto path = bundle(dir, std::to_string(i) + "/App.app", c.plist, i % 2 == 1);
    InstalledApp expected;
    expected.path = path.string();
    expected.name = c.name;
    expected.bundleID = "com.example.app";
    expected.version = c.version;
    expected.build = c.build;
    if (c.feed) expected.feedURL = c.feed;
    EXPECT_EQ(scanner.readApp(path), expected) << c.what;
  }
}

TEST(AppScannerTest, LeavesOutBundlesWithoutAUsableInfoPlist) {
  TempDir dir;
  const AppScanner scanner;
  dir.write("Garbage.app/Contents/Info.plist", "<plist><dict><key>CFBundleIdentifier</key>");
  dir.mkdir("Folder.app/Contents/Info.plist");
  bundle(dir, "NoID.app", PlistDict{{"CFBundleVersion", "1"}});
  bundle(dir, "EmptyID.app", info(""));
  bundle(dir, "BrokenText.app", info("com.example.\xFF"));
  dir.mkdir("EmptyWrapper.app/Wrapper/NotAnApp");
  dir.mkdir("Fifo.app/Contents");
  ASSERT_EQ(::mkfifo((dir / "Fifo.app/Contents/Info.plist").c_str(), 0600), 0);
  for (const char* name : {"Garbage.app", "Folder.app", "NoID.app", "EmptyID.app", "BrokenText.app",
                           "EmptyWrapper.app", "Fifo.app"}) {
    EXPECT_FALSE(scanner.readApp(dir / name)) << name;
  }
  AppScanner whole = scannerOf({dir.path()});
  EXPECT_TRUE(whole.scan().empty());
}

TEST(AppScannerTest, ReadsWrappedIPhoneAppsAndStoreReceipts) {
  TempDir dir;
  dir.write("Game.app/Wrapper/Game.app/Info.plist",
            PropertyList::toBinary(PlistValue(info("com.example.game", "4.2", "420"))));
  dir.write("Game.app/Wrapper/iTunesMetadata.plist", "");
  auto shared = std::make_shared<FakeSpotlight>(MetadataValue{int64_t{123}});
  AppScanner scanner = scannerOf({}, shared);
  auto app = scanner.readApp(dir / "Game.app");
  ASSERT_TRUE(app);
  EXPECT_TRUE(app->isWrappedIOSApp);
  EXPECT_TRUE(app->hasAppStoreReceipt);
  EXPECT_EQ(app->storeID, 123);
  EXPECT_EQ(app->version, "4.2");

  // Metadata alone makes a receipt only for a wrapped app.
  dir.write("Mac.app/Wrapper/iTunesMetadata.plist", "");
  bundle(dir, "Mac.app", info("com.example.mac"));
  auto mac = scanner.readApp(dir / "Mac.app");
  ASSERT_TRUE(mac);
  EXPECT_FALSE(mac->isWrappedIOSApp);
  EXPECT_FALSE(mac->hasAppStoreReceipt);
  EXPECT_FALSE(mac->storeID);
  EXPECT_EQ(shared->asked, 1);

  dir.write("Mac.app/Contents/_MASReceipt/receipt", "r");
  EXPECT_EQ(scanner.readApp(dir / "Mac.app")->storeID, 123);
  EXPECT_FALSE(AppScanner{}.readApp(dir / "Mac.app")->storeID);  // no store on this system
}

TEST(AppScannerTest, ReadsStoreIdentifiersFromMetadata) {
  auto id = [](MetadataValue v) { return AppScanner::storeIDFromMetadata(v); };
  EXPECT_EQ(id(int64_t{497799835}), 497799835);
  EXPECT_EQ(id(-2.9), -2);
  EXPECT_EQ(id(std::string("+12")), 12);
  EXPECT_EQ(id(1e19), std::nullopt);
  EXPECT_EQ(id(std::monostate{}), std::nullopt);
  for (const char* refused : {"9223372036854775808", "12a"})
    EXPECT_EQ(id(std::string(refused)), std::nullopt) << refused;
}

TEST(AppScannerTest, NamesTheBuiltInUpdater) {
  TempDir dir;
  const fs::path b = dir.mkdir("X.app");
  PlistDict plain = info("com.example.x");
  PlistDict google = info("com.example.x");
  google["KSProductID"] = PlistValue(PlistArray{});
  using R = std::optional<std::string>;
  EXPECT_EQ(AppScanner::detectSelfUpdater(b, plain), R());
  EXPECT_EQ(AppScanner::detectSelfUpdater(b, info("com.microsoft.Word")), "Microsoft AutoUpdate");
  EXPECT_EQ(AppScanner::detectSelfUpdater(b, info("com.Microsoft.Word")), R());
  dir.mkdir("X.app/Contents/Frameworks/Sparkle.framework");
  EXPECT_EQ(AppScanner::detectSelfUpdater(b, plain), "Sparkle (its feed is set inside the app)");
  dir.mkdir("X.app/Contents/Frameworks/Squirrel.framework");
  EXPECT_EQ(AppScanner::detectSelfUpdater(b, plain), "its own updater (Squirrel)");
  dir.write("X.app/Contents/Resources/app-update.yml", "provider: generic\n");
  EXPECT_EQ(AppScanner::detectSelfUpdater(b, plain), "its own updater (Electron)");
  EXPECT_EQ(AppScanner::detectSelfUpdater(b, google), "Google's updater");
}

TEST(AppScannerTest, FindsTheGitHubRepository) {
  TempDir dir;
  const AppScanner scanner;
  auto repo = [&](const char* name, PlistDict d, const char* owner) {
    bundle(dir, name, d);
    dir.write(std::string(name) + "/Contents/Resources/app-update.yml",
              std::string("provider: github\nowner: ") + owner + "\nrepo: yml");
    return scanner.readApp(dir / name);
  };
  PlistDict named = info("com.example.a");
  named["GitHubRepository"] = "https://github.com/from/info";
  EXPECT_EQ(repo("A.app", named, "from")->githubRepo, "from/info");
  EXPECT_EQ(repo("B.app", info("com.example.b"), "from")->githubRepo, "from/yml");
  bundle(dir, "D.app", info("com.example.d"));
  dir.mkdir("D.app/Contents/Resources/app-update.yml");
  EXPECT_FALSE(scanner.readApp(dir / "D.app")->githubRepo);
}

TEST(AppScannerTest, ScansEachBundleOnceAndSortsByName) {
  TempDir dir;
  PlistDict lower = info("com.example.lower"), upper = info("com.example.upper");
  lower["CFBundleDisplayName"] = "zed";
  upper["CFBundleDisplayName"] = "Zed";
  bundle(dir, "Apps/a-zed.app", lower);
  bundle(dir, "Apps/b-zed.app", upper, true);
  bundle(dir, "Apps/Tools/Banana.app", info("com.example.banana"));
  bundle(dir, "Apps/apple.app", info("com.example.apple"), true);
  bundle(dir, "Home/Cherry.app", info("com.example.cherry"));
  fs::create_directory_symlink(dir / "Apps/apple.app", dir / "Home/Alias.app");
  const std::string bad = (dir / "Home/Caf\xE9.app").string();
  bundle(dir, "Home/Caf\xE9.app", info("com.example.latin1"));

  AppScanner scanner = scannerOf({dir / "Apps", dir / "Home", dir / "Apps/Tools", dir / "missing"});
  auto apps = scanner.scan();
  EXPECT_EQ(names(apps), (std::vector<std::string>{"apple", "Banana", "Cherry", "zed", "Zed"}));
  EXPECT_EQ(apps[0].path, (dir / "Apps/apple.app").string());
  EXPECT_EQ(apps[1].path, (dir / "Apps/Tools/Banana.app").string());
  for (const auto& app : apps) EXPECT_NE(app.path, bad);

  // The same bundle listed through a link first is kept under that path.
  AppScanner homeFirst = scannerOf({dir / "Home", dir / "Apps"});
  auto again = homeFirst.scan();
  ASSERT_EQ(again.size(), 5u);
  EXPECT_EQ(again[0].path, (dir / "Home/Alias.app").string());
}

// Asks the scan to stop the first time it is asked about a bundle.
class StoppingSpotlight final : public Spotlight {
 public:
  std::optional<MetadataValue> appStoreIdentifier(const fs::path&) const override {
    ++asked;
    stop.request_stop();
    return std::nullopt;
  }
  mutable std::atomic<int> asked{0};
  mutable std::stop_source stop;
};

TEST(AppScannerTest, AStoppedScanAnswersNothing) {
  TempDir dir;
  for (int i = 0; i < 40; ++i) {
    fs::path app = bundle(dir, "Apps/App" + std::to_string(i) + ".app", info("com.example.a"));
    dir.write((app / "Contents/_MASReceipt/receipt").lexically_relative(dir.path()).string(), "r");
  }
  // Stopped while its readers work: they take no further bundle.
  auto spotlight = std::make_shared<StoppingSpotlight>();
  EXPECT_THROW(scannerOf({dir / "Apps"}, spotlight).scan(spotlight->stop.get_token()), Cancelled);
  EXPECT_LE(spotlight->asked.load(), 4);
}

TEST(AppScannerTest, TellsSandboxedAppsFromTheirSignature) {
  TempDir dir;
  auto app = [&](const std::string& name, const std::string& executable) {
    PlistDict d = info("com.example." + name);
    d["CFBundleExecutable"] = name;
    bundle(dir, name + ".app", d);
    dir.write(name + ".app/Contents/MacOS/" + name, executable);
    return dir / (name + ".app");
  };
  using test::macho::image;
  using test::macho::signedWith;
  const auto sandbox = [](PlistValue v) {
    return PropertyList::toXml(PlistDict{{"com.apple.security.app-sandbox", std::move(v)}});
  };
  EXPECT_EQ(AppScanner::isSandboxed(app("Boxed", image({signedWith(sandbox(true))}))), true);
  EXPECT_EQ(AppScanner::isSandboxed(app("Text", image({signedWith(sandbox("true"))}))), false);
  EXPECT_EQ(AppScanner::isSandboxed(app("Unsigned", image({}))), false);
  EXPECT_EQ(AppScanner::isSandboxed(app("Script", "#!/bin/sh\nexit 0\n")), std::nullopt);
  // The scan itself never asks.
  AppScanner scanner = scannerOf({dir.path()});
  for (const auto& a : scanner.scan()) EXPECT_FALSE(a.sandboxed) << a.name;
}

TEST(AppScannerTest, TakesEveryRealWorldInfoPlist) {
  auto folder = test::realworld("plist");
  auto files = FileSystem::listNames(folder);
  ASSERT_TRUE(files);
  TempDir dir;
  std::map<std::string, std::optional<InstalledApp>> read;
  const AppScanner scanner;
  for (const std::string& file : *files) {
    auto bytes = FileSystem::readFile(folder / file);
    ASSERT_TRUE(bytes) << file;
    dir.write("X/" + file + ".app/Contents/Info.plist", *bytes);
    read[file] = scanner.readApp(dir / "X" / (file + ".app"));
    if (read[file]) {
      EXPECT_FALSE(read[file]->bundleID.empty());
      EXPECT_TRUE(FileSystem::isValidUtf8(read[file]->name));
    }
  }
  auto expect = [&](const std::string& file, const char* version, const char* build) {
    ASSERT_TRUE(read.contains(file) && read[file]) << file;
    EXPECT_EQ(read[file]->version, version) << file;
    EXPECT_EQ(read[file]->build, build) << file;
  };
  expect("sparkle-Updater.app-Info.plist", "2.9.1", "2054");
  expect("sparkle1-Autoupdate.app-Info.plist", "1.24.0 a-67-g0e162c98", "1.24.0");
  expect("syncthing-macos-Info.plist", "1.28.0-1", "102800001");
  expect("sparkle-fixture-Both.bundle-Info.plist", "1.0", "1.0");
  for (const char* refused : {"homebrew-fixture-NewApp-EMPTY-Info.plist", "dockdoor-Info.plist",
                              "bplist-fixture-libplist-malformed-dict.bplist",
                              "bplist-fixture-rust-plist-zero-offset-size.plist",
                              "bplist-fixture-rust-plist-circular-array.plist",
                              "bplist-fixture-libplist-recursion.bplist"}) {
    EXPECT_TRUE(read.contains(refused) && !read[refused]) << refused;
  }
  if (read.contains("syncthing-macos-Info.plist")) {
    EXPECT_EQ(read["syncthing-macos-Info.plist"]->name, "Syncthing");
    EXPECT_EQ(read["syncthing-macos-Info.plist"]->feedURL,
              "https://upgrades.syncthing.net/syncthing-macos/appcast.xml");
  }
}

}  // namespace
}  // namespace larkvale
