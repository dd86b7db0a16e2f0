// Skips, holds, hand-offs and "Update All That Are Safe".
#include <functional>

#include "kit/model/OwnApp.h"
#include "tests/app/model/ModelFixture.h"

namespace larkvale::test {
namespace {

TEST_F(ModelTest, SkipsAndHoldsChangeTheStateSaveAndSayWhatHappened) {
  AppUpdate alpha = update("Alpha");
  AppUpdate bare =
      update("Bare", UpdateStatus::updateAvailable(), UpdateSource::unknown(), std::nullopt);
  model->skipVersion(alpha);
  EXPECT_EQ(model->state().skipped,
            (std::map<std::string, std::string>{{"com.example.Alpha", "2.0"}}));
  EXPECT_EQ(noticeText(), "Skipped Alpha 2.0. It comes back when a newer version appears.");
  model->skipVersion(bare);
  EXPECT_EQ(model->state().skipped.size(), 1u);
  EXPECT_EQ(noticeText(), "Skipped Bare . It comes back when a newer version appears.");
  model->unskip(alpha);
  EXPECT_TRUE(model->state().skipped.empty());
  EXPECT_EQ(noticeText(), "Alpha is offered again.");

  model->holdApp(alpha, "first");
  fakes.clock->advance(std::chrono::seconds(60));
  model->holdApp(alpha, " \n\t waits for the plug-in\u2028 \n");
  EXPECT_EQ(model->state().holds.at("com.example.Alpha"),
            (Hold{"waits for the plug-in", fakes.clock->now()}));
  EXPECT_EQ(noticeText(), "Alpha is on hold: it won't be offered until you release it.");
  model->holdApp(bare, " \n ");
  EXPECT_EQ(model->state().holds.at("com.example.Bare").reason, "");
  model->releaseHold(alpha);
  EXPECT_FALSE(model->state().holds.contains("com.example.Alpha"));
  EXPECT_EQ(noticeText(), "Alpha is no longer on hold.");
  EXPECT_EQ(fakes.store->saved.size(), 7u);
}

TEST_F(ModelTest, OpeningAnAppsOwnUpdaterReportsEachOutcome) {
  struct Case {
    MenuPressResult result;
    bool handedOff;
    const char* notice;
    bool isError;
  } cases[] = {
      {MenuPressResult::pressed(), true,
       "Asked Alpha to check for updates. Its own updater takes it from here.", false},
      {MenuPressResult::opened(), true,
       "Opened Alpha. Choose Alpha \u203a Check for Updates\u2026 in its menu bar.", false},
      {MenuPressResult::failed("No such file."), false, "Couldn't open Alpha: No such file.", true},
  };
  for (const auto& c : cases) {
    fakes.menuPress->setNext(c.result);
    auto answer = model->openOwnUpdater(update("Alpha"));
    ASSERT_TRUE(waitFor(answer));
    EXPECT_EQ(answer.result(), c.handedOff);
    EXPECT_EQ(noticeText(), c.notice);
    EXPECT_EQ(noticeIsError(), c.isError);
  }
  EXPECT_EQ(fakes.menuPress->presses().back(), "/Applications/Alpha.app");

  model->setNotice(std::nullopt);
  AppUpdate own = update("Larkvale");
  own.app.bundleID = *OwnApp::bundleIDs().begin();
  auto answer = model->openOwnUpdater(own);
  ASSERT_TRUE(waitFor(answer));
  EXPECT_TRUE(answer.result());
  EXPECT_EQ(fakes.ownUpdater->checks, 1);
  EXPECT_FALSE(model->notice());
  EXPECT_EQ(fakes.menuPress->presses().size(), 3u);
}

TEST_F(ModelTest, HomebrewUpdatesGoToTerminalOrTheClipboard) {
  EXPECT_FALSE(model->upgradeInTerminal({update("Alpha")}, AppModel::UpgradeFrom::caskPage));
  model->copyBrewCommand({update("Alpha")});
  model->copyBrewCommand({cask("Bad", "bad;rm")});
  EXPECT_TRUE(fakes.terminal->calls.empty());
  EXPECT_TRUE(fakes.clipboard->texts.empty());
  EXPECT_FALSE(model->notice());

  const std::vector<AppUpdate> mixed = {cask("Delta", "delta"), update("Alpha"),
                                        cask("Echo", "echo", true)};
  EXPECT_TRUE(model->upgradeInTerminal(mixed, AppModel::UpgradeFrom::caskList));
  EXPECT_EQ(fakes.terminal->calls.back(),
            (FakeTerminal::Call{{"delta", "echo"}, {"Delta", "Echo"}, true, fakes.folders.caches}));
  EXPECT_EQ(noticeText(),
            "A terminal window shows the brew command. It runs only when you press Return there.");
  // Only a terminal that can't start leaves the command to be had another
  // way; with no Homebrew, say, it would fail there too.
  fakes.terminal->fail = "Homebrew isn't installed.";
  EXPECT_FALSE(model->upgradeInTerminal(mixed, AppModel::UpgradeFrom::caskList));
  EXPECT_EQ(noticeText(), "Couldn't open a terminal window: Homebrew isn't installed.");
  EXPECT_TRUE(noticeIsError());

  model->copyBrewCommand(mixed);
  model->copyBrewCommand({cask("Delta", "delta")});
  EXPECT_EQ(fakes.clipboard->texts, (std::vector<QString>{"brew upgrade --cask --greedy delta echo",
                                                          "brew upgrade --cask delta"}));
  EXPECT_EQ(noticeText(), "Copied: brew upgrade --cask delta");
}

TEST_F(ModelTest, ALinkTheDesktopCantOpenBecomesAnErrorNotice) {
  fakes.workspace->failure = "No browser.";
  model->openLink("https://example.com");
  ASSERT_TRUE(test::waitUntil([&] { return noticeIsError(); }));
  EXPECT_EQ(noticeText(), "Couldn't open the link. No browser.");
}

TEST_F(ModelTest, ASafeRunHandsOffEachStepAndTheSheetMovesItOn) {
  report({update("Alpha"), update("Bravo"), cask("Charlie", "charlie"), cask("Delta", "delta"),
          update("Store", UpdateStatus::updateAvailable(), UpdateSource::appStore())});
  model->setPane(Pane::history);
  model->startSafeUpdates();
  EXPECT_EQ(model->pane(), Pane::updates);
  EXPECT_TRUE(model->safeSheet());
  EXPECT_FALSE(model->safeRun());
  EXPECT_EQ(model->safeChosen().size(), 4u);

  ASSERT_TRUE(waitFor(model->startSafeRun()));
  using Mark = SafeUpdateRun::Mark;
  auto marks = [&] {
    std::vector<Mark> out;
    for (const auto& step : model->safeRun()->steps()) out.push_back(model->safeRun()->mark(step));
    return out;
  };
  EXPECT_EQ(marks(), (std::vector<Mark>{Mark::handedOff, Mark::waiting, Mark::waiting}));
  fakes.menuPress->setNext(MenuPressResult::failed("Gone."));
  ASSERT_TRUE(waitFor(model->advanceSafeRun()));
  EXPECT_EQ(marks(), (std::vector<Mark>{Mark::handedOff, Mark::waiting, Mark::waiting}));
  EXPECT_TRUE(noticeIsError());
  ASSERT_TRUE(waitFor(model->skipSafeStep()));
  EXPECT_EQ(marks(), (std::vector<Mark>{Mark::handedOff, Mark::skipped, Mark::handedOff}));
  EXPECT_EQ(fakes.terminal->calls.back().tokens, (std::vector<std::string>{"charlie", "delta"}));
  ASSERT_TRUE(waitFor(model->advanceSafeRun()));
  EXPECT_TRUE(model->safeRun()->isFinished());

  model->startSafeUpdates();
  model->setSafeChosen(TextSet{});
  ASSERT_TRUE(waitFor(model->startSafeRun()));
  EXPECT_TRUE(model->safeRun()->isFinished());
  EXPECT_EQ(fakes.menuPress->presses().size(), 2u);
}

// The sheet builds the plan; after each change that removes or adds a
// candidate, the quick answer that the safe button, the tray and the main
// menu read is the new state's, asked before anything builds the plan again.
TEST_F(ModelTest, IsAnyUpdateSafeFollowsEachChangeMadeAfterTheSheetBuiltItsPlan) {
  const AppUpdate alpha = update("Alpha");
  const AppUpdate cola = cask("Cola", "cola");
  const AppUpdate hub =
      update("Hub", UpdateStatus::updateAvailable(), UpdateSource::github("o/hub"));
  report({alpha, cola, hub});
  const struct {
    const char* change;
    std::function<void()> make;
    bool safe;
  } steps[] = {
      {"skip Alpha", [&] { model->skipVersion(alpha); }, true},
      {"hold Cola", [&] { model->holdApp(cola, "later"); }, false},
      {"unskip Alpha", [&] { model->unskip(alpha); }, true},
      {"skip Alpha again", [&] { model->skipVersion(alpha); }, false},
      {"release Cola", [&] { model->releaseHold(cola); }, true},
      {"a setting", [&] { model->setShowUpToDate(true); }, true},
      {"a check without Cola",
       [&] {
         runCheck({alpha, hub});
       },
       false},
      {"a check that adds Fizz",
       [&] {
         runCheck({hub, cask("Fizz", "fizz")});
       },
       true},
      {"a report with Hub alone", [&] { report({hub}); }, false},
      {"a report with Cola",
       [&] {
         report({cola, hub});
       },
       true},
  };
  for (const auto& step : steps) {
    model->hasSafeCandidates();
    model->startSafeUpdates();
    step.make();
    EXPECT_EQ(model->hasSafeCandidates(), step.safe) << step.change;
    EXPECT_EQ(model->safePlan().candidates.empty(), !step.safe) << step.change;
    EXPECT_EQ(model->hasSafeCandidates(), step.safe) << step.change << ", plan built again";
  }
}

TEST_F(ModelTest, ALateHandOffMarksOnlyTheStepItHandedOff) {
  report({update("Alpha"), update("Bravo")});
  model->startSafeUpdates();
  fakes.menuPress->gate.arm();
  auto first = model->startSafeRun();
  ASSERT_TRUE(fakes.menuPress->gate.waitUntilHeld());
  // While Alpha opens, the user skips it; Bravo's own hand-off fails.
  fakes.menuPress->setNext(MenuPressResult::failed("Gone."));
  ASSERT_TRUE(waitFor(model->skipSafeStep()));
  fakes.menuPress->setNext(MenuPressResult::pressed());
  fakes.menuPress->gate.open();
  ASSERT_TRUE(waitFor(first));
  const auto& run = *model->safeRun();
  EXPECT_EQ(run.mark(run.steps()[0]), SafeUpdateRun::Mark::skipped);
  EXPECT_EQ(run.mark(run.steps()[1]), SafeUpdateRun::Mark::waiting);
}

TEST_F(ModelTest, SettingsSwitchesChangeTheStateAndSaveOnlyOnChange) {
  model->setDailyCheck(true);
  model->setCountry("us");
  model->setShowUpToDate(true);
  EXPECT_TRUE(fakes.store->saved.empty());
  model->setDailyCheck(false);
  model->setCountry("gb");
  model->setShowUpToDate(false);
  EXPECT_EQ(fakes.store->saved.size(), 3u);
  EXPECT_EQ(fakes.store->saved.back().settings, (Settings{false, "gb", false, false}));
}

TEST_F(ModelTest, TheWeeklyNoticeAsksPermissionAndCountsFromTheAnswer) {
  const auto on = [&] {
    return std::pair(model->state().settings.weeklyNotice, model->state().weeklyNoticeLast);
  };
  const std::string refused =
      "Notifications are off for Larkvale: no notification service answered on this desktop.";
  for (std::optional<bool> answer : {std::optional(false), std::optional<bool>()}) {
    fakes.notifications->nextAnswer = std::nullopt;
    auto asked = model->setWeeklyNotice(true);
    EXPECT_EQ(on().first, false);  // nothing changes before the answer
    fakes.notifications->answer(answer);
    ASSERT_TRUE(waitFor(asked));
    EXPECT_TRUE(model->notificationsDenied());
    EXPECT_EQ(on(), std::pair(false, std::optional<Date>()));
    EXPECT_EQ(noticeText(), refused);
    EXPECT_TRUE(noticeIsError());
  }
  fakes.notifications->nextAnswer = true;
  ASSERT_TRUE(waitFor(model->setWeeklyNotice(true)));
  EXPECT_FALSE(model->notificationsDenied());
  EXPECT_EQ(on(), std::pair(true, std::optional(fakes.clock->now())));
  EXPECT_EQ(noticeText(),
            "The first weekly summary comes a week from now (weeks with nothing waiting stay "
            "quiet).");
  EXPECT_EQ(fakes.store->saved.back(), model->state());

  fakes.notifications->nextAnswer = false;
  ASSERT_TRUE(waitFor(model->setWeeklyNotice(true)));
  model->setNotice(std::nullopt);
  ASSERT_TRUE(waitFor(model->setWeeklyNotice(false)));
  EXPECT_TRUE(model->notificationsDenied());  // left as it was
  EXPECT_EQ(on(), std::pair(false, std::optional<Date>()));
  EXPECT_FALSE(model->notice());
  EXPECT_EQ(fakes.notifications->requests, 4);
}

TEST_F(ModelTest, ClearingSavedFeedsReportsWhatTheRemovalDid) {
  const std::string cleared = "Cleared the saved feeds. The next check asks every source again.";
  model->clearSavedFeeds();
  model->setNotice(std::nullopt);
  model->clearSavedFeeds();
  EXPECT_EQ(noticeText(), cleared);
  fakes.checker->failClear = "Device or resource busy";
  model->clearSavedFeeds();
  EXPECT_EQ(noticeText(), "Couldn't clear the saved feeds: Device or resource busy");
  EXPECT_TRUE(noticeIsError());
  EXPECT_EQ(fakes.checker->clears, 3);
}

}  // namespace
}  // namespace larkvale::test
