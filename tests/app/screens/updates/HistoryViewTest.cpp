// The History pane: days in a time zone, the search, and the empty state.
#include <QListView>
#include <QTest>

#include "app/screens/updates/HistoryListModel.h"
#include "app/screens/updates/HistoryView.h"
#include "tests/app/screens/updates/ScreensFixture.h"

using namespace larkvale;
using namespace larkvale::test;

namespace {

// 2026-12-05T00:00:00Z
constexpr qint64 kMidnight = 1'796'428'800;

HistoryEntry entry(const std::string& name, qint64 secondsSinceEpoch, const std::string& to) {
  return {Date{std::chrono::seconds(secondsSinceEpoch)},
          name,
          "com.example." + name,
          "1.0",
          to,
          "Homebrew cask"};
}

std::vector<std::string> names(const HistoryDay& day) {
  std::vector<std::string> out;
  for (const auto& e : day.entries) out.push_back(e.name + " " + e.to);
  return out;
}

}  // namespace

class HistoryViewTest : public QObject {
  Q_OBJECT

 private slots:
  void daysAcrossMidnightAndTimeZones() {
    // Newest first, as saved: one just after midnight UTC, one just before.
    std::vector<HistoryEntry> history = {entry("Zed", kMidnight + 60, "3.0"),
                                         entry("Code", kMidnight - 60, "2.1"),
                                         entry("Code", kMidnight - 120, "2.0")};
    auto utc = HistoryDays::group(history, "", QTimeZone::utc());
    QCOMPARE(utc.size(), size_t(2));
    QCOMPARE(utc[0].day, QDate(2026, 12, 5));
    QCOMPARE(utc[1].day, QDate(2026, 12, 4));
    QCOMPARE(names(utc[1]), (std::vector<std::string>{"Code 2.1", "Code 2.0"}));
    // Two hours east of UTC all three fall on the 5th, in saved order.
    auto east = HistoryDays::group(history, "", QTimeZone(2 * 3600));
    QCOMPARE(east.size(), size_t(1));
    QCOMPARE(names(east[0]), (std::vector<std::string>{"Zed 3.0", "Code 2.1", "Code 2.0"}));
    // The search finds a fragment of the name in any case, nothing else.
    QCOMPARE(HistoryDays::group(history, "OD", QTimeZone::utc()).size(), size_t(1));
    QVERIFY(HistoryDays::group(history, "2.1", QTimeZone::utc()).empty());
    QVERIFY(HistoryDays::group(history, "Homebrew", QTimeZone::utc()).empty());
  }

  void rowTextMarksTheNameBold() {
    auto row = HistoryListModel::rowText("Code", "1.0", "2.0");
    QCOMPARE(row.text, QString("Updated Code from 1.0 to 2.0"));
    QCOMPARE(row.bold, (QList<QPair<int, int>>{{8, 4}}));
  }

  void paneFollowsHistoryAndSearch() {
    ScreensFixture f;
    HistoryView view(*f.model);
    view.resize(700, 600);
    view.show();
    auto* empty = child(&view, "historyEmpty");
    auto* list = child<QListView>(&view, "historyList");
    QVERIFY(empty->isVisible() && !list->isVisible());
    QCOMPARE(labelText(empty, "emptyTitle"), QString("No updates seen yet"));

    f.model->mutateState([](AppState& s) {
      s.history = {entry("Zed", kMidnight + 60, "3.0"), entry("Code", kMidnight - 60, "2.1")};
    });
    QVERIFY(!empty->isVisible() && list->isVisible());
    QCOMPARE(list->model()->rowCount(), 4);  // two days, one entry each
    QCOMPARE(list->model()->index(1, 0).data(Qt::AccessibleTextRole).toString(),
             QString("Updated Zed from 1.0 to 3.0, Homebrew cask"));
    QVERIFY(list->height() > 0);

    f.model->setSearch("zed");
    QCOMPARE(list->model()->rowCount(), 2);
    f.model->setSearch("nothing like it");
    QVERIFY(empty->isVisible() && !list->isVisible());
  }
};

QTEST_MAIN(HistoryViewTest)
#include "HistoryViewTest.moc"
