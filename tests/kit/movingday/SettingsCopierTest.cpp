#include "kit/movingday/SettingsCopier.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <set>
#include <stop_token>
#include <thread>

#include "kit/movingday/CarryError.h"
#include "kit/movingday/CarryFiles.h"
#include "kit/movingday/InventoryEntry.h"
#include "platform/FileSystem.h"
#include "tests/kit/movingday/Entries.h"
#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

namespace fs = std::filesystem;
using test::readAll;
using test::TempDir;
using LeftOut = MovingManifest::LeftOut;

const std::string kSupport = "~/Library/Application Support/";
const std::string kPrefs = "~/Library/Preferences/";
const Date kDate = std::chrono::sys_days{std::chrono::year{2026} / 12 / 5} + std::chrono::hours{12};

std::string localDay(Date date) {
  std::time_t t = std::chrono::system_clock::to_time_t(date);
  std::tm tm{};
  ::localtime_r(&t, &tm);
  char buf[16];
  std::strftime(buf, sizeof buf, "%Y-%m-%d", &tm);
  return buf;
}

struct stat statOf(const fs::path& path) {
  struct stat st {};
  EXPECT_EQ(::lstat(path.c_str(), &st), 0) << path;
  return st;
}

void setTimes(const fs::path& path, time_t seconds) {
  const struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

SettingsPick pick(std::string tildePath) {
  return {std::move(tildePath), "App", "com.example.app"};
}

std::vector<LeftOut> sorted(std::vector<LeftOut> items) {
  std::sort(items.begin(), items.end(),
            [](const LeftOut& a, const LeftOut& b) { return a.path < b.path; });
  return items;
}

class SettingsCopierTest : public ::testing::Test {
 protected:
  fs::path home() const { return dir / "home"; }
  fs::path dest() const { return dir / "dest"; }
  fs::path support(std::string_view rel) const {
    return home() / "Library/Application Support" / rel;
  }
  SettingsCopier::Result copy(const std::vector<SettingsPick>& picks,
                              const SettingsCopier::Progress& progress = {}) const {
    return SettingsCopier(home()).copy(picks, {}, dest(), "Studio", "15.1.0", kDate, progress);
  }

  TempDir dir;
  void SetUp() override {
    dir.mkdir("home/Library/Preferences");
    dir.mkdir("home/Library/Application Support");
    dir.mkdir("dest");
  }
};

TEST(SettingsCopierRules, AllowsOnlyPlainPathsBelowTheTwoFolders) {
  const std::pair<std::string, bool> cases[] = {
      {"~/Library/Preferences/com.example.plist", true},
      {"~/Library/Application Support/Example/Sub", true},
      {"~/Library/Application Support/", false},
      {"~/Library/Preferences/a/../b", false},
      {"~/Library/Preferences/a//b", false},
      {"~/Library/Preferences/a/", false},
      {"/Library/Preferences/a.plist", false},
      {"~/Library/Caches/x", false},
      {std::string("~/Library/Preferences/a\0b", 25), false},
  };
  for (const auto& [path, allowed] : cases)
    EXPECT_EQ(SettingsCopier::isAllowedPath(path), allowed) << path;
}

TEST(SettingsCopierRules, LicenceNamesAndLocations) {
  for (const char* name : {"LICENCE", "registration.dat", "Serial Number", "app.activation"})
    EXPECT_TRUE(SettingsCopier::looksLikeLicence(name)) << name;
  for (const char* name : {"lic.txt", "series"})
    EXPECT_FALSE(SettingsCopier::looksLikeLicence(name)) << name;

  SettingsCopier copier("/home/u");
  EXPECT_EQ(copier.locate("~/Library/Preferences/a.plist"), "/home/u/Library/Preferences/a.plist");
  EXPECT_EQ(copier.locate("~//etc/passwd"), "/home/u/etc/passwd");
  EXPECT_EQ(copier.locate("~/"), "/home/u");
}

TEST_F(SettingsCopierTest, CopiesATreeKeepingLinksModesAndTimes) {
  dir.write("home/Library/Preferences/com.example.app.plist", "prefs");
  fs::path app = support("App");
  dir.write("home/Library/Application Support/App/data.json", "12345");
  dir.write("home/Library/Application Support/App/sub/more.txt", "abc");
  dir.write("home/Library/Application Support/App/Cache/c.bin", "c");
  dir.write("home/Library/Application Support/App/License.txt", "key");
  dir.write("home/Library/Application Support/App/Licenses/notes.txt", "free");
  fs::create_symlink("data.json", app / "to-file");
  fs::create_symlink("/nowhere/at/all", app / "dangling");
  ASSERT_EQ(::mkfifo((app / "fifo").c_str(), 0600), 0);
  ::chmod((app / "data.json").c_str(), 0640);
  ::chmod((app / "sub").c_str(), 0750);
  setTimes(app / "data.json", 1000000000);
  setTimes(app / "to-file", 1100000000);
  setTimes(app / "sub", 1200000000);

  std::vector<WorkProgress> calls;
  auto result = copy({pick(kPrefs + "com.example.app.plist"), pick(kSupport + "App")},
                     [&](WorkProgress step) { calls.push_back(step); });

  EXPECT_EQ(result.folder, dest() / ("Larkvale Moving Day Studio " + localDay(kDate)));
  EXPECT_EQ(calls, (std::vector<WorkProgress>{{0, 2}, {1, 2}, {2, 2}}));
  const auto& m = result.manifest;
  ASSERT_EQ(m.settings.size(), 2u);
  EXPECT_EQ(m.settings[0], (MovingManifest::Setting{
                               kPrefs + "com.example.app.plist", "App", "com.example.app", false, 5,
                               1, "Settings/Library/Preferences/com.example.app.plist"}));
  EXPECT_EQ(m.settings[1],
            (MovingManifest::Setting{kSupport + "App", "App", "com.example.app", true, 12, 3,
                                     "Settings/Library/Application Support/App"}));
  const std::string a = kSupport + "App/";
  EXPECT_EQ(sorted(m.leftOut), (std::vector<LeftOut>{
                                   {a + "Cache", "A cache the app rebuilds."},
                                   {a + "License.txt", std::string(LeftOutReason::licenceFile)},
                                   {a + "fifo", "Not a regular file (a socket or device)."},
                               }));

  fs::path copyApp = result.folder / "Settings/Library/Application Support/App";
  EXPECT_EQ(readAll(copyApp / "data.json"), "12345");
  EXPECT_EQ(readAll(copyApp / "Licenses/notes.txt"), "free");
  EXPECT_EQ(fs::read_symlink(copyApp / "to-file"), "data.json");
  EXPECT_EQ(fs::read_symlink(copyApp / "dangling"), "/nowhere/at/all");
  for (const char* gone : {"Cache", "License.txt", "fifo"})
    EXPECT_FALSE(fs::exists(fs::symlink_status(copyApp / gone))) << gone;
  EXPECT_EQ(statOf(copyApp / "data.json").st_mode & 0777, 0640u);
  EXPECT_EQ(statOf(copyApp / "sub").st_mode & 0777, 0750u);
  EXPECT_EQ(statOf(copyApp / "data.json").st_mtim.tv_sec, 1000000000);
  EXPECT_EQ(statOf(copyApp / "to-file").st_mtim.tv_sec, 1100000000);
  EXPECT_EQ(statOf(copyApp / "sub").st_mtim.tv_sec, 1200000000);

  EXPECT_EQ(readAll(result.folder / "README.txt"), SettingsCopier::readmeText(m));
  EXPECT_EQ(MovingManifest::readManifest(result.folder).manifest, m);
}

TEST_F(SettingsCopierTest, CopiesRunningAtOnceEachClaimANewFolder) {
  dir.write("home/Library/Preferences/a.plist", "one");
  std::vector<SettingsCopier::Result> results(6);
  {
    std::vector<std::jthread> runs;
    for (auto& result : results)
      runs.emplace_back([&] { result = copy({pick(kPrefs + "a.plist")}); });
  }
  const std::string base = (dest() / ("Larkvale Moving Day Studio " + localDay(kDate))).string();
  std::set<fs::path> folders;
  for (const auto& result : results) {
    folders.insert(result.folder);
    EXPECT_EQ(MovingManifest::readManifest(result.folder).manifest, result.manifest);
    EXPECT_EQ(readAll(result.folder / "Settings/Library/Preferences/a.plist"), "one");
  }
  EXPECT_EQ(folders, (std::set<fs::path>{base, base + " 2", base + " 3", base + " 4", base + " 5",
                                         base + " 6"}));
}

TEST_F(SettingsCopierTest, RefusesADestinationThatIsNotAnExistingFolder) {
  EXPECT_THAT([&] { SettingsCopier(home()).copy({}, {}, dir / "unplugged", "S", "15", kDate); },
              ::testing::ThrowsMessage<CarryError>(
                  "Couldn't make the Moving day folder: No such file or directory"));
  EXPECT_FALSE(fs::exists(dir / "unplugged"));
  dir.write("file", "not a folder");
  EXPECT_THROW(SettingsCopier(home()).copy({}, {}, dir / "file", "S", "15", kDate), CarryError);
  EXPECT_EQ(readAll(dir / "file"), "not a folder");
}

TEST_F(SettingsCopierTest, LeavesOutWhatItWillNotOrCannotCopy) {
  dir.write("home/Library/Preferences/License.plist", "key");
  dir.write("home/Library/Preferences/keep.plist", "keep");
  dir.write("home/Library/Preferences/gone.plist", "soon gone");
  dir.write("home/Documents/notes.txt", "mine");
  ASSERT_EQ(::mkfifo((home() / "Library/Preferences/sock").c_str(), 0600), 0);
  auto result =
      copy({pick("~/Documents/notes.txt"), pick(kPrefs + "License.plist"), pick(kPrefs + "sock"),
            pick(kPrefs + "gone.plist"), pick(kPrefs + "keep.plist")},
           [&](WorkProgress step) {
             if (step.done == 3) {
               EXPECT_TRUE(dir.remove(home() / "Library/Preferences/gone.plist"));
             }
           });
  EXPECT_EQ(result.manifest.leftOut,
            (std::vector<LeftOut>{
                {"~/Documents/notes.txt", std::string(LeftOutReason::notAllowed)},
                {kPrefs + "License.plist", std::string(LeftOutReason::licenceFile)},
                {kPrefs + "sock", std::string(LeftOutReason::notRegular)},
                {kPrefs + "gone.plist", "Not on this Mac any more."},
            }));
  ASSERT_EQ(result.manifest.settings.size(), 1u);
  EXPECT_EQ(result.manifest.settings[0].tildePath, kPrefs + "keep.plist");
  EXPECT_FALSE(fs::exists(result.folder / "Settings/Documents"));
  // Measuring weighs only what the copy takes.
  const SettingsCopier copier(home());
  for (const std::string& outside :
       {std::string("~/Documents/notes.txt"), kPrefs + "../../Documents/notes.txt"})
    EXPECT_EQ(copier.measureSetting(outside), (SettingsCopier::Size{0, 0})) << outside;
  EXPECT_EQ(copier.measureSetting(kPrefs + "keep.plist"), (SettingsCopier::Size{4, 1}));
}

TEST_F(SettingsCopierTest, APickInsideAnEarlierOneFindsItsCopiesInPlace) {
  dir.write("home/Library/Application Support/App/sub/a.txt", "a");
  dir.write("home/Library/Application Support/Cache/x.txt", "x");
  auto result =
      copy({pick(kSupport + "App"), pick(kSupport + "App/sub"), pick(kSupport + "Cache")});
  const auto& s = result.manifest.settings;
  ASSERT_EQ(s.size(), 3u);
  EXPECT_EQ(s[1], (MovingManifest::Setting{kSupport + "App/sub", "App", "com.example.app", true, 0,
                                           0, "Settings/Library/Application Support/App/sub"}));
  EXPECT_EQ(result.manifest.leftOut,
            (std::vector<LeftOut>{{kSupport + "App/sub/a.txt", "Couldn't copy (File exists)."}}));
  // A picked folder is copied whatever its own name.
  EXPECT_EQ(readAll(result.folder / "Settings/Library/Application Support/Cache/x.txt"), "x");
}

TEST_F(SettingsCopierTest, NeverWritesThroughALinkThatAnEarlierPickCopied) {
  dir.write("elsewhere/inner.txt", "outside");
  dir.mkdir("elsewhere/newsub");
  fs::create_symlink(dir / "elsewhere", support("Linked"));
  auto before = fs::last_write_time(dir / "elsewhere");
  auto result = copy({pick(kSupport + "Linked"), pick(kSupport + "Linked/inner.txt"),
                      pick(kSupport + "Linked/newsub")});
  EXPECT_EQ(result.manifest.leftOut,
            (std::vector<LeftOut>{
                {kSupport + "Linked/inner.txt",
                 "Couldn't copy (a folder on its way is a symbolic link)."},
                {kSupport + "Linked/newsub",
                 "Couldn't make the folder (a folder on its way is a symbolic link)."},
            }));
  ASSERT_EQ(result.manifest.settings.size(), 1u);
  EXPECT_EQ(result.manifest.settings[0].bytes, 0);
  EXPECT_EQ(fs::read_symlink(result.folder / "Settings/Library/Application Support/Linked"),
            dir / "elsewhere");
  EXPECT_EQ(fs::last_write_time(dir / "elsewhere"), before);
  EXPECT_EQ(readAll(dir / "elsewhere/inner.txt"), "outside");
}

TEST_F(SettingsCopierTest, WritesItsFilesIntoTheFolderItMadeEvenWhenALinkTakesItsPlace) {
  dir.write("home/Library/Preferences/a.plist", "a");
  dir.write("victim/manifest.json", "someone's manifest");
  dir.write("victim/README.txt", "someone's readme");
  const fs::path made = dest() / SettingsCopier::folderName("Studio", kDate);
  auto result = copy({pick(kPrefs + "a.plist")}, [&](WorkProgress step) {
    if (step.done < step.total) return;
    fs::rename(made, dir / "moved");
    fs::create_directory_symlink(dir / "victim", made);
  });
  EXPECT_EQ(readAll(dir / "victim/manifest.json"), "someone's manifest");
  EXPECT_EQ(readAll(dir / "victim/README.txt"), "someone's readme");
  EXPECT_EQ(FileSystem::listNames(dir / "victim")->size(), 2u);
  EXPECT_EQ(MovingManifest::readManifest(dir / "moved").manifest, result.manifest);
  EXPECT_EQ(readAll(dir / "moved/README.txt"), SettingsCopier::readmeText(result.manifest));
}

TEST_F(SettingsCopierTest, PathsBelowALinkedFolderKeepTheirPlace) {
  // Application Support itself reached through a link: the copy still mirrors
  // the home folder, item by item.
  ASSERT_TRUE(dir.remove(home() / "Library/Application Support"));
  dir.write("real/App/deep/settings.json", "{}");
  dir.write("real/App/deep/Registration.key", "k");
  fs::create_symlink(dir / "real", home() / "Library/Application Support");
  auto result = copy({pick(kSupport + "App")});
  EXPECT_EQ(result.manifest.leftOut,
            (std::vector<LeftOut>{{kSupport + "App/deep/Registration.key",
                                   std::string(LeftOutReason::licenceFile)}}));
  EXPECT_EQ(readAll(result.folder / "Settings/Library/Application Support/App/deep/settings.json"),
            "{}");
}

TEST_F(SettingsCopierTest, FoldersBeyondTheDepthLimitAreLeftOutByName) {
  std::string rel = "home/Library/Application Support/Deep";
  std::string display = kSupport + "Deep";
  for (int level = 1; level <= 205; ++level) {
    rel += "/d";
    if (level <= 200) display += "/d";
  }
  dir.write(rel + "/f.txt", "x");
  dir.write("home/Library/Application Support/Deep/top.txt", "top");
  auto result = copy({pick(kSupport + "Deep")});
  EXPECT_EQ(result.manifest.leftOut,
            (std::vector<LeftOut>{{display, "Couldn't make the folder (File name too long)."}}));
  EXPECT_EQ(result.manifest.settings.at(0).files, 1);
  EXPECT_EQ(SettingsCopier(home()).measureSetting(kSupport + "Deep"), (SettingsCopier::Size{3, 1}));
}

TEST_F(SettingsCopierTest, AStoppedCopyLeavesNoHalfFileAndNoManifest) {
  dir.write("home/Library/Preferences/a.plist", "one");
  // Stopped once every pick is copied: the copies stay, the manifest is not written.
  std::stop_source atTheEnd;
  auto stopAtTheEnd = [&](WorkProgress step) {
    if (step.done == step.total) atTheEnd.request_stop();
  };
  EXPECT_THROW(SettingsCopier(home()).copy({pick(kPrefs + "a.plist")}, {}, dest(), "Studio",
                                           "15.1.0", kDate, stopAtTheEnd, atTheEnd.get_token()),
               Cancelled);
  const fs::path folder = dest() / ("Larkvale Moving Day Studio " + localDay(kDate));
  EXPECT_EQ(readAll(folder / "Settings/Library/Preferences/a.plist"), "one");
  for (const char* absent : {"manifest.json", "README.txt"})
    EXPECT_FALSE(fs::exists(folder / absent)) << absent;

  // Stopped before it starts: no folder is claimed.
  std::stop_source before;
  before.request_stop();
  EXPECT_THROW(SettingsCopier(home()).copy({pick(kPrefs + "a.plist")}, {}, dest(), "Studio",
                                           "15.1.0", kDate, {}, before.get_token()),
               Cancelled);
  EXPECT_FALSE(fs::exists(folder.string() + " 2"));

  // Stopped inside a large file: the part already written goes with it.
  const fs::path big =
      dir.write("home/big.bin", std::string(static_cast<size_t>(CarryFiles::kCopyChunk) + 1, 'x'));
  FileDescriptor from{::open(big.parent_path().c_str(), O_RDONLY | O_DIRECTORY)};
  FileDescriptor into{::open(dest().c_str(), O_RDONLY | O_DIRECTORY)};
  std::stop_source stopped;
  stopped.request_stop();
  EXPECT_THROW(CarryFiles::copyFile(from.get(), "big.bin", into.get(), stopped.get_token()),
               Cancelled);
  EXPECT_FALSE(fs::exists(dest() / "big.bin"));
  EXPECT_THROW(SettingsCopier(home()).measureSetting(kPrefs + "a.plist", stopped.get_token()),
               Cancelled);
}

// No picks: one progress call and an empty Settings folder, named without the
// Mac name's unsafe characters.
TEST_F(SettingsCopierTest, FolderNameKeepsTheMacNameOnlyInTheManifest) {
  std::vector<WorkProgress> calls;
  auto result = SettingsCopier(home()).copy({}, {}, dest(), "Studio/Work: 2", "15.1.0", kDate,
                                            [&](WorkProgress step) { calls.push_back(step); });
  EXPECT_EQ(calls, (std::vector<WorkProgress>{{0, 0}}));
  EXPECT_TRUE(fs::is_empty(result.folder / "Settings"));
  EXPECT_EQ(result.folder.filename(), "Larkvale Moving Day Studio-Work- 2 " + localDay(kDate));
  EXPECT_EQ(result.manifest.macName, "Studio/Work: 2");
}

TEST(SettingsCopierReadme, IsTheFixedText) {
  MovingManifest m;
  m.macName = "Studio";
  m.apps.resize(12);
  m.settings.resize(3);
  EXPECT_EQ(SettingsCopier::readmeText(m),
            "Larkvale Moving Day: settings from Studio\n"
            "\n"
            "Settings/ holds copies of the settings you chose, at the same places below your home "
            "folder\n"
            "(Settings/Library/Preferences/\u2026 goes to ~/Library/Preferences/\u2026). Copy "
            "each one back with the app quit.\n"
            "manifest.json lists the 12 apps that were on Studio and the 3 settings copied.\n"
            "\n"
            "On the new Mac: Larkvale \u203a Moving day \u203a New Mac Check \u203a Open Moving "
            "Day Folder\u2026 lists what's missing.\n"
            "Licence files, caches and app containers were left out; licence keys and Keychain "
            "items are never copied.\n");
}

InventoryEntry inventoryEntry(const std::string& name, std::vector<std::string> settings) {
  auto e = test::inventoryEntry(name, "com.example." + name, UpdateSource::unknown());
  e.settings = std::move(settings);
  return e;
}

TEST(SettingsCopierRules, PicksFollowAppNamesAndAreOfferedOnce) {
  const std::string prefs = "~/Library/Preferences/", support = "~/Library/Application Support/";
  std::vector<InventoryEntry> entries = {
      inventoryEntry("zebra", {prefs + "z.plist", support + "Shared"}),
      inventoryEntry(
          "Alpha", {"~/.config/alpha", prefs + "a.plist", support + "Shared", support + "Alpha/"}),
      inventoryEntry("beta", {support + "Shared", prefs + "b.plist"}),
  };
  std::vector<SettingsPick> expected = {
      {prefs + "a.plist", "Alpha", "com.example.Alpha"},
      {support + "Shared", "Alpha", "com.example.Alpha"},
      {prefs + "b.plist", "beta", "com.example.beta"},
      {prefs + "z.plist", "zebra", "com.example.zebra"},
  };
  EXPECT_EQ(SettingsCopier::settingsPicks(entries), expected);
}

}  // namespace
}  // namespace larkvale
