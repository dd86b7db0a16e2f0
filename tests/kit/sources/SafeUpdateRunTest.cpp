#include "kit/sources/SafeUpdateRun.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace larkvale {
namespace {

using Mark = SafeUpdateRun::Mark;

SafeUpdateStep sparkleStep(const std::string& name) {
  AppUpdate update;
  update.app.path = "/Applications/" + name + ".app";
  update.app.name = name;
  update.source = UpdateSource::sparkle("https://example.com/feed.xml");
  return SafeUpdateStep::sparkle(update);
}

SafeUpdateStep brewStep() {
  AppUpdate update;
  update.app.path = "/Applications/Cask.app";
  update.source = UpdateSource::homebrew("cask");
  return SafeUpdateStep::brew({update});
}

std::vector<SafeUpdateStep> threeSteps() {
  return {sparkleStep("A"), sparkleStep("B"), brewStep()};
}

std::vector<Mark> marksOf(const SafeUpdateRun& run) {
  std::vector<Mark> out;
  for (const auto& step : run.steps()) out.push_back(run.mark(step));
  return out;
}

TEST(SafeUpdateRunTest, ANewRunWaitsAndStartsAtTheFirstStep) {
  SafeUpdateRun run(threeSteps());
  EXPECT_EQ(run.marks().size(), 3u);
  EXPECT_EQ(marksOf(run), (std::vector<Mark>{Mark::waiting, Mark::waiting, Mark::waiting}));
  EXPECT_FALSE(run.hasStarted());
  EXPECT_EQ(run.current(), std::nullopt);
  EXPECT_EQ(run.mark(sparkleStep("Elsewhere")), Mark::waiting);

  run.start();
  EXPECT_EQ(run.index(), 0u);
  EXPECT_TRUE(run.hasStarted());
  EXPECT_EQ(run.current(), threeSteps()[0]);
  run.advance();
  SafeUpdateRun again = run;
  run.start();  // a second start does nothing
  EXPECT_EQ(run, again);

  SafeUpdateRun empty({});
  empty.start();
  EXPECT_TRUE(empty.isFinished());
  EXPECT_EQ(empty.index(), std::nullopt);
  EXPECT_TRUE(empty.hasStarted());
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

TEST(SafeUpdateRunTest, SkipMarksOnlyWaitingStepsAndAlwaysMovesOn) {
  SafeUpdateRun run(threeSteps());
  run.start();
  run.markHandedOff();
  run.markHandedOff();  // stays handed off, index unchanged
  EXPECT_EQ(run.index(), 0u);
  run.skipCurrent();  // handed off stays handed off
  EXPECT_EQ(run.index(), 1u);
  run.skipCurrent();  // a waiting (say, failed) hand-off is skipped
  EXPECT_EQ(run.index(), 2u);
  run.markHandedOff();
  run.skipCurrent();  // the last step: the run ends
  EXPECT_EQ(marksOf(run), (std::vector<Mark>{Mark::handedOff, Mark::skipped, Mark::handedOff}));
  EXPECT_EQ(run.index(), std::nullopt);
  EXPECT_TRUE(run.isFinished());
  EXPECT_EQ(run.handedOffCount(), 2u);
}

TEST(SafeUpdateRunTest, AdvanceAndSkipInEveryOrderReachTheEndOnce) {
  // Each of the three steps is left by advance, by skip, or by hand-off then
  // advance, or by hand-off then skip: every combination.
  const int ways = 4;
  for (int combo = 0; combo < ways * ways * ways; ++combo) {
    SafeUpdateRun run(threeSteps());
    run.start();
    std::vector<Mark> expected;
    for (int step = 0, code = combo; step < 3; ++step, code /= ways) {
      ASSERT_EQ(run.index(), static_cast<size_t>(step));
      int way = code % ways;
      if (way >= 2) run.markHandedOff();
      if (way % 2 == 0) {
        run.advance();
      } else {
        run.skipCurrent();
      }
      expected.push_back(way >= 2 ? Mark::handedOff : way == 1 ? Mark::skipped : Mark::waiting);
    }
    EXPECT_TRUE(run.isFinished()) << combo;
    EXPECT_EQ(run.current(), std::nullopt);
    EXPECT_EQ(marksOf(run), expected) << combo;
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
