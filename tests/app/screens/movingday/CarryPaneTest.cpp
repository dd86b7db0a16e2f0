// The Copy Settings pane: ticks and totals, sizes as they arrive, the
// running-app warning, a copy's progress and its result card.
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QTreeView>

#include "app/screens/movingday/CarryPane.h"
#include "app/screens/movingday/CarryResultCard.h"
#include "app/screens/movingday/MovingDayBlocks.h"
#include "app/ui/Card.h"
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
  void ticksTotalsAndSizesAsTheyArrive() {
    MovingDayFixture f;
    f.useSampleApps();
    f.fakes.workspace->running = {"COM.EXAMPLE.ALPHA"};
    movingday::CarryPane pane(*f.model);
    pane.resize(900, 700);
    auto* copy = child<QPushButton>(&pane, "copySettings");
    QVERIFY(!child<QPushButton>(&pane, "selectAll")->isEnabled());
    pane.show();  // loads the inventory, then measures
    QVERIFY(waitUntil([&] { return f.model->carrySizes().size() == 3; }));

    auto* list = child<QTreeView>(&pane, "pickList");
    QCOMPARE(list->model()->rowCount(), 3);
    QCOMPARE(pickIndex(list, kAlphaSupport, 2).data().toString(), movingday::sizeText(10));
    QCOMPARE(stats(pane),
             QStringList({"0 of 3 settings ticked",
                          movingday::sizeText(0) + " to copy (caches left out)", "0 apps"}));
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
             QStringList({"2 of 3 settings ticked",
                          movingday::sizeText(15) + " to copy (caches left out)", "1 apps"}));
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
