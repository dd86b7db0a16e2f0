// The Restore Checklist pane: ticks and progress, copying a command and
// opening a link, driven by clicks on the painted rows.
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>

#include "app/screens/movingday/ChecklistPane.h"
#include "app/screens/movingday/ChecklistRowDelegate.h"
#include "app/screens/movingday/ChecklistSectionModel.h"
#include "app/ui/Card.h"
#include "app/ui/FittedListView.h"
#include "kit/movingday/Checklist.h"
#include "tests/app/screens/movingday/MovingDayFixture.h"

using namespace larkvale;
using namespace larkvale::test;
using movingday::ChecklistRowDelegate;

class ChecklistPaneTest : public QObject {
  Q_OBJECT

 private:
  struct Row {
    ui::FittedListView* list;
    QModelIndex index;
    ChecklistRowDelegate::Geometry geometry;
  };

  static Row row(QWidget& pane, const QString& id) {
    for (auto* list : pane.findChildren<ui::FittedListView*>()) {
      for (int i = 0; i < list->model()->rowCount(); ++i) {
        QModelIndex index = list->model()->index(i, 0);
        if (index.data(movingday::ChecklistSectionModel::idRole).toString() != id) continue;
        auto* delegate = static_cast<ChecklistRowDelegate*>(list->itemDelegate());
        return {list, index, delegate->geometry(list, index)};
      }
    }
    qFatal("no row %s", qPrintable(id));
  }

  static void click(const Row& r, const QRect& where) {
    QVERIFY(!where.isEmpty());
    QTest::mouseClick(r.list->viewport(), Qt::LeftButton, {}, where.center());
  }

 private slots:
  void ticksFollowTheModelAndTheProgressCountsCurrentSteps() {
    MovingDayFixture f;
    f.useSampleApps();
    movingday::ChecklistPane pane(*f.model);
    pane.resize(900, 1400);
    pane.show();
    QVERIFY(waitUntil([&] { return !f.model->inventory().empty(); }));
    QVERIFY(waitUntil([&] { return shown(child(&pane, "checklistBody")); }));

    const int total = static_cast<int>(Checklist::items(f.model->inventory()).size());
    auto* count = child<QLabel>(&pane, "checklistCount");
    auto* clear = child<QPushButton>(&pane, "clearTicks");
    QCOMPARE(count->text(), QString("0 of %1 done").arg(total));
    QVERIFY(!clear->isEnabled());

    click(row(pane, "before:export"), row(pane, "before:export").geometry.tick);
    QVERIFY(f.model->state().ticked.contains("before:export"));
    QCOMPARE(count->text(), QString("1 of %1 done").arg(total));
    QCOMPARE(child<QProgressBar>(&pane, "checklistProgress")->value(), 1);
    QVERIFY(row(pane, "before:export")
                .index.data(movingday::ChecklistSectionModel::tickedRole)
                .toBool());
    QVERIFY(clear->isEnabled());

    // A tick of a step that is no longer listed counts for nothing, and
    // "Clear Ticks" removes it with the rest.
    click(row(pane, "before:export"), row(pane, "before:export").geometry.tick);
    f.model->mutateState([](AppState& s) { s.ticked.insert("gone:step"); });
    QCOMPARE(count->text(), QString("0 of %1 done").arg(total));
    QVERIFY(!clear->isEnabled());
    click(row(pane, "last:check"), row(pane, "last:check").geometry.tick);
    QTest::mouseClick(clear, Qt::LeftButton);
    QVERIFY(f.model->state().ticked.empty());
    const Row last = row(pane, "last:files");
    last.list->setCurrentIndex(last.index);
    QTest::keyClick(last.list, Qt::Key_Space);
    QCOMPARE(f.model->state().ticked, std::set<std::string>{"last:files"});

    // Sections without steps get no card; the cards keep the sections' order.
    QStringList cards;
    for (auto* card : pane.findChildren<ui::Card*>("checklistCard")) {
      if (shown(card)) cards << card->title();
    }
    QCOMPARE(cards.first(), QString("Before you leave this Mac"));
    QCOMPARE(cards.last(), QString("Last steps"));
  }

  void commandsAreCopiedAndLinksOpenedThroughTheModel() {
    MovingDayFixture f;
    f.useSampleApps();
    f.loadInventory();
    movingday::ChecklistPane pane(*f.model);
    pane.resize(900, 1400);
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));

    const Row casks = row(pane, "brew:casks");
    QCOMPARE(casks.geometry.commandLines, QStringList("brew install --cask brewy"));
    click(casks, casks.geometry.copy);
    QCOMPARE(f.fakes.clipboard->texts, std::vector<QString>{"brew install --cask brewy"});
    QCOMPARE(f.notice(), std::string("Copied: brew install --cask brewy"));
    QVERIFY(!f.model->notice()->isError);

    const Row install = row(pane, "brew:install");
    QCOMPARE(install.geometry.linkText, QString("brew.sh"));
    click(install, install.geometry.link);
    QCOMPARE(f.fakes.workspace->opened, std::vector<std::string>{"https://brew.sh"});

    // The same from the keyboard: Tab lands on a row, Right walks its
    // controls (each naming itself), Return presses the focused one.
    casks.list->setFocus(Qt::TabFocusReason);
    casks.list->setCurrentIndex(casks.index);
    QCOMPARE(casks.list->accessibleDescription(), casks.index.data().toString());
    QTest::keyClick(casks.list, Qt::Key_Right);
    QCOMPARE(casks.list->accessibleDescription(), QString("Copy the command"));
    QTest::keyClick(casks.list, Qt::Key_Return);
    QCOMPARE(f.fakes.clipboard->texts.size(), size_t(2));
    install.list->setCurrentIndex(install.index);
    QTest::keyClick(install.list, Qt::Key_Right);
    QTest::keyClick(install.list, Qt::Key_Right);
    QCOMPARE(install.list->accessibleDescription(), QString("brew.sh"));
    QTest::keyClick(install.list, Qt::Key_Enter);
    QCOMPARE(f.fakes.workspace->opened.size(), size_t(2));

    // Ctrl+C copies the command; the context menu offers the step's texts.
    f.fakes.clipboard->texts.clear();
    casks.list->setCurrentIndex(casks.index);
    QTest::keyClick(casks.list, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(f.fakes.clipboard->texts, std::vector<QString>{"brew install --cask brewy"});
    std::unique_ptr<QMenu> menu(casks.list->copyMenu(casks.index, nullptr));
    QCOMPARE(menu->actions().first()->text(), QString("Copy Command"));
    menu->actions().last()->trigger();
    QCOMPARE(f.fakes.clipboard->texts.back(), casks.index.data().toString());
  }

  void paintedControlsShowHoverAndPress() {
    MovingDayFixture f;
    f.useSampleApps();
    f.loadInventory();
    movingday::ChecklistPane pane(*f.model);
    pane.resize(900, 1400);
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    settle();
    for (const auto& [id, part] :
         {std::pair{"brew:casks", &ChecklistRowDelegate::Geometry::copy},
          std::pair{"brew:install", &ChecklistRowDelegate::Geometry::link}}) {
      const Row r = row(pane, id);
      const auto [rest, hovered, pressed] = controlLooks(r.list, r.geometry.*part);
      QVERIFY2(hovered != rest, id);
      QVERIFY2(pressed != hovered, id);
      QVERIFY2(pressed != rest, id);
    }
    QVERIFY(f.fakes.clipboard->texts.empty());
  }

  void theExportStepSaysWhyTheExportButtonsAreOff() {
    MovingDayFixture f;
    movingday::ChecklistPane pane(*f.model);
    pane.resize(900, 1000);
    pane.show();
    QVERIFY(waitUntil([&] { return !f.model->inventoryLoading(); }));
    QVERIFY(!child<QPushButton>(&pane, "exportPdf")->isEnabled());
    const QString steady = "Save it to an external drive or iCloud Drive, or email it to yourself.";
    auto detail = [&] {
      return row(pane, "before:export").index.data(movingday::ChecklistSectionModel::detailRole);
    };
    QCOMPARE(detail().toString(),
             steady +
                 "\nThe export buttons are off: Larkvale found no apps on this Mac, so "
                 "there is no list to export.");

    // A check that lists apps empties the inventory until the pane reads it
    // again.
    f.report({source("Alpha", UpdateSource::unknown())});
    QCOMPARE(detail().toString(),
             steady +
                 "\nThe export buttons are off until Larkvale has read this Mac's apps "
                 "again, which it does when you next open this pane.");
    QVERIFY(row(pane, "before:export").geometry.detailLines.size() >= 2);

    // With apps the buttons are on and the step says nothing more.
    f.fakes.checker->setSources({source("Alpha", UpdateSource::unknown())});
    f.loadInventory();
    QVERIFY(child<QPushButton>(&pane, "exportPdf")->isEnabled());
    QCOMPARE(detail().toString(), steady);
  }

  void linkLabels() {
    using M = movingday::ChecklistSectionModel;
    QCOMPARE(M::linkLabel("macappstore://apps.apple.com/app/id1"), QString("Open in App Store"));
    QCOMPARE(M::linkLabel("https://example.com/a?b"), QString("example.com"));
    QCOMPARE(M::linkLabel("mailto:me@example.com"), QString("mailto:me@example.com"));
  }

  void longCommandsShowThreeLinesButCopyWhole() {
    MovingDayFixture f;
    std::vector<AppUpdate> sources;
    for (int i = 0; i < 60; ++i) {
      sources.push_back(source("App" + std::to_string(i),
                               UpdateSource::homebrew("cask-number-" + std::to_string(i))));
    }
    f.fakes.checker->setSources(sources);
    f.loadInventory();
    std::string command = "brew install --cask";
    for (const auto& entry : f.model->inventory()) command += " " + *entry.caskToken;
    movingday::ChecklistPane pane(*f.model);
    pane.resize(700, 1200);
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    const Row casks = row(pane, "brew:casks");
    QCOMPARE(casks.geometry.commandLines.size(), 3);
    QVERIFY(casks.geometry.commandLines.last().endsWith(QChar(0x2026)));
    click(casks, casks.geometry.copy);
    QCOMPARE(f.fakes.clipboard->texts.back().toStdString(), command);
  }
};

QTEST_MAIN(ChecklistPaneTest)
#include "ChecklistPaneTest.moc"
