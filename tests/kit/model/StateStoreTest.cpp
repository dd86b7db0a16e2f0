#include "kit/model/StateStore.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/FileSystem.h"
#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono;
using test::readAll;
using test::TempDir;

const Date kT0 = Date{sys_days{2026y / 12 / 5} + hours{17} + minutes{30} + seconds{42}};
const Date kLoadTime = Date{seconds{1800000000}};

const char* kDefaultJson =
    R"({"history":[],"holds":{},"lastVersions":{},"settings":{"country":"us","dailyCheck":true,)"
    R"("showUpToDate":true,"weeklyNotice":false},"skipped":{},"ticked":[]})";

AppState fullState() {
  AppUpdate u;
  u.app = InstalledApp{"/Applications/A.app",
                       "A",
                       "com.a",
                       "2.0",
                       "20",
                       "https://a.com/f.xml",
                       true,
                       false,
                       "Sparkle",
                       false,
                       42,
                       "o/a"};
  u.source = UpdateSource::github("o/a");
  u.status = UpdateStatus::notChecked("GitHub didn’t answer.");
  u.latestVersion = "2.1";
  u.notes = "Notes";
  u.notesURL = "https://a.com/n";
  u.downloadURL = "https://a.com/d";
  u.released = kT0;
  u.storeTrackID = 7;
  u.caskAutoUpdates = u.critical = u.alsoSparkle = true;
  u.remark = "Pinned in Homebrew.";
  AppState s;
  s.lastReport = CheckReport{kT0, {u}, true, {"Homebrew didn’t answer."}};
  s.skipped = {{"com.b", "3"}, {"com.a", "2.1"}};
  s.holds = {{"com.c", Hold{"Breaks plugins", kT0}}};
  s.history = {HistoryEntry{kT0, "A", "com.a", "1.0", "2.0", "GitHub releases"}};
  s.lastVersions = {{"com.a", "2.0"}};
  s.ticked = {"install.a"};
  s.settings = Settings{false, "gb", false, true};
  s.weeklyNoticeLast = kT0;
  return s;
}

const char* kFullJson =
    R"({"history":[{"bundleID":"com.a","date":"2026-12-05T17:30:42Z","from":"1.0","name":"A",)"
    R"("source":"GitHub releases","to":"2.0"}],"holds":{"com.c":{"reason":"Breaks plugins",)"
    R"("since":"2026-12-05T17:30:42Z"}},"lastReport":{"brewAvailable":true,)"
    R"("date":"2026-12-05T17:30:42Z","problems":["Homebrew didn’t answer."],"updates":[)"
    R"({"alsoSparkle":true,"app":{"build":"20","bundleID":"com.a",)"
    R"("feedURL":"https://a.com/f.xml","githubRepo":"o/a","hasAppStoreReceipt":true,)"
    R"("isWrappedIOSApp":false,"name":"A","path":"/Applications/A.app","sandboxed":false,)"
    R"("selfUpdater":"Sparkle","storeID":42,"version":"2.0"},"caskAutoUpdates":true,)"
    R"("critical":true,"downloadURL":"https://a.com/d","latestVersion":"2.1","notes":"Notes",)"
    R"("notesURL":"https://a.com/n","released":"2026-12-05T17:30:42Z",)"
    R"("remark":"Pinned in Homebrew.","source":{"github":{"_0":"o/a"}},)"
    R"("status":{"notChecked":{"_0":"GitHub didn’t answer."}},"storeTrackID":7}]},)"
    R"("lastVersions":{"com.a":"2.0"},"settings":{"country":"gb","dailyCheck":false,)"
    R"("showUpToDate":false,"weeklyNotice":true},"skipped":{"com.a":"2.1","com.b":"3"},)"
    R"("ticked":["install.a"],"weeklyNoticeLast":"2026-12-05T17:30:42Z"})";

std::vector<std::string> names(const fs::path& folder) {
  auto list = FileSystem::listNames(folder).value_or(std::vector<std::string>{});
  std::sort(list.begin(), list.end());
  return list;
}

TEST(StateStoreTest, ReadsMissingAndNullKeysAsDefaults) {
  AppState gb;
  gb.settings.country = "gb";
  const std::pair<const char*, AppState> cases[] = {
      {"{}", AppState{}},
      {R"({"lastReport":null,"skipped":null,"holds":null,"history":null,"lastVersions":null,)"
       R"("ticked":null,"settings":null,"weeklyNoticeLast":null})",
       AppState{}},
      {R"({"unknown":[1,2],"settings":{"country":"gb","dailyCheck":null,"extra":{}}})", gb},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(StateStore::decode(text), expected) << text;
  // A date with a fraction is written without it.
  AppState fraction;
  fraction.weeklyNoticeLast = kT0 + milliseconds{700};
  EXPECT_EQ(StateStore::decode(StateStore::encode(fraction)).weeklyNoticeLast, kT0);
}

TEST(StateStoreTest, RefusesWhatIsNoState) {
  const char* refused[] = {"[]", R"({"holds":{"com.a":{"reason":"x"}}})",
                           R"({"holds":{"com.a":{"reason":"x","since":"2026-12-05"}}})",
                           R"({"weeklyNoticeLast":812345678})"};
  for (const char* text : refused)
    EXPECT_THROW(StateStore::decode(text), JsonDecodingError) << text;
  // One bad update fails its report and the whole file.
  Json doc = Json::parse(kFullJson);
  for (auto damage : {+[](Json& u) { u["status"] = Json::parse(R"({"sleeping":{}})"); },
                      +[](Json& u) { u["app"]["storeID"] = 18446744073709551615ull; }}) {
    Json bad = doc;
    damage(bad["lastReport"]["updates"][0]);
    EXPECT_THROW(StateStore::decode(bad.dump()), JsonDecodingError) << bad.dump();
  }
}

TEST(StateStoreTest, WritesTheGoldenFileAndLoadsDefaultsWithoutCreatingAnything) {
  TempDir dir;
  StateStore store(dir / "Larkvale");
  EXPECT_EQ(store.load(), AppState{});
  EXPECT_FALSE(fs::exists(dir / "Larkvale"));
  EXPECT_EQ(StateStore::encode(AppState{}), kDefaultJson);
  EXPECT_EQ(StateStore::decode(kDefaultJson), AppState{});
  store.save(fullState());
  EXPECT_EQ(readAll(store.file()), kFullJson);
  EXPECT_EQ(store.load(), fullState());
  EXPECT_EQ(names(store.folder()), std::vector<std::string>{"state.json"});
}

TEST(StateStoreTest, MovesADamagedFileAsideWithoutReplacingEarlierCopies) {
  TempDir dir;
  StateStore store(dir.path());
  dir.write("state.json", R"({"settings":{"dailyCheck":"yes"}})");
  EXPECT_EQ(store.load(kLoadTime), AppState{});
  EXPECT_EQ(names(dir.path()), std::vector<std::string>{"state-damaged-1800000000.json"});

  // A second damaged load within the same second keeps both copies.
  dir.write("state.json", "second");
  dir.write("state-damaged-1800000000-2.json", "third party");
  EXPECT_EQ(store.load(kLoadTime + milliseconds{400}), AppState{});
  EXPECT_EQ(names(dir.path()), (std::vector<std::string>{"state-damaged-1800000000-2.json",
                                                         "state-damaged-1800000000-3.json",
                                                         "state-damaged-1800000000.json"}));
  EXPECT_EQ(readAll(dir / "state-damaged-1800000000.json"), R"({"settings":{"dailyCheck":"yes"}})");
  EXPECT_EQ(readAll(dir / "state-damaged-1800000000-3.json"), "second");

  // A folder where the state file should be is kept aside too, and a save works.
  dir.write("state.json/notes.txt", "precious");
  EXPECT_EQ(store.load(kLoadTime + seconds{1}), AppState{});
  EXPECT_EQ(readAll(dir / "state-damaged-1800000001.json/notes.txt"), "precious");
  store.save(fullState());
  EXPECT_EQ(store.load(), fullState());
}

TEST(StateStoreTest, FailedSavesLeaveWhatWasThere) {
  TempDir dir;
  dir.write("Support", "a file where the folder should be");
  StateStore noFolder(dir / "Support" / "Larkvale");
  EXPECT_EQ(noFolder.load(), AppState{});
  EXPECT_THAT([&] { noFolder.save(AppState{}); },
              testing::ThrowsMessage<FileError>(
                  testing::HasSubstr("Couldn't create " + noFolder.folder().string())));
  EXPECT_EQ(readAll(dir / "Support"), "a file where the folder should be");

  // A folder in the way of the rename: the write fails and nothing is torn.
  StateStore blocked(dir / "blocked");
  dir.mkdir("blocked/state.json/inside");
  EXPECT_THROW(blocked.save(AppState{}), FileError);
  EXPECT_TRUE(fs::is_directory(dir / "blocked/state.json/inside"));
  EXPECT_EQ(names(dir / "blocked"), std::vector<std::string>{"state.json"});
}

TEST(StateStoreTest, SavesOnlyWhatItCanLoadAgain) {
  TempDir dir;
  StateStore store(dir.path());
  // A state whose file is exactly as large as a load takes, then one byte more.
  AppState state;
  state.ticked = {""};
  const size_t base = StateStore::encode(state).size();
  state.ticked = {std::string(StateStore::kMaxFileBytes - base, 'x')};
  store.save(state);
  EXPECT_EQ(fs::file_size(store.file()), StateStore::kMaxFileBytes);
  EXPECT_EQ(store.load(kLoadTime), state);
  EXPECT_EQ(names(dir.path()), std::vector<std::string>{"state.json"});

  const std::string saved = readAll(store.file());
  state.ticked = {std::string(StateStore::kMaxFileBytes - base + 1, 'x')};
  EXPECT_THAT([&] { store.save(state); },
              testing::ThrowsMessage<FileError>(testing::HasSubstr("larger than 64 MiB")));
  EXPECT_TRUE(readAll(store.file()) == saved);
}

TEST(StateStoreTest, LoadingSweepsTemporaryFilesOfInterruptedSaves) {
  TempDir dir;
  StateStore store(dir.path());
  const auto hourAgo = fs::file_time_type::clock::now() - hours{1};
  for (const char* name :
       {"state.json.tmp-ab12cd34", "state.json.tmp-x", "other.json.tmp-ab12cd34"}) {
    fs::last_write_time(dir.write(name, "left over"), hourAgo);
  }
  dir.write("state.json.tmp-fresh000", "being written");
  fs::last_write_time(dir.mkdir("state.json.tmp-folder00"), hourAgo);

  EXPECT_EQ(store.load(kLoadTime), AppState{});
  EXPECT_EQ(names(dir.path()),
            (std::vector<std::string>{"other.json.tmp-ab12cd34", "state.json.tmp-folder00",
                                      "state.json.tmp-fresh000", "state.json.tmp-x"}));
}

}  // namespace
}  // namespace larkvale
