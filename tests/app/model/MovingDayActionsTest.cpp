// The Moving day actions over a real home folder, with the engine itself.
#include "kit/movingday/MovingManifest.h"
#include "tests/app/model/ModelFixture.h"

namespace larkvale::test {
namespace {

class MovingDayTest : public ModelTest {
 protected:
  MovingDayTest() {
    tmp.write("home/Library/Preferences/com.example.Alpha.plist", "prefs");
    tmp.write("home/Library/Application Support/Alpha/a.db", "0123456789");
    tmp.write("home/Library/Application Support/Alpha/b.db", "01234");
    fakes.scanner->setApps({app("bravo"), app("Alpha"), app("Charlie")});
  }

  void loadInventory() { ASSERT_TRUE(waitFor(model->loadInventory())); }

  std::vector<std::string> inventoryNames() const {
    std::vector<std::string> out;
    for (const auto& entry : model->inventory()) out.push_back(entry.app.name);
    return out;
  }

  // Ticks Alpha's two settings items and copies them into a new folder.
  std::filesystem::path copyAlpha() {
    loadInventory();
    model->setCarryChosen(
        {"~/Library/Preferences/com.example.Alpha.plist", "~/Library/Application Support/Alpha"});
    fakes.panels->nextOpen.push_back(tmp.mkdir("drive"));
    EXPECT_TRUE(waitFor(model->copySettings()));
    return model->carryResult() ? model->carryResult()->folder : std::filesystem::path();
  }

  const std::string pref = "~/Library/Preferences/com.example.Alpha.plist";
  const std::string support = "~/Library/Application Support/Alpha";
};

TEST_F(MovingDayTest, TheInventoryIsBuiltOnceAndAgainAfterEachCheck) {
  loadInventory();
  loadInventory();
  EXPECT_EQ(inventoryNames(), (std::vector<std::string>{"Alpha", "bravo", "Charlie"}));
  EXPECT_EQ(model->inventory()[0].settings, (std::vector<std::string>{pref, support}));
  EXPECT_EQ(fakes.scanner->scans(), 1);
  EXPECT_FALSE(model->inventoryLoading());

  runCheck({update("Delta")});
  EXPECT_TRUE(model->inventory().empty());
  loadInventory();
  EXPECT_EQ(inventoryNames(), std::vector<std::string>{"Delta"});
  EXPECT_EQ(fakes.scanner->scans(), 2);  // the check's own scan only
}

TEST_F(MovingDayTest, AnInventoryBuiltFromAReplacedReportIsBuiltAgain) {
  report({update("Old")});
  fakes.scanner->sandboxGate.arm();
  auto building = model->loadInventory();
  ASSERT_TRUE(fakes.scanner->sandboxGate.waitUntilHeld());
  runCheck({update("New")});
  fakes.scanner->sandboxGate.open();
  ASSERT_TRUE(waitFor(building));
  EXPECT_EQ(inventoryNames(), std::vector<std::string>{"New"});
  EXPECT_FALSE(model->inventoryLoading());
}

TEST_F(MovingDayTest, TicksToggleClearAndSave) {
  model->toggleTick("before:export");
  model->toggleTick("apps:alpha");
  model->toggleTick("before:export");
  EXPECT_EQ(model->state().ticked, std::set<std::string>{"apps:alpha"});
  model->clearTicks();
  EXPECT_TRUE(model->state().ticked.empty());
  EXPECT_EQ(fakes.store->saved.size(), 4u);
}

TEST_F(MovingDayTest, SizesAreMeasuredOnceAndRunningChosenAppsAreNamed) {
  loadInventory();
  ASSERT_TRUE(waitFor(model->measureCarrySizes()));
  EXPECT_EQ(model->carrySizes(),
            (CarrySizes{{pref, CarrySize{5, 1}}, {support, CarrySize{15, 2}}}));
  EXPECT_TRUE(model->measureCarrySizes().isFinished());

  fakes.workspace->running = {"COM.EXAMPLE.ALPHA", "", "org.other"};
  ASSERT_TRUE(waitFor(model->refreshRunningChosenApps()));
  EXPECT_TRUE(model->runningChosenApps().empty());
  QSignalSpy named(model.get(), &AppModel::runningChosenAppsChanged);
  model->setCarryChosen(pref, true);
  ASSERT_TRUE(waitFor(model->refreshRunningChosenApps()));
  EXPECT_EQ(model->runningChosenApps(), AppNames{"Alpha"});

  // The walk runs on the worker; one for ticks since changed is dropped.
  fakes.workspace->runningGate.arm();
  auto stale = model->refreshRunningChosenApps();
  ASSERT_TRUE(fakes.workspace->runningGate.waitUntilHeld());
  model->setCarryChosen(pref, false);
  ASSERT_TRUE(waitFor(model->refreshRunningChosenApps()));
  fakes.workspace->runningGate.open();
  ASSERT_TRUE(waitFor(stale));
  EXPECT_TRUE(model->runningChosenApps().empty());
  EXPECT_EQ(named.count(), 2);
}

TEST_F(MovingDayTest, CopySettingsAsksForAFolderAndReportsTheCopy) {
  loadInventory();
  ASSERT_TRUE(waitFor(model->copySettings()));  // nothing ticked: no panel
  EXPECT_TRUE(fakes.panels->opens.empty());
  model->setCarryChosen(pref, true);
  ASSERT_TRUE(waitFor(model->copySettings()));  // cancelled
  EXPECT_FALSE(model->carryBusy());
  EXPECT_EQ(model->carryProgress(), (WorkProgress{0, 0}));
  EXPECT_EQ(fakes.panels->opens[0].prompt, "Copy Here");
  EXPECT_TRUE(fakes.panels->opens[0].folders && !fakes.panels->opens[0].files);

  fakes.volumes->internal = true;
  fakes.panels->nextOpen.push_back(tmp / "no such drive");
  ASSERT_TRUE(waitFor(model->copySettings()));
  EXPECT_TRUE(noticeIsError());
  EXPECT_FALSE(model->carryResult());
  EXPECT_FALSE(model->carryOnInternalDisk());  // no copy, no warning

  const auto folder = copyAlpha();
  EXPECT_EQ(folder.filename(), "Larkvale Moving Day Test Mac 2027-01-15");
  EXPECT_EQ(noticeText(), "Copied 2 settings to Larkvale Moving Day Test Mac 2027-01-15.");
  EXPECT_FALSE(noticeIsError());
  EXPECT_TRUE(model->carryOnInternalDisk());
  EXPECT_FALSE(model->carryBusy());
  EXPECT_EQ(model->carryProgress(), (WorkProgress{2, 2}));
  EXPECT_EQ(readAll(folder / "Settings/Library/Preferences/com.example.Alpha.plist"), "prefs");
}

TEST_F(MovingDayTest, NewMacCheckComparesAFolderOrItsManifest) {
  const auto folder = copyAlpha();
  ASSERT_FALSE(folder.empty());
  fakes.panels->nextOpen = {std::nullopt, folder, folder / "manifest.json"};
  ASSERT_TRUE(waitFor(model->newMacCheck()));
  EXPECT_FALSE(model->newMacDiff());
  ASSERT_TRUE(waitFor(model->newMacCheck()));
  const auto byFolder = model->newMacDiff();
  ASSERT_TRUE(byFolder);
  EXPECT_EQ(byFolder->presentApps.size(), 3u);
  EXPECT_EQ(byFolder->presentSettings.size(), 2u);
  ASSERT_TRUE(waitFor(model->newMacCheck()));
  EXPECT_EQ(model->newMacDiff(), byFolder);
  EXPECT_FALSE(model->newMacLoading());

  MovingManifest newer = byFolder->manifest;
  newer.schema = 2;
  struct Case {
    std::string manifest;
    const char* notice;
  } refusals[] = {
      {MovingManifest::writeManifest(newer),
       "This manifest was written by a newer Larkvale (format 2). Update Larkvale on this Mac "
       "first."},
      {"not json", "That isn't a Moving day folder Larkvale can read ("},
  };
  for (const auto& c : refusals) {
    fakes.panels->nextOpen.push_back(tmp.write("odd/manifest.json", c.manifest));
    ASSERT_TRUE(waitFor(model->newMacCheck()));
    EXPECT_TRUE(noticeText()->starts_with(c.notice)) << *noticeText();
    EXPECT_TRUE(noticeIsError());
    EXPECT_EQ(model->newMacDiff(), byFolder);
    EXPECT_FALSE(model->newMacLoading());
  }
}

// A folder that can't be read is said until the user sets out to compare
// another; a choice given up keeps it.
TEST_F(MovingDayTest, AnUnreadableFolderIsSaidUntilAnotherCheckBegins) {
  const auto folder = copyAlpha();
  fakes.panels->nextOpen = {tmp.write("odd/manifest.json", "not json"), std::nullopt, folder};
  ASSERT_TRUE(waitFor(model->newMacCheck()));
  const auto failure = noticeText();
  ASSERT_TRUE(failure && failure->starts_with("That isn't a Moving day folder")) << *failure;
  ASSERT_TRUE(waitFor(model->newMacCheck()));
  EXPECT_EQ(noticeText(), failure);

  fakes.scanner->scanGate.arm();
  auto next = model->newMacCheck();
  ASSERT_TRUE(fakes.scanner->scanGate.waitUntilHeld());
  EXPECT_FALSE(model->notice());
  fakes.scanner->scanGate.open();
  ASSERT_TRUE(waitFor(next));
  EXPECT_EQ(model->newMacDiff()->folder, folder);
  EXPECT_FALSE(model->notice());
}

TEST_F(MovingDayTest, TheLastStartedNewMacCheckWins) {
  const auto folder = copyAlpha();
  std::filesystem::copy(folder, tmp / "second", std::filesystem::copy_options::recursive);
  ASSERT_TRUE(tmp.remove(tmp / "second/Settings"));
  fakes.panels->nextOpen = {folder, tmp / "second"};
  fakes.scanner->scanGate.arm();
  auto older = model->newMacCheck();
  ASSERT_TRUE(fakes.scanner->scanGate.waitUntilHeld());
  ASSERT_TRUE(waitFor(model->newMacCheck()));
  fakes.scanner->scanGate.open();
  ASSERT_TRUE(waitFor(older));
  EXPECT_EQ(model->newMacDiff()->folder, tmp / "second");
}

TEST_F(MovingDayTest, ExportWritesTheDocumentAndTicksTheExportStep) {
  loadInventory();
  fakes.host->name = std::nullopt;
  fakes.panels->nextSave = {std::nullopt, tmp / "missing/doc.md", tmp / "doc.md", tmp / "doc.pdf"};
  model->exportMovingDay(false);
  EXPECT_EQ(fakes.panels->saves[0].proposedName, "Moving day this Mac 2027-01-15.md");
  EXPECT_FALSE(model->notice());
  model->exportMovingDay(false);
  EXPECT_TRUE(noticeText()->starts_with("Couldn't save: "));
  EXPECT_TRUE(model->state().ticked.empty());

  model->exportMovingDay(false);
  EXPECT_EQ(noticeText(), "Saved doc.md.");
  EXPECT_EQ(model->state().ticked, std::set<std::string>{"before:export"});
  EXPECT_NE(readAll(tmp / "doc.md").find("this Mac"), std::string::npos);
  model->exportMovingDay(true);
  EXPECT_EQ(fakes.panels->saves[3].fileSuffixes, std::vector<std::string>{"pdf"});
  EXPECT_TRUE(readAll(tmp / "doc.pdf").starts_with("%PDF"));

  model->copyCommand("brew install --cask alpha");
  EXPECT_EQ(fakes.clipboard->texts.back(), "brew install --cask alpha");
  EXPECT_EQ(noticeText(), "Copied: brew install --cask alpha");
}

// Notices carry outside words: a path shows with what would hide in it
// written out, while the clipboard gets the path itself; anything else from
// outside (an OS error text, the host's name) is one clean line.
TEST_F(MovingDayTest, NoticesShowOutsideTextByTheOneRule) {
  using namespace std::literals;
  loadInventory();
  fakes.host->name = "ev\u202Eil/host\r\n";
  const auto hostile = tmp / "d\u202Eoc\\u202E\xFF.md";
  fakes.panels->nextSave = {hostile};
  model->exportMovingDay(false);
  EXPECT_EQ(fakes.panels->saves[0].proposedName, "Moving day evil-host 2027-01-15.md");
  EXPECT_EQ(noticeText(), R"(Saved d\u202Eoc\\u202E\xFF.md.)");
  EXPECT_TRUE(std::filesystem::exists(hostile));

  const std::string path =
      "~/Library/Preferences/com.apple.Safari\xE2\x81\xA0\xF3\xA0\x81\x81.plist";
  model->copyCommand(path);
  EXPECT_EQ(fakes.clipboard->texts.back(), QString::fromStdString(path));
  EXPECT_EQ(noticeText(),
            R"(Copied: ~/Library/Preferences/com.apple.Safari\u2060\U000E0041.plist)");

  fakes.workspace->failure = "No opener:\x1B[31m \xE2\x80\xA8gone\xC2\x85 at \xE2\x80\x01\xAE"s;
  model->openLink("https://example.com/");
  EXPECT_EQ(
      noticeText(),
      "Couldn't open the link. No opener:[31m  gone  at \xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
}

}  // namespace
}  // namespace larkvale::test
