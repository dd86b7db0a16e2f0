// The model's real check: bundles on disk, sources on a loopback server, a
// fake brew, the real state file.
#include <algorithm>

#include "kit/model/StateStore.h"
#include "platform/PropertyList.h"
#include "tests/app/KitRig.h"
#include "tests/app/model/ModelFixture.h"
#include "tests/support/RawHost.h"

namespace larkvale::test {
namespace {

std::string appcast(const std::string& version) {
  return "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Feed</title><item>"
         "<title>Release</title><sparkle:version>" +
         version +
         "</sparkle:version><enclosure url=\"https://example.com/a.zip\" length=\"1\"/>"
         "</item></channel></rss>";
}

class EndToEndTest : public ModelTest {
 protected:
  void SetUp() override {
    server.server().Get("/feeds/alpha.xml", [](const auto&, auto& res) {
      res.set_content(appcast("2.1"), "application/xml");
    });
    server.server().Get("/lookup", [](const auto&, auto& res) {
      res.set_content(R"({"resultCount":1,"results":[{"trackId":7,"bundleId":"com.example.store",
          "trackName":"Store","version":"1.0"}]})",
                      "application/json");
    });
    // The release a GitHub app in a test may name: its page and download
    // links hold what no URL may hold as written.
    server.server().Get("/repos/o/r/releases/latest", [](const auto&, auto& res) {
      const std::string hostile = "https://github.com/o/r/a|{^\\\"<>\\\\%zz\u00e9.dmg";
      res.set_content(R"({"tag_name":"v2.0","html_url":")" + hostile +
                          R"(","assets":[{"name":"Gamma.dmg","browser_download_url":")" + hostile +
                          R"("}]})",
                      "application/json");
    });
    server.start();
    bundle("Alpha", {{"CFBundleIdentifier", "com.example.alpha"},
                     {"SUFeedURL", server.url("/feeds/alpha.xml")}});
    bundle("Store", {{"CFBundleIdentifier", "com.example.store"}});
    tmp.write("Applications/Store.app/Contents/_MASReceipt/receipt", "r");
    bundle("Delta", {{"CFBundleIdentifier", "com.example.delta"}});

    fakes.folders = {tmp.mkdir("home"), tmp.path() / "caches"};
    model = std::make_unique<AppModel>(kitServices(fakes, tmp, server, fakeBrew()));
  }

  // The model's fetcher goes first, closing its connections to the server.
  void TearDown() override { model.reset(); }

  void bundle(const std::string& name, PlistDict info) {
    info.emplace("CFBundleShortVersionString", "1.0");
    tmp.write("Applications/" + name + ".app/Contents/Info.plist", PropertyList::toXml(info));
  }

  std::string fakeBrew() {
    return writeFakeBrew(tmp,
                         R"({"formulae":[],"casks":[{"token":"delta","name":["Delta"],
        "version":"1.5","installed":"1.0","auto_updates":false,"artifacts":[{"app":[")" +
                             (tmp.path() / "Applications/Delta.app").string() + R"("]}]}]})",
                         R"({"formulae":[],"casks":[{"name":"delta",
        "installed_versions":["1.0"],"current_version":"1.5","pinned":false}]})");
  }

  size_t savedAnswers() const {
    const auto http = fakes.folders.http();
    if (!std::filesystem::is_directory(http)) return 0;
    return std::distance(std::filesystem::directory_iterator(http), {});
  }

  TestServer server;
};

TEST_F(EndToEndTest, ACheckGoesFromTheBundlesToTheNoticeTheBadgeAndTheStateFile) {
  ASSERT_TRUE(waitFor(model->check()));
  EXPECT_EQ(noticeText(), "2 updates waiting.");
  EXPECT_EQ(fakes.badge->counts.back(), 2);
  EXPECT_EQ(names(model->rows(Pane::updates)), (std::vector<std::string>{"Alpha", "Delta"}));
  EXPECT_EQ(model->progress(), (WorkProgress{3, 3}));
  EXPECT_EQ(StateStore::encode(StateStore(tmp.path() / "state").load()),
            StateStore::encode(model->state()));
  EXPECT_GT(savedAnswers(), 0u);

  // Clearing the saved answers leaves the fetcher able to save new ones.
  model->clearSavedFeeds();
  EXPECT_EQ(savedAnswers(), 0u);
  ASSERT_TRUE(waitFor(model->check()));
  EXPECT_GT(savedAnswers(), 0u);
}

// A release whose links the state file could not read back: the check keeps
// the record without them, so the skips and holds made after it survive the
// next launch (a refused file would be moved aside and both lost).
TEST_F(EndToEndTest, HostileReleaseLinksCostNoSkipsOrHoldsAtTheNextLaunch) {
  bundle("Gamma", {{"CFBundleIdentifier", "com.example.gamma"},
                   {"GitHubRepository", "https://github.com/o/r"}});
  ASSERT_TRUE(waitFor(model->check()));
  const auto waiting = model->rows(Pane::updates);
  ASSERT_EQ(names(waiting), (std::vector<std::string>{"Alpha", "Delta", "Gamma"}));
  model->skipVersion(waiting[0]);
  model->holdApp(waiting[2], "Waiting for reviews");

  const StateStore store(tmp.path() / "state");
  const AppState saved = StateStore::decode(readAll(store.file()));  // throws when refused
  EXPECT_EQ(saved.skipped, (std::map<std::string, std::string>{{"com.example.alpha", "2.1"}}));
  EXPECT_EQ(saved.holds.at("com.example.gamma").reason, "Waiting for reviews");
  const auto& updates = saved.lastReport->updates;
  const auto gamma = *std::find_if(updates.begin(), updates.end(),
                                   [](const AppUpdate& u) { return u.app.name == "Gamma"; });
  EXPECT_EQ(gamma.notesURL, "https://github.com/o/r/releases");
  EXPECT_EQ(gamma.downloadURL, std::nullopt);

  // The next launch reads the same skips and holds.
  const AppState loaded = store.load();
  EXPECT_EQ(loaded.skipped, saved.skipped);
  EXPECT_EQ(loaded.holds, saved.holds);
}

// The app's quit path (AppModel::shutdown on aboutToQuit) while a fetch waits
// on a host that never answers: the check ends at once, and the work that
// outlives the model leaves nothing behind (the sanitizer tree checks leaks).
TEST_F(EndToEndTest, QuittingDuringAStalledCheckEndsTheCheckAndLeavesNothingBehind) {
  RawHost silent;
  bundle("Gamma", {{"CFBundleIdentifier", "com.example.gamma"},
                   {"SUFeedURL", silent.url("/feeds/gamma.xml")}});
  QFuture<void> check = model->check();
  ASSERT_TRUE(waitUntil([&] { return silent.requests() > 0; }));
  model->shutdown();
  EXPECT_TRUE(check.isFinished());
  EXPECT_TRUE(model->check().isFinished());
}

// The state read ahead at start-up is the one the model loads; a save made
// before that load drops the reading, finished or not, so nothing older comes
// back.
TEST(KitStateStorageTest, AReadingAheadIsLoadedOnceAndNeverOutlivesASave) {
  TempDir tmp;
  const Date day = std::chrono::sys_days{std::chrono::year{2026} / 12 / 1};
  const AppState first = stateWith(waitingCasks(3), day);
  const AppState second = stateWith(waitingCasks(1), day);
  StateStore(tmp.path()).save(first);

  KitStateStorage storage(tmp.path());
  storage.readAhead();
  StateStore(tmp.path()).save(second);  // written behind its back, after the reading began
  const AppState loaded = storage.load(std::chrono::system_clock::now());
  EXPECT_TRUE(loaded == first || loaded == second);
  EXPECT_EQ(storage.load(std::chrono::system_clock::now()), second);  // read anew

  storage.readAhead();
  storage.save(first);
  EXPECT_EQ(storage.load(std::chrono::system_clock::now()), first);

  // A reading already over is as out of date after a save as one under way.
  storage.readAhead();
  storage.waitForReadAhead();
  storage.save(second);
  EXPECT_EQ(storage.load(std::chrono::system_clock::now()), second);

  storage.readAhead();  // never loaded: the storage waits for it as it goes
}

}  // namespace
}  // namespace larkvale::test
