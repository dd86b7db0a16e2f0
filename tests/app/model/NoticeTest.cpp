// A notice that describes a state goes when that state ends, and only the
// notice that describes it.
#include <functional>

#include "app/wiring/KitServices.h"
#include "tests/app/model/ModelFixture.h"

namespace larkvale::test {
namespace {

// A change of a setting, which the model saves at once.
void changeASetting(AppModel& model) {
  model.setShowUpToDate(!model.state().settings.showUpToDate);
}

const std::string kTerminalFailed =
    "Couldn't open a terminal window: No terminal program could be started. ";

// A save outage, in each of the words the system gives one: the failure
// shows while saves fail, a later change that doesn't save keeps it, and the
// first save that goes through withdraws it without announcing anything. A
// newer notice on show when saves recover is left alone.
TEST_F(ModelTest, ASaveOutageNoticeGoesWithTheOutage) {
  for (const char* cause :
       {"Permission denied", "No space left on device", "Read-only file system"}) {
    SCOPED_TRACE(cause);
    model->setNotice(std::nullopt);
    fakes.store->failSave = std::string("Couldn't write state.json: ") + cause;
    changeASetting(*model);
    ASSERT_EQ(noticeText(),
              std::string("Couldn't save settings: Couldn't write state.json: ") + cause);
    model->setPane(Pane::held);
    model->setSelection(QString("/Applications/Alpha.app"));
    ASSERT_TRUE(noticeText());

    fakes.store->failSave.reset();
    QSignalSpy noted(model.get(), &AppModel::noted);
    QSignalSpy changed(model.get(), &AppModel::noticeChanged);
    changeASetting(*model);
    EXPECT_FALSE(model->notice());
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(noted.count(), 0);
  }

  fakes.store->failSave = "Disk full.";
  changeASetting(*model);
  ASSERT_TRUE(noticeIsError());
  model->copyBrewCommand({cask("Cola", "cola")});
  fakes.store->failSave.reset();
  changeASetting(*model);
  EXPECT_EQ(noticeText(), "Copied: brew upgrade --cask cola");

  fakes.store->failSave = "Disk full.";
  changeASetting(*model);
  model->setNotice(Notice{"Set from outside.", false});
  fakes.store->failSave.reset();
  changeASetting(*model);
  EXPECT_EQ(noticeText(), "Set from outside.");
}

// The same through the real state file: a file where its folder should be,
// then gone.
TEST_F(ModelTest, ARealStateFileThatCanBeWrittenAgainWithdrawsItsFailure) {
  const std::filesystem::path blocker = tmp.write("state", "not a folder");
  AppServices services = fakes.services();
  services.store = std::make_shared<KitStateStorage>(blocker);
  model = std::make_unique<AppModel>(services);
  changeASetting(*model);
  ASSERT_TRUE(noticeText() && noticeText()->starts_with("Couldn't save settings: "))
      << noticeText().value_or("");
  ASSERT_TRUE(tmp.remove(blocker));
  changeASetting(*model);
  EXPECT_FALSE(model->notice());
  EXPECT_TRUE(std::filesystem::is_regular_file(blocker / StateStore::kFileName));
}

// Update All That Are Safe: a terminal that won't start leaves the user the
// command under the Homebrew step; every way that command leaves the sheet
// takes the notice that points at it along, and nothing else does.
TEST_F(ModelTest, TheHomebrewStepsPointerGoesWithTheStepsCommand) {
  report({cask("Cola", "cola"), cask("Fizz", "fizz")});
  fakes.terminal->noTerminal = true;
  const std::string pointer =
      kTerminalFailed +
      "Select the command shown under the Homebrew step and paste it into a "
      "terminal.";
  auto failAtTheStep = [&] {
    model->startSafeUpdates();
    ASSERT_TRUE(waitFor(model->startSafeRun()));
    ASSERT_EQ(noticeText(), pointer);
  };
  const struct {
    const char* way;
    std::function<void()> take;
  } ways[] = {
      {"Finish", [&] { ASSERT_TRUE(waitFor(model->advanceSafeRun())); }},
      {"Skip", [&] { ASSERT_TRUE(waitFor(model->skipSafeStep())); }},
      {"Stop, Done or the sheet closed", [&] { model->setSafeSheet(false); }},
      {"the sheet started again", [&] { model->startSafeUpdates(); }},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.way);
    failAtTheStep();
    // What leaves the sheet at the step keeps the pointer.
    changeASetting(*model);
    model->setPane(Pane::allApps);
    model->setSafeChosen(TextSet{});
    EXPECT_EQ(noticeText(), pointer);
    way.take();
    EXPECT_FALSE(model->notice());
  }

  // A run started again fails at the same step anew: its own pointer stays.
  failAtTheStep();
  ASSERT_TRUE(waitFor(model->startSafeRun()));
  EXPECT_EQ(noticeText(), pointer);

  // A newer notice, shown over the pointer, stays when the step goes.
  model->copyBrewCommand(model->safeRun()->current()->updates());
  ASSERT_TRUE(waitFor(model->advanceSafeRun()));
  EXPECT_EQ(noticeText(), "Copied: brew upgrade --cask cola fizz");
}

// A pointer at one run's Homebrew step goes when another run starts, though
// that run stands at the same step: from the window at once, and, once a
// newer notice has replaced it there, from wherever else it shows.
TEST_F(ModelTest, ARunsPointerGoesWhenAnotherRunStarts) {
  report({cask("Cola", "cola"), cask("Fizz", "fizz")});
  fakes.terminal->noTerminal = true;
  model->startSafeUpdates();
  ASSERT_TRUE(waitFor(model->startSafeRun()));
  const OptionalNotice pointer = model->notice();
  ASSERT_TRUE(pointer && pointer->isError);
  std::vector<Notice> withdrawn;
  QObject::connect(model.get(), &AppModel::withdrawn,
                   [&withdrawn](const Notice& notice) { withdrawn.push_back(notice); });
  QSignalSpy changed(model.get(), &AppModel::noticeChanged);

  ASSERT_TRUE(waitFor(model->startSafeRun()));
  EXPECT_EQ(withdrawn, std::vector{*pointer});
  EXPECT_EQ(changed.count(), 2);  // gone, then the new run's own
  EXPECT_EQ(model->notice(), pointer);

  model->copyBrewCommand(model->safeRun()->current()->updates());
  fakes.terminal->noTerminal = false;
  ASSERT_TRUE(waitFor(model->startSafeRun()));
  EXPECT_EQ(withdrawn, (std::vector{*pointer, *pointer}));
  EXPECT_EQ(noticeText(),
            "A terminal window shows the brew command. It runs only when you press Return "
            "there.");
}

// From a cask's page the notice points at that page's Copy Command: it goes
// when that page does.
TEST_F(ModelTest, ACaskPagesPointerGoesWithThePage) {
  const AppUpdate cola = cask("Cola", "cola");
  const AppUpdate fizz = cask("Fizz", "fizz");
  report({cola, fizz, update("Alpha")});
  fakes.terminal->noTerminal = true;
  const std::string pointer =
      kTerminalFailed + "Choose Copy Command and paste the command into a terminal.";
  const struct {
    const char* way;
    std::function<void()> take;
  } ways[] = {
      {"another cask chosen", [&] { select(fizz); }},
      {"another app chosen", [&] { select(update("Alpha")); }},
      {"nothing chosen", [&] { model->setSelection(std::nullopt); }},
      {"a pane without the page", [&] { model->setPane(Pane::history); }},
      {"the cask gone from the report", [&] { report({fizz}); }},
  };
  for (const auto& way : ways) {
    SCOPED_TRACE(way.way);
    report({cola, fizz, update("Alpha")});
    model->setPane(Pane::updates);
    select(cola);
    ASSERT_FALSE(model->upgradeInTerminal({cola}, AppModel::UpgradeFrom::caskPage));
    ASSERT_EQ(noticeText(), pointer);
    // The other lists show the same page; a check that keeps the cask keeps it.
    model->setPane(Pane::allApps);
    report({fizz, cola});
    EXPECT_EQ(noticeText(), pointer);
    way.take();
    EXPECT_FALSE(model->notice());
  }
}

// "Didn't change the login item" goes once the login item is as asked,
// whether a later try or the desktop itself put it so.
TEST_F(ModelTest, ALoginItemFailureGoesOnceTheItemIsAsAsked) {
  const std::string refused = "The desktop didn't change the login item: Not allowed.";
  fakes.loginItem->refuse = "Not allowed";
  model->setLoginItem(true);
  ASSERT_EQ(noticeText(), refused);
  model->refreshPermissions();
  changeASetting(*model);
  EXPECT_EQ(noticeText(), refused);
  fakes.loginItem->refuse.reset();
  model->setLoginItem(true);
  EXPECT_TRUE(model->loginItemOn());
  EXPECT_FALSE(model->notice());

  fakes.loginItem->refuse = "Not allowed";
  model->setLoginItem(false);
  ASSERT_EQ(noticeText(), refused);
  fakes.loginItem->enabled = false;  // turned off in the desktop's own settings
  model->refreshPermissions();
  EXPECT_FALSE(model->notice());
}

}  // namespace
}  // namespace larkvale::test
