// The Inventory pane: its counts, table, selection and detail, and the
// export buttons of its header.
#include <QAbstractItemView>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTableView>
#include <QToolButton>

#include "app/screens/movingday/InventoryPane.h"
#include "app/screens/updates/UpdatesEmptyView.h"
#include "app/ui/ClampedLabel.h"
#include "app/ui/EmptyState.h"
#include "app/ui/Stat.h"
#include "app/window/MainWindow.h"
#include "app/window/Sidebar.h"
#include "tests/app/screens/movingday/MovingDayFixture.h"

using namespace larkvale;
using namespace larkvale::test;

class InventoryPaneTest : public QObject {
  Q_OBJECT

 private:
  static QStringList stats(const QWidget& pane) {
    QStringList out;
    for (auto* stat : pane.findChildren<ui::Stat*>()) out << stat->value() + " " + stat->label();
    return out;
  }

 private slots:
  void showingThePaneLoadsTheInventoryAndCountsIgnoreTheSearch() {
    MovingDayFixture f;
    f.useSampleApps();
    f.fakes.scanner->scanGate.arm();
    movingday::InventoryPane pane(*f.model);
    pane.show();
    QVERIFY(f.fakes.scanner->scanGate.waitUntilHeld());
    QVERIFY(shown(child(&pane, "inventoryLoading")));
    QVERIFY(!shown(child(&pane, "inventoryTable")));
    QVERIFY(!child<QPushButton>(&pane, "exportPdf")->isEnabled());
    QVERIFY(shown(child(&pane, "inventoryDetailEmpty")));
    f.fakes.scanner->scanGate.open();
    QVERIFY(waitUntil([&] { return !f.model->inventoryLoading(); }));

    auto* table = child<QTableView>(&pane, "inventoryTable");
    QVERIFY(shown(table));
    QCOMPARE(table->model()->rowCount(), 6);
    const QStringList counts = {"1 Homebrew casks", "1 App Store apps", "2 direct downloads",
                                "2 with settings to carry"};
    QCOMPARE(stats(pane), counts);
    QCOMPARE(table->model()->index(0, 4).data().toString(), QString("2 places"));
    QCOMPARE(table->model()->index(1, 4).data().toString(), QString("1 place"));
    QCOMPARE(table->model()->index(1, 3).data().toString(), QString("brew install --cask brewy"));
    QCOMPARE(table->model()->index(1, 2).data().toString(), QString("Homebrew cask"));

    // The search looks at names only, ignoring case, and leaves the counts.
    f.model->setSearch("ALP");
    QCOMPARE(table->model()->rowCount(), 1);
    f.model->setSearch("brew install");
    QCOMPARE(table->model()->rowCount(), 0);
    QCOMPARE(stats(pane), counts);
    QVERIFY(child<QPushButton>(&pane, "exportPdf")->isEnabled());
  }

  void theSelectionIsTheModelsBothWaysAndTheDetailShowsTheEntry() {
    MovingDayFixture f;
    f.useSampleApps();
    f.loadInventory();
    movingday::InventoryPane pane(*f.model);
    pane.resize(1000, 800);
    pane.show();
    auto* table = child<QTableView>(&pane, "inventoryTable");
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualRect(table->model()->index(0, 0)).center());
    QCOMPARE(f.model->inventorySelection(), OptionalText("/Applications/Alpha.app"));

    QStringList paths;
    for (auto* label : pane.findChildren<ui::ClampedLabel*>("settingsPath")) paths << label->text();
    QCOMPARE(paths, QStringList({"~/Library/Preferences/com.example.Alpha.plist",
                                 "~/Library/Application Support/Alpha"}));
    QCOMPARE(child<QLabel>(&pane, "licenceNote")->text(),
             QString::fromStdString(f.entry("Alpha").licence));
    QCOMPARE(pane.findChildren<ui::ClampedLabel*>("licenceFile").size(), 1);
    QVERIFY(child(&pane, "licenceCaption"));
    auto reveals = pane.findChildren<QToolButton*>("revealSetting");
    QCOMPARE(reveals[0]->accessibleName(),
             QString("Show ~/Library/Preferences/com.example.Alpha.plist in File Manager"));
    QTest::mouseClick(reveals[0], Qt::LeftButton);
    QCOMPARE(f.fakes.workspace->revealed.back(),
             f.home() / "Library/Preferences/com.example.Alpha.plist");
    QTest::keyClick(pane.findChildren<ui::ClampedLabel*>("licenceFile")[0], Qt::Key_C,
                    Qt::ControlModifier);
    QCOMPARE(f.fakes.clipboard->texts.back().toStdString(), f.entry("Alpha").licenceFiles[0]);

    // A row hidden by the search takes its detail with it; the selection
    // stays and brings both back. A path the inventory lacks shows the
    // empty state.
    f.model->setInventorySelection(QString("/Applications/Brewy.app"));
    QCOMPARE(child<ui::ClampedLabel>(&pane, "detailName")->text(), QString("Brewy"));
    QVERIFY(!child(&pane, "licenceCaption"));
    QVERIFY(!child(&pane, "detailTip"));
    f.model->setSearch("zzz");
    QVERIFY(shown(child(&pane, "inventoryDetailEmpty")));
    QVERIFY(!child(&pane, "detailName"));
    f.model->setSearch("BREW");
    QCOMPARE(child<ui::ClampedLabel>(&pane, "detailName")->text(), QString("Brewy"));
    f.model->setSearch("");
    QCOMPARE(table->selectionModel()->selectedRows().first().row(), 1);
    f.model->setInventorySelection(QString("/Applications/Gone.app"));
    QVERIFY(shown(child(&pane, "inventoryDetailEmpty")));
    QVERIFY(table->selectionModel()->selectedRows().isEmpty());
  }

  void exportsBothKindsThroughTheSavePanel() {
    MovingDayFixture f;
    movingday::InventoryPane pane(*f.model);
    QVERIFY(!child<QPushButton>(&pane, "exportMarkdown")->isEnabled());
    QVERIFY(!child<QPushButton>(&pane, "exportPdf")->isEnabled());
    f.useSampleApps();
    f.loadInventory();
    QVERIFY(child<QPushButton>(&pane, "exportMarkdown")->isEnabled());
    f.fakes.panels->nextSave = {f.tmp / "out.md", f.tmp / "out.pdf"};
    QTest::mouseClick(child<QPushButton>(&pane, "exportMarkdown"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(&pane, "exportPdf"), Qt::LeftButton);
    QCOMPARE(f.fakes.panels->saves.size(), size_t(2));
    QCOMPARE(f.fakes.panels->saves[0].fileSuffixes, std::vector<std::string>{"md"});
    QCOMPARE(f.fakes.panels->saves[1].fileSuffixes, std::vector<std::string>{"pdf"});
    QVERIFY(readAll(f.tmp / "out.pdf").starts_with("%PDF"));
  }

  void columnsKeepTheirMinimumsAndFitWithoutSidewaysScrolling() {
    MovingDayFixture f;
    f.useSampleApps();
    f.loadInventory();
    movingday::InventoryPane pane(*f.model);
    pane.show();
    auto* table = child<QTableView>(&pane, "inventoryTable");
    const int minimums[] = {170, 60, 110, 160, 90};
    // The pane beside the sidebar of a 900-point window, and a wide one.
    for (int width : {680, 1400}) {
      pane.resize(width, 600);
      settle();
      int total = 0;
      for (int column = 0; column < 5; ++column) {
        QVERIFY2(table->columnWidth(column) >= minimums[column],
                 qPrintable(QString::number(width)));
        total += table->columnWidth(column);
      }
      QCOMPARE(total, table->viewport()->width());
      QCOMPARE(table->horizontalScrollBar()->maximum(), 0);
    }
  }

  void withNoAppsItSaysWhatTheUpdatePanesSay() {
    MovingDayFixture f;
    movingday::InventoryPane pane(*f.model);
    pane.resize(900, 700);
    pane.show();
    QVERIFY(waitUntil([&] { return !f.model->inventoryLoading(); }));
    settle();
    auto* none = child<ui::EmptyState>(&pane, "inventoryNoApps");
    QVERIFY(shown(none));
    QCOMPARE(none->title(), QString("No apps found"));
    UpdatesEmptyView updates;
    updates.showFor(Pane::updates, false, true);
    QCOMPARE(none->title(), updates.title());
    QCOMPARE(none->description(), updates.description());
    QCOMPARE(none->symbol(), updates.symbol());
    // No table of nothing, no counts of nothing, no "Select an app" below.
    QVERIFY(!shown(child(&pane, "inventoryTable")));
    QVERIFY(!shown(child(&pane, "inventoryStats")));
    QVERIFY(!shown(child(&pane, "inventoryDetailEmpty")));

    // A check that lists apps empties nothing new but means there are apps:
    // the table stands until the pane reads them.
    f.report({source("Alpha", UpdateSource::unknown())});
    QVERIFY(!shown(none));
    QVERIFY(shown(child(&pane, "inventoryTable")));
    QVERIFY(shown(child(&pane, "inventoryDetailEmpty")));
  }

  void aLongNameFitsTheSmallestWindow() {
    MovingDayFixture f;
    f.useSampleApps();
    std::string name;
    while (name.size() < 100) name += "Wordy Application ";
    name.resize(100);
    AppUpdate wordy = source(name, UpdateSource::homebrew("wordy"), "com.example.Alpha");
    f.fakes.checker->setSources({wordy});
    f.tmp.write("home/Library/Application Support/" + name + "/Wordy.licence", "key");
    f.loadInventory();
    f.model->setInventorySelection(QString::fromStdString(wordy.app.path));
    movingday::InventoryPane pane(*f.model);
    // The pane beside the narrowest sidebar in the smallest window.
    pane.resize(MainWindow::kMinimumSize.width() - Sidebar::kMinimumWidth,
                MainWindow::kMinimumSize.height());
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    settle();

    auto* title = child<ui::ClampedLabel>(&pane, "detailName");
    QVERIFY(title);
    // Two lines at this width; never a third, whatever the width.
    QCOMPARE(title->linesAt(title->width()).size(), 2);
    QCOMPARE(title->height(), title->heightForWidth(title->width()));
    QVERIFY(title->linesAt(title->width() / 2).last().endsWith(QChar(0x2026)));

    auto* scroll = child<QScrollArea>(&pane, "inventoryDetailScroll");
    QVERIFY(!scroll->horizontalScrollBar()->isVisible());
    QWidget* page = scroll->widget();
    QVERIFY(page->width() <= scroll->viewport()->width());
    for (const char* name : {"settingsCard", "licenceCard"}) {
      auto* card = child(&pane, name);
      const QRect within(card->mapTo(page, QPoint(0, 0)), card->size());
      QVERIFY2(within.right() < scroll->viewport()->width(), name);
    }
  }

  void buttonSymbolsFollowADarkPalette() {
    MovingDayFixture f;
    f.useSampleApps();
    f.loadInventory();
    f.model->setInventorySelection(QString("/Applications/Alpha.app"));
    movingday::InventoryPane pane(*f.model);
    pane.setPalette(darkPalette());
    pane.show();
    for (const QColor& text : {darkPalette().color(QPalette::ButtonText), QColor(Qt::black)}) {
      QVERIFY(symbolDrawnIn(child<QToolButton>(&pane, "revealSetting"), text));
      QVERIFY(symbolDrawnIn(child<QPushButton>(&pane, "exportMarkdown"), text));
      QVERIFY(symbolDrawnIn(child<QPushButton>(&pane, "exportPdf"), text));
      // A change of theme draws them again.
      QPalette light = darkPalette();
      light.setColor(QPalette::ButtonText, Qt::black);
      light.setColor(QPalette::Button, Qt::white);
      pane.setPalette(light);
    }
  }

  // A pane the window hides takes the search up when it is shown again,
  // with the model's selection.
  void aHiddenPaneCatchesUpWithTheSearchWhenShown() {
    MovingDayFixture f;
    f.useSampleApps();
    f.loadInventory();
    f.model->setInventorySelection(QString("/Applications/Alpha.app"));
    QStackedWidget window;
    auto* other = new QWidget(&window);
    auto* pane = new movingday::InventoryPane(*f.model, &window);
    window.addWidget(other);
    window.addWidget(pane);
    window.show();
    auto* table = child<QTableView>(pane, "inventoryTable");
    auto selectedName = [&] {
      const QModelIndexList rows = table->selectionModel()->selectedRows();
      return rows.isEmpty() ? QString() : rows.first().data().toString();
    };
    for (const auto& [search, rows, selected] :
         {std::tuple{"brewy", 1, ""}, {"", 6, "Alpha"}, {"a", 2, "Alpha"}}) {
      window.setCurrentWidget(other);
      f.model->setSearch(search);
      window.setCurrentWidget(pane);
      QCOMPARE(table->model()->rowCount(), rows);
      QCOMPARE(selectedName(), QString(selected));
    }
    // Shown, it follows each change at once.
    f.model->setSearch("shop");
    QCOMPARE(table->model()->rowCount(), 1);
  }

  void subtitleNamesTheMac() {
    QVERIFY(movingday::InventoryPane::subtitle("Kit’s Mac").startsWith("Every app on Kit’s Mac, "));
    MovingDayFixture f;
    f.fakes.host->name = std::nullopt;
    AppModel model(f.fakes.services());
    movingday::InventoryPane pane(model);
    QVERIFY(child<QWidget>(&pane, "paneSubtitle")
                ->accessibleName()
                .startsWith("Every app on this Mac, where it came from"));
  }
};

QTEST_MAIN(InventoryPaneTest)
#include "InventoryPaneTest.moc"
