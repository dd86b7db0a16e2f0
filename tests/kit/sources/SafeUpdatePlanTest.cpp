#include "kit/sources/SafeUpdatePlan.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "kit/sources/SafeUpdateRun.h"

namespace larkvale {
namespace {

using Mark = SafeUpdateRun::Mark;

AppUpdate waiting(const std::string& name, UpdateSource source, bool critical = false) {
  AppUpdate update;
  update.app.path = "/Applications/" + name + ".app";
  update.app.name = name;
  update.app.bundleID = "com.example." + name;
  update.app.version = "1.0";
  update.source = std::move(source);
  update.status = UpdateStatus::updateAvailable();
  update.latestVersion = "2.0";
  update.critical = critical;
  return update;
}

AppUpdate sparkle(const std::string& name, bool critical = false) {
  return waiting(name, UpdateSource::sparkle("https://example.com/" + name + ".xml"), critical);
}

AppUpdate cask(const std::string& name, const std::string& token) {
  return waiting(name, UpdateSource::homebrew(token));
}

std::vector<std::string> names(const std::vector<AppUpdate>& updates) {
  std::vector<std::string> out;
  for (const auto& update : updates) out.push_back(update.app.name);
  return out;
}

TEST(SafeUpdatePlanTest, EveryWaitingUpdateIsACandidateOrLeftOutWithItsReason) {
  AppUpdate own = sparkle("Larkvale");
  own.app.bundleID = "com.tarn4820.Larkvale";
  AppUpdate ownDebug = cask("Larkvale Debug", "larkvale");
  ownDebug.app.bundleID = "com.tarn4820.Larkvale.debug";
  SafeUpdatePlan plan(
      {own, ownDebug, sparkle("Sparkly"), cask("Brewed", "brewed"), cask("Spaced", "has space"),
       waiting("Hubbed", UpdateSource::github("o/r")), waiting("Stored", UpdateSource::appStore()),
       waiting("Systemic", UpdateSource::apple())},
      AppState{});
  EXPECT_EQ(names(plan.candidates), (std::vector<std::string>{"Brewed", "Sparkly"}));

  std::vector<std::pair<std::string, std::string>> reasons;
  for (const auto& row : plan.leftOut) reasons.emplace_back(row.update.app.name, row.reason);
  const std::string ownReason =
      "Larkvale itself: choose Check for Updates\u2026 in its menu once the others are done.";
  EXPECT_EQ(
      reasons,
      (std::vector<std::pair<std::string, std::string>>{
          {"Hubbed", "A GitHub download you install by hand: open its release page."},
          {"Larkvale", ownReason},
          {"Larkvale Debug", ownReason},
          {"Spaced", "Its cask name has characters Larkvale won't put in a terminal command."},
          {"Stored",
           "App Store apps update only in the App Store app: open its page and "
           "press Update."},
          {"Systemic", "No hand-off Larkvale can start for it."}}));
}

TEST(SafeUpdatePlanTest, OnlyWaitingUpdatesThatAreNeitherHeldNorSkippedCount) {
  AppUpdate held = sparkle("Held"), skipped = sparkle("Skipped"),
            skippedOlder = sparkle("SkippedOlder");
  AppUpdate current = sparkle("Current");
  current.status = UpdateStatus::upToDate();
  AppUpdate unchecked = waiting("Unchecked", UpdateSource::github("o/r"));
  unchecked.status = UpdateStatus::notChecked("GitHub didn't answer.");
  AppState state;
  state.holds[held.app.bundleID] = Hold{"waiting for plugins", Date{}};
  state.skipped[skipped.app.bundleID] = "2.0";
  state.skipped[skippedOlder.app.bundleID] = "1.5";

  SafeUpdatePlan plan({held, skipped, skippedOlder, current, unchecked}, state);
  EXPECT_EQ(names(plan.candidates), std::vector<std::string>{"SkippedOlder"});
  EXPECT_TRUE(plan.leftOut.empty());
}

// Every subset of updates of every kind and state: the quick answer is the
// plan's.
TEST(SafeUpdatePlanTest, HasCandidatesAnswersAsTheBuiltPlanDoes) {
  AppUpdate own = sparkle("Larkvale");
  own.app.bundleID = "com.tarn4820.Larkvale";
  AppUpdate current = cask("Current", "current");
  current.status = UpdateStatus::upToDate();
  AppState state;
  state.holds["com.example.Held"] = Hold{"later", Date{}};
  state.skipped["com.example.Skipped"] = "2.0";
  state.skipped["com.example.SkippedOlder"] = "1.5";
  const std::vector<AppUpdate> all{own,
                                   current,
                                   sparkle("Held"),
                                   cask("Skipped", "skipped"),
                                   cask("Spaced", "has space"),
                                   waiting("Hubbed", UpdateSource::github("o/r")),
                                   waiting("Stored", UpdateSource::appStore()),
                                   sparkle("SkippedOlder"),
                                   cask("Brewed", "brewed")};
  int withCandidates = 0;
  for (unsigned mask = 0; mask < (1u << all.size()); ++mask) {
    std::vector<AppUpdate> updates;
    for (size_t i = 0; i < all.size(); ++i) {
      if (mask & (1u << i)) updates.push_back(all[i]);
    }
    const bool expected = !SafeUpdatePlan(updates, state).candidates.empty();
    EXPECT_EQ(SafeUpdatePlan::hasCandidates(updates, state), expected) << "subset " << mask;
    withCandidates += expected;
  }
  EXPECT_EQ(withCandidates, 384);  // those with SkippedOlder or Brewed: 3/4 of 512
}

TEST(SafeUpdatePlanTest, CriticalFirstThenByNameIgnoringCaseKeepingTies) {
  AppUpdate twinA = sparkle("twin");
  AppUpdate twinB = sparkle("Twin");
  twinB.app.path = "/Applications/Other/Twin.app";
  SafeUpdatePlan plan({sparkle("beta"), sparkle("Alpha"), twinA, sparkle("zulu", true), twinB,
                       cask("\u00c9clair", "eclair"), sparkle("Eagle")},
                      AppState{});
  EXPECT_EQ(names(plan.candidates), (std::vector<std::string>{"zulu", "Alpha", "beta", "Eagle",
                                                              "\u00c9clair", "twin", "Twin"}));
  EXPECT_EQ(plan.candidates[5].app.path, twinA.app.path);
}

TEST(SafeUpdatePlanTest, StepsAreTheChosenAppsInPlanOrderThenOneBrewStepLast) {
  AppUpdate autoUpdating = cask("Cask C", "cask-c");
  autoUpdating.caskAutoUpdates = true;
  SafeUpdatePlan plan({cask("Cask A", "cask-a"), sparkle("Sparkle B"), autoUpdating,
                       sparkle("Sparkle A"), cask("Cask B", "cask-b"), sparkle("Unchosen")},
                      AppState{});
  std::set<std::string> chosen;
  for (const auto& update : plan.candidates) {
    if (update.app.name != "Unchosen") chosen.insert(update.app.path);
  }
  chosen.insert("/Applications/Not A Candidate.app");

  auto steps = plan.steps(chosen);
  ASSERT_EQ(steps.size(), 3u);
  EXPECT_EQ(steps[0], SafeUpdateStep::sparkle(plan.candidates[3]));
  EXPECT_EQ(steps[0].title(), "Sparkle A 1.0 \u2192 2.0");
  EXPECT_EQ(steps[0].detail(),
            "Opens the app; its own updater downloads and installs (you approve it there).");
  EXPECT_EQ(steps[1], SafeUpdateStep::sparkle(plan.candidates[4]));

  const SafeUpdateStep& brew = steps[2];
  EXPECT_EQ(brew.title(), "Homebrew: 3 casks");
  EXPECT_EQ(brew.detail(),
            "One terminal window shows the command for Cask A, Cask B, Cask C; it runs when you "
            "press Return.");
  EXPECT_EQ(brew.brewCommand(), "brew upgrade --cask --greedy cask-a cask-b cask-c");

  auto single = plan.steps({plan.candidates[0].app.path});
  ASSERT_EQ(single.size(), 1u);
  EXPECT_EQ(single[0].title(), "Homebrew: Cask A");
  EXPECT_EQ(single[0].brewCommand(), "brew upgrade --cask cask-a");
  EXPECT_TRUE(plan.steps({}).empty());
}

TEST(SafeUpdatePlanTest, StepTextsForMissingPiecesAndForeignSteps) {
  AppUpdate noLatest = sparkle("Quiet");
  noLatest.latestVersion.reset();
  EXPECT_EQ(SafeUpdateStep::sparkle(noLatest).title(), "Quiet 1.0 \u2192 ?");
  // A brew step can only be built safely from the plan; one put together by
  // hand with a hostile or missing token gives no command at all.
  EXPECT_EQ(SafeUpdateStep::brew({cask("A", "a"), cask("B", "b; reboot")}).brewCommand(),
            std::nullopt);
  EXPECT_EQ(SafeUpdateStep::brew({cask("A", "a"), sparkle("S")}).brewCommand(), std::nullopt);
}

SafeUpdateStep sparkleStep(const std::string& name) {
  return SafeUpdateStep::sparkle(sparkle(name));
}

std::vector<SafeUpdateStep> threeSteps() {
  return {sparkleStep("A"), sparkleStep("B"), SafeUpdateStep::brew({cask("Cask", "cask")})};
}

std::vector<Mark> marksOf(const SafeUpdateRun& run) {
  std::vector<Mark> out;
  for (const auto& step : run.steps()) out.push_back(run.mark(step));
  return out;
}

TEST(SafeUpdateRunTest, NothingChangesBeforeTheStartOrAfterTheEnd) {
  const std::vector<std::function<void(SafeUpdateRun&)>> operations = {
      [](SafeUpdateRun& r) { r.advance(); },
      [](SafeUpdateRun& r) { r.markHandedOff(); },
      [](SafeUpdateRun& r) { r.skipCurrent(); },
      [](SafeUpdateRun& r) { r.start(); },
  };
  SafeUpdateRun fresh(threeSteps());
  for (size_t i = 0; i + 1 < operations.size(); ++i) {
    SafeUpdateRun run = fresh;
    operations[i](run);
    EXPECT_EQ(run, fresh) << "operation " << i << " before start";
  }
  SafeUpdateRun finished(threeSteps());
  finished.start();
  finished.markHandedOff();
  for (int i = 0; i < 3; ++i) finished.advance();
  ASSERT_TRUE(finished.isFinished());
  for (size_t i = 0; i < operations.size(); ++i) {
    SafeUpdateRun run = finished;
    operations[i](run);
    EXPECT_EQ(run, finished) << "operation " << i << " after the end";
  }
}

TEST(SafeUpdateRunTest, AdvanceAndSkipInEveryOrderReachTheEndOnce) {
  // Each of the three steps is left by advance, by skip, or by hand-off (once
  // or twice) then advance or skip: every combination.
  const int ways = 4;
  for (int combo = 0; combo < ways * ways * ways; ++combo) {
    SafeUpdateRun run(threeSteps());
    run.start();
    std::vector<Mark> expected;
    size_t handedOff = 0;
    for (int step = 0, code = combo; step < 3; ++step, code /= ways) {
      ASSERT_EQ(run.index(), static_cast<size_t>(step));
      int way = code % ways;
      if (way >= 2) {
        run.markHandedOff();
        run.markHandedOff();  // stays handed off, index unchanged
        ++handedOff;
      }
      if (way % 2 == 0) {
        run.advance();
      } else {
        run.skipCurrent();  // skips only a waiting step, and always moves on
      }
      expected.push_back(way >= 2 ? Mark::handedOff : way == 1 ? Mark::skipped : Mark::waiting);
    }
    EXPECT_TRUE(run.isFinished()) << combo;
    EXPECT_EQ(run.index(), std::nullopt);
    EXPECT_EQ(marksOf(run), expected) << combo;
    EXPECT_EQ(run.handedOffCount(), handedOff) << combo;
  }
}

TEST(SafeUpdateRunTest, StepsSharingAnIdShareAMark) {
  SafeUpdateRun run({sparkleStep("A"), sparkleStep("A")});
  EXPECT_EQ(run.marks().size(), 1u);
  run.start();
  run.markHandedOff();
  run.advance();
  EXPECT_EQ(run.mark(run.steps()[1]), Mark::handedOff);
  run.skipCurrent();
  EXPECT_TRUE(run.isFinished());
  EXPECT_EQ(run.handedOffCount(), 1u);
}

}  // namespace
}  // namespace larkvale
