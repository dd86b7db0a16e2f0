// The Copy Settings pane: ticks and totals, sizes as they arrive, the
// running-app warning, a copy's progress and its result card.
#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QTreeView>

#include "app/screens/movingday/CarryPane.h"
#include "app/screens/movingday/CarryResultCard.h"
#include "app/screens/movingday/MovingDayBlocks.h"
#include "app/ui/Card.h"
#include "app/ui/EmptyState.h"
#include "app/ui/Stat.h"
#include "tests/app/screens/movingday/MovingDayFixture.h"

using namespace larkvale;
using namespace larkvale::test;

namespace {

const QString kAlphaPrefs = "~/Library/Preferences/com.example.Alpha.plist";
const QString kAlphaSupport = "~/Library/Application Support/Alpha";

}  // namespace

class CarryPaneTest : public QObject {
  Q_OBJECT

 private:
  static QStringList stats(const QWidget& pane) {
    QStringList out;
    for (auto* stat : child(&pane, "carryStats")->findChildren<ui::Stat*>()) {
      out << stat->value() + " " + stat->label();
    }
    return out;
  }

  static QModelIndex pickIndex(QTreeView* list, const QString& path, int column) {
    for (int i = 0; i < list->model()->rowCount(); ++i) {
      if (list->model()->index(i, 1).data().toString() == path) {
        return list->model()->index(i, column);
      }
    }
    return {};
  }

 private slots:
  void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

  void ticksTotalsAndSizesAsTheyArrive() {
    MovingDayFixture f;
    f.useSampleApps();
    f.tmp.write("home/Library/Application Support/Alpha/b.db", std::string(1438, 'b'));
    f.fakes.workspace->running = {"COM.EXAMPLE.ALPHA"};
    movingday::CarryPane pane(*f.model);
    pane.resize(900, 700);
    auto* copy = child<QPushButton>(&pane, "copySettings");
    QVERIFY(!child<QPushButton>(&pane, "selectAll")->isEnabled());
    pane.show();  // loads the inventory, then measures
    QVERIFY(waitUntil([&] { return f.model->carrySizes().size() == 3; }));

    auto* list = child<QTreeView>(&pane, "pickList");
    QCOMPARE(list->model()->rowCount(), 3);
    // Decimal units, as file sizes are shown on the desktop.
    QCOMPARE(pickIndex(list, kAlphaSupport, 2).data().toString(), QString("1.4 kB"));
    QCOMPARE(pickIndex(list, kAlphaPrefs, 2).data().toString(), QString("5 bytes"));
    QCOMPARE(stats(pane), QStringList({"0 of 3 settings ticked",
                                       "0 bytes to copy (caches left out)", "0 apps"}));
    QVERIFY(!copy->isEnabled());
    QVERIFY(!child<QPushButton>(&pane, "selectNone")->isEnabled());
    QTest::mouseClick(copy, Qt::LeftButton);  // nothing ticked: no panel
    QVERIFY(f.fakes.panels->opens.empty());
    QVERIFY(!child(&pane, "runningWarning"));

    // Ticking through the list's tick box; a hidden tick still counts.
    QVERIFY(
        list->model()->setData(pickIndex(list, kAlphaPrefs, 0), Qt::Checked, Qt::CheckStateRole));
    f.model->setCarryChosen(kAlphaSupport.toStdString(), true);
    f.model->setSearch("brewy");
    QCOMPARE(list->model()->rowCount(), 1);
    QCOMPARE(stats(pane),
             QStringList({"2 of 3 settings ticked", "1.5 kB to copy (caches left out)", "1 apps"}));
    QCOMPARE(copy->text(), QString("Copy 2 to a Folder…"));
    QVERIFY(copy->isEnabled());
    // The running apps are looked up off the main thread.
    QVERIFY(waitUntil([&] { return child(&pane, "runningWarning") != nullptr; }));
    auto* warning = child<QWidget>(&pane, "runningWarning");
    QCOMPARE(warning->findChild<QLabel*>()->text(),
             QString("Quit Alpha first, so the copy has its latest settings."));

    // Select All takes every offered item, hidden ones included.
    f.model->setCarryChosen({"~/gone"});
    QTest::mouseClick(child<QPushButton>(&pane, "selectAll"), Qt::LeftButton);
    QCOMPARE(f.model->carryChosen().size(), size_t(3));
    QVERIFY(!f.model->carryChosen().contains("~/gone"));
    QTest::mouseClick(child<QPushButton>(&pane, "selectNone"), Qt::LeftButton);
    QVERIFY(f.model->carryChosen().empty());

    // The tick boxes from the keyboard: Space and Return flip the current row.
    list->setFocus(Qt::TabFocusReason);
    list->setCurrentIndex(list->model()->index(0, 0));
    QTest::keyClick(list, Qt::Key_Space);
    QCOMPARE(f.model->carryChosen().size(), size_t(1));
    QTest::keyClick(list, Qt::Key_Return);
    QVERIFY(f.model->carryChosen().empty());
  }

  // A pane the window hides narrows its list when it is shown again; its
  // totals and Select All keep to every offered item meanwhile.
  void aHiddenPaneCatchesUpWithTheSearchWhenShown() {
    MovingDayFixture f;
    f.useSampleApps();
    f.loadInventory();
    QStackedWidget window;
    auto* other = new QWidget(&window);
    auto* pane = new movingday::CarryPane(*f.model, &window);
    window.addWidget(other);
    window.addWidget(pane);
    window.show();
    auto* list = child<QTreeView>(pane, "pickList");
    for (const auto& [search, rows] : {std::pair{"brewy", 1}, {"", 3}, {"ALPHA", 2}}) {
      window.setCurrentWidget(other);
      f.model->setSearch(search);
      QTest::mouseClick(child<QPushButton>(pane, "selectAll"), Qt::LeftButton);
      QCOMPARE(f.model->carryChosen().size(), size_t(3));
      QCOMPARE(stats(*pane).first(), QString("3 of 3 settings ticked"));
      f.model->setCarryChosen(TextSet{});
      window.setCurrentWidget(pane);
      QCOMPARE(list->model()->rowCount(), rows);
    }
    f.model->setSearch("zzz");
    QCOMPARE(list->model()->rowCount(), 0);
  }

  void aCopyShowsItsProgressThenItsResult() {
    MovingDayFixture f;
    f.useSampleApps();
    f.loadInventory();
    f.model->setCarryChosen({kAlphaPrefs.toStdString(), kAlphaSupport.toStdString()});
    f.fakes.volumes->internal = true;
    f.fakes.panels->nextOpen.push_back(f.tmp.mkdir("drive"));
    movingday::CarryPane pane(*f.model);
    pane.resize(900, 700);
    pane.show();

    auto* copy = child<QPushButton>(&pane, "copySettings");
    QTest::mouseClick(copy, Qt::LeftButton);
    QCOMPARE(f.fakes.panels->opens.size(), size_t(1));
    QVERIFY(f.model->carryBusy());
    auto* progress = child<QProgressBar>(&pane, "carryProgress");
    QVERIFY(shown(progress));
    QVERIFY(!copy->isEnabled());
    QCOMPARE(progress->format(), QString("Copying 0 of 2…"));
    QVERIFY(waitUntil([&] { return !f.model->carryBusy(); }));
    settle();
    QVERIFY(!shown(progress));

    auto* card = child<ui::Card>(&pane, "carryResultCard");
    QVERIFY(card);
    QCOMPARE(card->title(), QString("Copied 2 settings and a list of 5 apps"));
    QVERIFY(child(&pane, "internalDiskWarning"));
    // The licence-looking file was left out, with its reason.
    auto* disclosure = child<QToolButton>(&pane, "leftOutDisclosure");
    QCOMPARE(disclosure->text(), QString("1 item left out"));
    auto* leftOut = child<QLabel>(&pane, "leftOutList");
    QVERIFY(!shown(leftOut));
    QTest::mouseClick(disclosure, Qt::LeftButton);
    QVERIFY(shown(leftOut));
    QVERIFY(leftOut->text().startsWith("~/Library/Application Support/Alpha/Alpha.licence: "));
    QTest::mouseClick(child<QPushButton>(&pane, "showResultFolder"), Qt::LeftButton);
    QCOMPARE(f.fakes.workspace->revealed.back(), f.model->carryResult()->folder);
    QTest::keyClick(child(&pane, "resultFolder"), Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(f.fakes.clipboard->texts.back().toStdString(),
             f.model->carryResult()->folder.string());
  }

  void tabReachesTheResultCardBeforeThePickList() {
    MovingDayFixture f;
    f.useSampleApps();
    f.loadInventory();
    f.model->setCarryChosen({kAlphaPrefs.toStdString(), kAlphaSupport.toStdString()});
    f.fakes.panels->nextOpen.push_back(f.tmp.mkdir("drive"));
    movingday::CarryPane pane(*f.model);
    pane.resize(900, 700);
    pane.show();
    QTest::mouseClick(child<QPushButton>(&pane, "copySettings"), Qt::LeftButton);
    QVERIFY(waitUntil([&] { return f.model->carryResult().has_value(); }));
    QVERIFY(waitUntil([&] { return !f.model->carryBusy(); }));
    QVERIFY(QTest::qWaitForWindowActive(&pane));
    settle();

    child(&pane, "selectAll")->setFocus(Qt::TabFocusReason);
    QStringList order;
    for (int i = 0; i < 8 && !order.contains("pickList"); ++i) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      order << QApplication::focusWidget()->objectName();
    }
    QCOMPARE(order, QStringList({"selectNone", "copySettings", "resultFolder", "showResultFolder",
                                 "leftOutDisclosure", "pickList"}));
  }

  void theResultCardListsTheFirst40LeftOutItemsAndCountsAll() {
    MovingDayFixture f;
    SettingsCopier::Result result;
    result.folder = f.tmp / "drive/Larkvale Moving Day";
    result.manifest.settings.resize(1);
    result.manifest.apps.resize(1);
    // Two the same: rows are by position, both are listed.
    result.manifest.leftOut.push_back({"~/Library/Same", "Couldn't copy (no room)"});
    for (int i = 1; i < 57; ++i) {
      result.manifest.leftOut.push_back({"~/Library/Item " + std::to_string(i), "Licence-looking"});
    }
    result.manifest.leftOut[1] = result.manifest.leftOut[0];
    movingday::CarryResultCard card(*f.model, result);
    QCOMPARE(child<ui::Card>(&card, "carryResultCard")->title(),
             QString("Copied 1 setting and a list of 1 apps"));
    QCOMPARE(child<QToolButton>(&card, "leftOutDisclosure")->text(), QString("57 items left out"));
    const QStringList lines = child<QLabel>(&card, "leftOutList")->text().split('\n');
    QCOMPARE(lines.size(), 40);
    QCOMPARE(lines[0], QString("~/Library/Same: Couldn't copy (no room)"));
    QCOMPARE(lines[1], lines[0]);
    QCOMPARE(lines[39], QString("~/Library/Item 39: Licence-looking"));
  }

  void withNoAppsItSaysWhatTheUpdatePanesSay() {
    MovingDayFixture f;
    movingday::CarryPane pane(*f.model);
    pane.setPalette(darkPalette());
    pane.resize(900, 700);
    pane.show();
    QVERIFY(waitUntil([&] { return !f.model->inventoryLoading(); }));
    settle();
    auto* none = child<ui::EmptyState>(&pane, "carryNoApps");
    QVERIFY(shown(none));
    QCOMPARE(none->title(), QString("No apps found"));
    QVERIFY(!shown(child(&pane, "pickList")));
    QVERIFY(!shown(child(&pane, "carryStats")));
    QVERIFY(!child<QPushButton>(&pane, "selectAll")->isEnabled());
    // The copy button's symbol reads on the dark palette.
    QVERIFY(symbolDrawnIn(child<QPushButton>(&pane, "copySettings"),
                          darkPalette().color(QPalette::ButtonText)));
  }

  void resultTitlesAndLabels() {
    MovingManifest manifest;
    manifest.settings.resize(1);
    manifest.apps.resize(1);
    QCOMPARE(movingday::CarryResultCard::title(manifest),
             QString("Copied 1 setting and a list of 1 apps"));
    QCOMPARE(movingday::CarryResultCard::leftOutLabel(57), QString("57 items left out"));
  }
};

QTEST_MAIN(CarryPaneTest)
#include "CarryPaneTest.moc"
