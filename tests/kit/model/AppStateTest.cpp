#include "kit/model/AppState.h"

#include <gtest/gtest.h>

#include "tests/support/Samples.h"

namespace larkvale {
namespace {

using namespace std::chrono;
using Effective = AppState::Effective;

const Date kT0 = Date{sys_days{2026y / 3 / 1}};

AppUpdate update(std::string name, std::string version, UpdateStatus status,
                 std::optional<std::string> latest = std::nullopt) {
  AppUpdate u = test::update(name, std::move(status),
                             UpdateSource::sparkle("https://example.com/f.xml"), std::move(latest));
  u.app.version = std::move(version);
  return u;
}

AppUpdate available(std::string name, std::string latest = "2.0", bool critical = false) {
  AppUpdate u = update(std::move(name), "1.0", UpdateStatus::updateAvailable(), std::move(latest));
  u.critical = critical;
  return u;
}

AppUpdate current(std::string name, std::string version) {
  return update(std::move(name), std::move(version), UpdateStatus::upToDate());
}

CheckReport report(std::vector<AppUpdate> updates, Date date = kT0) {
  return CheckReport{date, std::move(updates), false, {}};
}

TEST(AppStateTest, PlacesUpdatesAndSkipsUpToTheSkippedVersion) {
  AppState state;
  state.skipped["com.example.A"] = "2.0";
  EXPECT_EQ(state.effective(available("A", "2.0")), Effective::skipped);
  EXPECT_EQ(state.effective(available("A", "1.9")), Effective::skipped);
  EXPECT_EQ(state.effective(available("A", "2.1")), Effective::update);
  AppUpdate noLatest = available("A");
  noLatest.latestVersion.reset();
  EXPECT_EQ(state.effective(noLatest), Effective::update);

  EXPECT_EQ(state.effective(current("B", "1")), Effective::current);
  EXPECT_EQ(state.effective(update("B", "1", UpdateStatus::notChecked("x"))),
            Effective::notChecked);
  EXPECT_EQ(state.effective(update("B", "1", UpdateStatus::noSource())), Effective::noSource);

  state.holds["com.example.H"] = Hold{"", kT0};
  EXPECT_EQ(state.effective(update("H", "1", UpdateStatus::upToDate(), "9")), Effective::held);
}

TEST(AppStateTest, RecordWritesHistoryForRisesAndClearsReachedSkips) {
  AppState state;
  state.skipped = {{"com.example.A", "1.1"}, {"com.example.B", "1.2"}, {"com.example.N", "1"}};

  // First check: nothing seen before, so no history and every skip stays.
  state.record(report({current("A", "1.0"), current("B", "1.0"), current("N", "5")}));
  EXPECT_TRUE(state.history.empty());
  EXPECT_EQ(state.skipped.size(), 3u);
  EXPECT_EQ(state.lastVersions.at("com.example.A"), "1.0");

  // Second check: A and B rose; A reached its skip, B didn't; N went down.
  AppUpdate a = current("A", "1.1");
  a.source = UpdateSource::homebrew("a");
  state.record(report({a, current("B", "1.1"), current("N", "4")}, kT0 + hours{24}));
  ASSERT_EQ(state.history.size(), 2u);
  EXPECT_EQ(state.history[0],
            (HistoryEntry{kT0 + hours{24}, "B", "com.example.B", "1.0", "1.1", "Sparkle feed"}));
  EXPECT_EQ(state.history[1],
            (HistoryEntry{kT0 + hours{24}, "A", "com.example.A", "1.0", "1.1", "Homebrew cask"}));
  EXPECT_FALSE(state.skipped.contains("com.example.A"));
  EXPECT_EQ(state.skipped.at("com.example.B"), "1.2");
  EXPECT_EQ(state.skipped.at("com.example.N"), "1");
  EXPECT_EQ(state.lastVersions.at("com.example.N"), "4");

  // Third check: only N rose (past its skip); B is gone but remembered.
  state.record(report({current("N", "6")}, kT0 + hours{48}));
  ASSERT_EQ(state.history.size(), 3u);
  EXPECT_EQ(state.history[0],
            (HistoryEntry{kT0 + hours{48}, "N", "com.example.N", "4", "6", "Sparkle feed"}));
  EXPECT_EQ(state.history[1].bundleID, "com.example.B");
  EXPECT_FALSE(state.skipped.contains("com.example.N"));
  EXPECT_EQ(state.lastVersions.at("com.example.B"), "1.1");
  EXPECT_EQ(state.lastReport, report({current("N", "6")}, kT0 + hours{48}));
}

TEST(AppStateTest, RecordKeepsTheNewest300Entries) {
  AppState state;
  for (int i = 0; i < 298; ++i)
    state.history.push_back(HistoryEntry{kT0, "Old", "old." + std::to_string(i), "1", "2", "x"});
  std::vector<AppUpdate> first, second;
  for (int i = 0; i < 5; ++i) {
    first.push_back(current("R" + std::to_string(i), "1"));
    second.push_back(current("R" + std::to_string(i), "2"));
  }
  state.record(report(first));
  state.record(report(second, kT0 + hours{1}));
  ASSERT_EQ(state.history.size(), 300u);
  EXPECT_EQ(state.history[0].bundleID, "com.example.R4");
  EXPECT_EQ(state.history[4].bundleID, "com.example.R0");
  EXPECT_EQ(state.history[5].bundleID, "old.0");
  EXPECT_EQ(state.history.back().bundleID, "old.294");
}

TEST(AppStateTest, WeeklySummary) {
  const char* tail = " Open Larkvale to hand them to their updaters.";
  const std::vector<std::tuple<std::vector<AppUpdate>, const char*, const char*>> cases = {
      {{available("Alpha")}, "1 update waiting", "Alpha."},
      {{available("beta"), available("Alpha")}, "2 updates waiting", "Alpha and beta."},
      {{available("Gamma"), available("beta"), available("Alpha")},
       "3 updates waiting",
       "Alpha, beta and Gamma."},
      {{available("E"), available("D", "2", true), available("C"), available("B"),
        available("Y", "2", true)},
       "5 updates waiting",
       "D, Y, B and 2 more. One is marked important."},
  };
  for (const auto& [updates, title, body] : cases) {
    AppState state;
    state.lastReport = report(updates);
    auto summary = state.weeklyNoticeText();
    ASSERT_TRUE(summary) << title;
    EXPECT_EQ(summary->title, title);
    EXPECT_EQ(summary->body, std::string(body) + tail);
  }
  // Nothing waiting, nothing to say.
  AppState state;
  EXPECT_EQ(state.weeklyNoticeText(), std::nullopt);
  state.lastReport = report({available("A"), current("B", "1")});
  state.holds["com.example.A"] = Hold{"", kT0};
  EXPECT_EQ(state.weeklyNoticeText(), std::nullopt);
}

// The day and week limits are the model's schedule test; here what setting the
// summary does to its date, and dates far apart.
TEST(AppStateTest, DueTests) {
  AppState state;
  state.settings.weeklyNotice = true;
  EXPECT_FALSE(state.isWeeklyNoticeDue(kT0 + hours{10000}));
  state.setWeeklyNotice(true, kT0);
  EXPECT_EQ(state.weeklyNoticeLast, kT0);
  state.setWeeklyNotice(false, kT0 + hours{1});
  EXPECT_FALSE(state.settings.weeklyNotice);
  EXPECT_EQ(state.weeklyNoticeLast, std::nullopt);

  // Dates centuries apart, as a hand-edited file may hold, still compare.
  Date longAgo = *Dates::parseIso8601("1680-01-01T00:00:00Z");
  state.setWeeklyNotice(true, longAgo);
  state.lastReport = report({}, longAgo);
  EXPECT_TRUE(state.isWeeklyNoticeDue(kT0));
  EXPECT_TRUE(state.isDailyCheckDue(kT0));
}

TEST(AppStateTest, HistoryEntryIdUsesShortestSeconds) {
  HistoryEntry e{Date{seconds{1700000000}}, "A", "com.a", "1", "2.0", "Sparkle feed"};
  EXPECT_EQ(e.id(), "com.a|2.0|1700000000.0");
  e.date += milliseconds{250};
  EXPECT_EQ(e.id(), "com.a|2.0|1700000000.25");
  HistoryEntry reread = JsonCoding::decode<HistoryEntry>(JsonCoding::encode(toJson(e)));
  EXPECT_EQ(reread.id(), "com.a|2.0|1700000000.0");
  EXPECT_NE(reread, e);
}

}  // namespace
}  // namespace larkvale
