// The check run, the daily and weekly rules, the timers and shutting down.
#include <QTimer>

#include "tests/app/model/ModelFixture.h"

namespace larkvale::test {
namespace {

using std::chrono::seconds;

TEST_F(ModelTest, ACheckRecordsSavesAndReportsWhatIsWaiting) {
  struct Case {
    int waiting, current;
    const char* notice;
  } cases[] = {
      {1, 0, "1 update waiting."},
      {3, 2, "3 updates waiting."},
      {0, 57, "All 57 apps checked: nothing waiting."},
      {0, 0, "No app bundles found in /Applications or ~/Applications."},
  };
  for (const auto& c : cases) {
    std::vector<AppUpdate> updates;
    for (int i = 0; i < c.waiting; ++i) updates.push_back(update("W" + std::to_string(i)));
    for (int i = 0; i < c.current; ++i)
      updates.push_back(update("C" + std::to_string(i), UpdateStatus::upToDate()));
    runCheck(updates);
    EXPECT_EQ(noticeText(), c.notice);
    EXPECT_FALSE(noticeIsError());
    EXPECT_EQ(fakes.badge->counts.back(), c.waiting);
    EXPECT_EQ(fakes.store->saved.back(), model->state());
  }
  EXPECT_TRUE(model->state().lastReport->updates.empty());
  EXPECT_FALSE(model->checking());
  EXPECT_EQ(fakes.checker->prunes(), std::vector<seconds>(4, seconds(2592000)));
  model->setCountry("de");
  runCheck({});
  EXPECT_EQ(fakes.checker->lastOptions(), (CheckOptions{seconds(900), "de", "15.1.0", 4}));
  fakes.host->version = std::nullopt;  // unknown: no minimum-system filter
  runCheck({});
  EXPECT_EQ(fakes.checker->lastOptions()->systemVersion, std::nullopt);
}

TEST_F(ModelTest, ASecondCheckWhileOneRunsIsDroppedAndTheFirstStillReports) {
  fakes.checker->setReport(CheckReport{fakes.clock->now(), {update("A")}, true, {}});
  fakes.checker->checkGate.arm();
  auto first = model->check();
  ASSERT_TRUE(fakes.checker->checkGate.waitUntilHeld());
  EXPECT_TRUE(model->check().isFinished());
  EXPECT_TRUE(model->checking());
  fakes.checker->checkGate.open();
  ASSERT_TRUE(waitFor(first));
  EXPECT_EQ(fakes.scanner->scans(), 1);
  EXPECT_EQ(noticeText(), "1 update waiting.");
}

TEST_F(ModelTest, CheckProgressStartsAtZeroAndNeverGoesBack) {
  fakes.scanner->setApps({app("A"), app("B"), app("C"), app("D"), app("E")});
  fakes.checker->setProgressScript({{2, 5}, {1, 5}, {4, 5}, {3, 5}, {5, 5}});
  std::vector<std::pair<int, int>> seen;
  QObject::connect(model.get(), &AppModel::progressChanged,
                   [&] { seen.emplace_back(model->progress().done, model->progress().total); });
  runCheck({});
  EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{{0, 0}, {0, 5}, {2, 5}, {4, 5}, {5, 5}}));
}

TEST_F(ModelTest, TheDailyCheckIsDueADayAfterTheLastReport) {
  struct Case {
    bool hasReport, on;
    seconds age;
    int checks;
  } cases[] = {
      {false, true, seconds(999999), 0},
      {true, true, seconds(86399), 0},
      {true, true, seconds(86400), 1},
      {true, false, seconds(999999), 0},
  };
  for (const auto& c : cases) {
    remake();
    if (c.hasReport) report({update("A")});
    model->setDailyCheck(c.on);
    fakes.clock->advance(c.age);
    ASSERT_TRUE(waitFor(model->timerTick()));
    EXPECT_EQ(fakes.checker->checks(), c.checks) << c.age.count();
    if (c.checks) {
      EXPECT_EQ(fakes.checker->lastOptions()->maxAge, seconds(21600));
    }
  }
}

TEST_F(ModelTest, TheWeeklySummaryRefreshesAnOldReportThenPostsWhatIsWaiting) {
  struct Case {
    seconds weekAge, reportAge;
    bool waiting;
    int checks;
    bool posted, moved;
  } cases[] = {
      {seconds(604799), seconds(0), true, 0, false, false},
      {seconds(604800), seconds(86400), true, 0, true, true},
      {seconds(604800), seconds(86401), true, 1, true, true},
      {seconds(604800), seconds(0), false, 0, false, true},
  };
  for (const auto& c : cases) {
    remake();
    model->setDailyCheck(false);
    fakes.checker->setReport(CheckReport{fakes.clock->now(), {update("A")}, true, {}});
    report({update("A", c.waiting ? UpdateStatus::updateAvailable() : UpdateStatus::upToDate())});
    fakes.clock->advance(c.reportAge);
    model->mutateState([&](AppState& s) {
      s.settings.weeklyNotice = true;
      s.weeklyNoticeLast = fakes.clock->now() - c.weekAge;
    });
    ASSERT_TRUE(waitFor(model->timerTick()));
    EXPECT_EQ(fakes.checker->checks(), c.checks);
    EXPECT_EQ(fakes.notifications->posted.size(), c.posted ? 1u : 0u);
    EXPECT_EQ(model->state().weeklyNoticeLast == fakes.clock->now(), c.moved);
    if (c.posted) {
      EXPECT_EQ(fakes.notifications->posted[0].identifier, "weekly-summary");
      EXPECT_EQ(fakes.notifications->posted[0].title, "1 update waiting");
    }
  }
}

TEST_F(ModelTest, WhenBothAreDueTheDailyCheckServesTheWeeklySummary) {
  report({update("A")});
  model->mutateState([&](AppState& s) {
    s.settings.weeklyNotice = true;
    s.weeklyNoticeLast = fakes.clock->now();
  });
  fakes.clock->advance(seconds(700000));
  // A name from an older saved file may hold what no line should.
  fakes.checker->setReport(
      CheckReport{fakes.clock->now(), {update("A\u202E\r\nB\u2066")}, true, {}});
  ASSERT_TRUE(waitFor(model->timerTick()));
  EXPECT_EQ(fakes.checker->checks(), 1);
  ASSERT_EQ(fakes.notifications->posted.size(), 1u);
  EXPECT_EQ(fakes.notifications->posted[0].body,
            "A  B. Open Larkvale to hand them to their updaters.");
}

TEST_F(ModelTest, StartSetsOneRepeatingTimerAndOneEarlyTickOnce) {
  model->start();
  model->start();
  auto timers = model->findChildren<QTimer*>();
  ASSERT_EQ(timers.size(), 2);
  std::set<std::pair<int, bool>> found;
  for (QTimer* t : timers) found.emplace(t->interval(), t->isSingleShot());
  EXPECT_EQ(found, (std::set<std::pair<int, bool>>{{1800000, false}, {20000, true}}));
}

TEST_F(ModelTest, ShutdownStopsRunningWorkAndJoinsIt) {
  fakes.checker->checkGate.arm();
  model->check();
  ASSERT_TRUE(fakes.checker->checkGate.waitUntilHeld());
  model->shutdown();
  EXPECT_TRUE(fakes.checker->sawStop);
  EXPECT_TRUE(model->check().isFinished());
  EXPECT_EQ(fakes.checker->checks(), 1);
}

}  // namespace
}  // namespace larkvale::test
