// The update panes: the welcome page, rows per pane, counts, pane buttons,
// the selection and the row's context menu.
#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedWidget>
#include <QTableView>
#include <QTimer>
#include <QTimerEvent>

#include <algorithm>

#include "app/screens/updates/UpdateActions.h"
#include "app/screens/updates/UpdateDates.h"
#include "app/screens/updates/UpdateList.h"
#include "app/screens/updates/UpdateTableModel.h"
#include "app/screens/updates/UpdatesEmptyView.h"
#include "app/screens/updates/UpdatesPane.h"
#include "app/screens/updates/WelcomeView.h"
#include "app/ui/ClampedLabel.h"
#include "app/ui/Stat.h"
#include "tests/app/screens/updates/ScreensFixture.h"

using namespace larkvale;
using namespace larkvale::test;

namespace {

QStringList column(UpdateList* list, int column, int role = Qt::DisplayRole) {
  QStringList out;
  const auto* rows = list->tableModel();
  for (int row = 0; row < rows->rowCount(); ++row) {
    out << rows->index(row, column).data(role).toString();
  }
  return out;
}

QStringList counts(UpdateList* list) {
  QStringList out;
  for (const char* name : {"statWaiting", "statCurrent", "statUnchecked", "statNoSource"}) {
    out << list->findChild<ui::Stat*>(name)->value();
  }
  return out;
}

QString emptyTitle(UpdateList* list) {
  auto* empty = list->findChild<UpdatesEmptyView*>("emptyState");
  return empty->isVisibleTo(list) ? empty->title() + " / " + empty->description() : QString();
}

}  // namespace

class UpdatesPaneTest : public QObject {
  Q_OBJECT

 private slots:
  void welcomeUntilTheFirstCheckAndReturnStartsIt() {
    Rig rig;
    rig.fakes.checker->setReport(CheckReport{rig.fakes.clock->now(), {update("Alpha")}, true, {}});
    // The window opens with the focus outside the page (on the sidebar).
    QWidget window;
    auto* sidebar = new QLineEdit(&window);
    auto& pane = *new UpdatesPane(*rig.model, &window);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QVERIFY(pane.showsWelcome());
    sidebar->setFocus();
    QTest::keyClick(sidebar, Qt::Key_Return);
    QVERIFY(waitUntil([&] { return rig.model->state().lastReport && !rig.model->checking(); }));
    QVERIFY(!pane.showsWelcome());
    QCOMPARE(column(pane.list(), UpdateTableModel::appColumn), QStringList{"Alpha"});
    QTest::keyClick(sidebar, Qt::Key_Return);  // the page is gone, and its key with it
    QCOMPARE(rig.fakes.checker->checks(), 1);
  }

  void aFirstCheckShowsTheEmptySplit() {
    Rig rig;
    rig.fakes.scanner->scanGate.arm();
    QFuture<void> check = rig.model->check();
    QVERIFY(rig.fakes.scanner->scanGate.waitUntilHeld());
    UpdatesPane pane(*rig.model);
    QVERIFY(!pane.showsWelcome());
    UpdateList* list = pane.list();
    QCOMPARE(list->findChild<ui::ClampedLabel*>("paneSubtitle")->text(),
             "Apps with a newer version from their own source. ");
    QCOMPARE(counts(list), QStringList({"0", "0", "0", "0"}));
    QCOMPARE(emptyTitle(list), "Nothing waiting / Every app Larkvale can check is up to date.");
    rig.fakes.scanner->scanGate.open();
    QVERIFY(waitFor(check));

    // The scan found no app bundles at all: every pane says where it looked.
    const QString noApps = QString::fromUtf8(
        "No apps found / Larkvale looked in /Applications and ~/Applications (and the folders "
        "directly inside them) and found no app bundles. It reads app bundles (folders ending in "
        "\u201c.app\u201d) only.");
    QCOMPARE(emptyTitle(list), noApps);
    auto* hint = pane.findChild<QWidget*>("selectHint");
    QVERIFY(hint->isHidden());  // no "Select an app" under "No apps found"
    rig.model->setPane(Pane::held);
    QCOMPARE(emptyTitle(list), noApps);
    // With apps, an empty pane without a search doesn't speak of matches.
    rig.report({update("Alpha")});
    QCOMPARE(emptyTitle(list), "Nothing here / No skipped versions and no apps on hold.");
    QVERIFY(!hint->isHidden());
  }

  // A last check told in English, never as a time to come.
  void lastCheckIsToldAsPast() {
    const Date now{std::chrono::seconds(1'800'000'000)};
    struct Case {
      std::chrono::seconds before;
      const char* text;
    } cases[] = {{std::chrono::seconds(-5), "0 seconds ago"},
                 {std::chrono::seconds(0), "0 seconds ago"},
                 {std::chrono::seconds(59), "59 seconds ago"},
                 {std::chrono::seconds(2 * 3600 + 5), "2 hours ago"}};
    const QLocale was;
    QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));
    for (const Case& c : cases) QCOMPARE(RelativeDates::format(now - c.before, now), c.text);
    QLocale::setDefault(was);
  }

  // The window closed after a check and opened again minutes later, or the
  // pane left for another and chosen again: the sentence tells the age of
  // the check at once, not at the next minute's tick, and nothing ticks
  // while it is out of view.
  void theLastCheckIsToldAnewWhenItComesBackIntoView() {
    Rig rig;
    rig.report({update("Alpha")});
    QWidget window;
    auto* pages = new QStackedWidget(&window);
    auto* pane = new UpdatesPane(*rig.model);
    auto* other = new QWidget;
    pages->addWidget(pane);
    pages->addWidget(other);
    window.show();
    auto* subtitle = pane->findChild<ui::ClampedLabel*>("paneSubtitle");
    auto ticking = [&] {
      const QList<QTimer*> timers = subtitle->findChildren<QTimer*>();
      return std::any_of(timers.begin(), timers.end(), [](QTimer* t) { return t->isActive(); });
    };
    const QString lead = "Apps with a newer version from their own source. ";
    QCOMPARE(subtitle->text(), lead + "Checked 0 seconds ago.");
    QVERIFY(ticking());

    window.hide();
    QVERIFY(!ticking());
    rig.fakes.clock->advance(std::chrono::minutes(7));
    window.show();
    QCOMPARE(subtitle->text(), lead + "Checked 7 minutes ago.");

    pages->setCurrentWidget(other);
    QVERIFY(!ticking());
    rig.fakes.clock->advance(std::chrono::hours(2));
    pages->setCurrentWidget(pane);
    QCOMPARE(subtitle->text(), lead + "Checked 2 hours ago.");
    QVERIFY(ticking());

    // Minimised and restored: the window comes back a third way.
    window.showMinimized();
    rig.fakes.clock->advance(std::chrono::hours(24));
    window.showNormal();
    QCOMPARE(subtitle->text(), lead + "Checked 1 day ago.");
    QVERIFY(ticking());
  }

  // While the list stays in view the sentence moves on with each minute's
  // tick, with no showing or hiding to wake it.
  void theLastCheckMovesOnEachMinuteWhileInView() {
    Rig rig;
    rig.report({update("Alpha")});
    UpdatesPane pane(*rig.model);
    pane.show();
    auto* subtitle = pane.findChild<ui::ClampedLabel*>("paneSubtitle");
    const QString lead = "Apps with a newer version from their own source. ";
    QCOMPARE(subtitle->text(), lead + "Checked 0 seconds ago.");
    QTimer* tick = nullptr;
    for (QTimer* timer : subtitle->findChildren<QTimer*>()) {
      if (timer->isActive()) tick = timer;
    }
    QVERIFY(tick);
    QCOMPARE(tick->interval(), 60'000);
    for (const char* age : {"1 minute ago", "2 minutes ago"}) {
      rig.fakes.clock->advance(std::chrono::minutes(1));
      // The minute is up: the event the event loop would deliver.
      QTimerEvent up(tick->timerId());
      QCoreApplication::sendEvent(tick, &up);
      QCOMPARE(subtitle->text(), lead + "Checked " + age + ".");
    }
  }

  // At 900×600 and wide: least widths kept, no sideways scrolling.
  void theTableFitsWithoutSidewaysScrolling() {
    Rig rig;
    rig.report({update("Alpha"), update("Beta")});
    UpdatesPane pane(*rig.model);
    auto* table = pane.findChild<QTableView*>("updateTable");
    const int least[] = {170, 70, 70, 110, 110};
    for (int width : {680, 1400}) {
      pane.resize(width, 560);
      pane.show();
      QVERIFY(QTest::qWaitForWindowExposed(&pane));
      for (int column = 0; column < 5; ++column) {
        QVERIFY(table->horizontalHeader()->sectionSize(column) >= least[column]);
      }
      QTRY_VERIFY(table->horizontalHeader()->length() <= table->viewport()->width());
      QVERIFY(!table->horizontalScrollBar()->isVisible());
    }
  }

  void rowsChipsAndCountsPerPane() {
    Rig rig;
    auto critical = update("Crit");
    critical.critical = true;
    auto skipped = update("Skipcrit");
    skipped.critical = true;
    auto broken = update("Broken", UpdateStatus::notChecked("Offline."), UpdateSource::unknown(),
                         std::nullopt);
    broken.released = rig.fakes.clock->now();
    rig.report({update("Beta"), update("alpha"), critical, skipped,
                update("Held", UpdateStatus::upToDate()),
                update("Current", UpdateStatus::upToDate()), broken,
                update("Safari", UpdateStatus::noSource(), UpdateSource::apple()),
                update("Store", UpdateStatus::noSource(), UpdateSource::appStore()),
                update("Mystery", UpdateStatus::noSource(), UpdateSource::unknown())});
    rig.model->mutateState([](AppState& s) {
      s.skipped["com.example.Skipcrit"] = "2.0";
      s.holds["com.example.Held"] = Hold{"", {}};
    });
    UpdatesPane pane(*rig.model);
    UpdateList* list = pane.list();
    QCOMPARE(column(list, UpdateTableModel::appColumn), QStringList({"Crit", "alpha", "Beta"}));
    QCOMPARE(counts(list), QStringList({"3", "1", "1", "3"}));

    rig.model->setPane(Pane::held);
    QCOMPARE(column(list, UpdateTableModel::appColumn), QStringList({"Held", "Skipcrit"}));
    // The mark and the emphasis read the update, not its effective status.
    QCOMPARE(column(list, UpdateTableModel::appColumn, UpdateTableModel::symbolRole)[1],
             "exclamationmark.shield.fill");
    QCOMPARE(column(list, UpdateTableModel::latestColumn, UpdateTableModel::emphasisRole)[1],
             "true");

    rig.model->setPane(Pane::allApps);
    QCOMPARE(column(list, UpdateTableModel::appColumn),
             QStringList({"Crit", "alpha", "Beta", "Broken", "Held", "Skipcrit", "Current",
                          "Mystery", "Safari", "Store"}));
    QCOMPARE(column(list, UpdateTableModel::statusColumn),
             QStringList({"Update", "Update", "Update", "Couldn't check", "On hold", "Skipped",
                          "Up to date", "No feed", "With macOS", "See App Store"}));
    QCOMPARE(column(list, UpdateTableModel::latestColumn)[3], "—");
    QVERIFY(!column(list, UpdateTableModel::releasedColumn)[3].isEmpty());
    QVERIFY(column(list, UpdateTableModel::releasedColumn)[0].isEmpty());
    QCOMPARE(column(list, UpdateTableModel::sourceColumn)[8], "macOS");

    // A search narrows the rows, never the counts; the empty state follows the pane.
    rig.model->setSearch("zzz");
    QCOMPARE(emptyTitle(list), "Nothing here / No apps match.");
    rig.model->setPane(Pane::updates);
    QCOMPARE(emptyTitle(list), "Nothing waiting / Every app Larkvale can check is up to date.");
    QCOMPARE(counts(list), QStringList({"3", "1", "1", "3"}));
  }

  void paneButtons() {
    Rig rig;
    rig.report(
        {update("Cask", UpdateStatus::updateAvailable(), UpdateSource::homebrew("cask-one"))});
    UpdatesPane pane(*rig.model);
    auto* safe = pane.findChild<QPushButton*>("safeUpdates");
    auto* casks = pane.findChild<QPushButton*>("upgradeCasks");
    QVERIFY(safe->isVisibleTo(&pane));
    QVERIFY(!casks->isVisibleTo(&pane));

    rig.report(
        {update("Cask", UpdateStatus::updateAvailable(), UpdateSource::homebrew("cask-one")),
         update("Brew", UpdateStatus::updateAvailable(), UpdateSource::homebrew("brew-two"))});
    QVERIFY(casks->isVisibleTo(&pane));
    QCOMPARE(casks->text(), "Upgrade 2 Casks in Terminal…");
    QCOMPARE(casks->toolTip(),
             "Opens a terminal window with one brew command; it runs only when you press Return "
             "there");
    QTest::mouseClick(casks, Qt::LeftButton);
    QCOMPARE(rig.fakes.terminal->calls.size(), 1u);
    QCOMPARE(rig.fakes.terminal->calls[0].tokens,
             std::vector<std::string>({"cask-one", "brew-two"}));
    QTest::mouseClick(safe, Qt::LeftButton);
    QVERIFY(rig.model->safeSheet());

    // GitHub, App Store and Sparkle updates waiting beside the casks are no
    // casks, nor is a cask on hold.
    const auto waiting = UpdateStatus::updateAvailable();
    std::vector<AppUpdate> mixed = {update("Hub", waiting, UpdateSource::github("o/hub")),
                                    update("Store", waiting, UpdateSource::appStore()),
                                    update("Sparkly"), cask("Held", "held"), cask("Cola", "cola")};
    rig.model->mutateState([](AppState& s) { s.holds["com.example.Held"] = Hold{"", {}}; });
    rig.report(mixed);
    QVERIFY(!casks->isVisibleTo(&pane));
    mixed.push_back(cask("Fizz", "fizz"));
    mixed.push_back(cask("Pop", "pop"));
    rig.report(mixed);
    QCOMPARE(casks->text(), "Upgrade 3 Casks in Terminal…");
    QTest::mouseClick(casks, Qt::LeftButton);
    QCOMPARE(rig.fakes.terminal->calls.back().tokens,
             std::vector<std::string>({"cola", "fizz", "pop"}));

    rig.model->setPane(Pane::allApps);
    QVERIFY(!safe->isVisibleTo(&pane));
    QVERIFY(!casks->isVisibleTo(&pane));
  }

  // A terminal that won't start: the notice names the way to the command
  // that is there where the upgrade was asked for.
  void aTerminalThatWontStartNamesAWayThatIsThere() {
    Rig rig;
    const AppUpdate cola = cask("Cola", "cola");
    rig.report({cola, cask("Fizz", "fizz")});
    rig.fakes.terminal->noTerminal = true;
    UpdatesPane pane(*rig.model);
    const QString failed =
        "Couldn't open a terminal window: No terminal program could be started. ";

    // No Copy Command stands beside the list's button; each cask's page has one.
    QVERIFY(!pane.findChild<QAbstractButton*>("copyCommand"));
    QTest::mouseClick(pane.findChild<QPushButton*>("upgradeCasks"), Qt::LeftButton);
    QCOMPARE(QString::fromStdString(rig.notice()),
             failed +
                 "Each cask's page has Copy Command for its own command; paste it into a "
                 "terminal.");

    rig.select(cola);
    auto* copy = pane.findChild<QAbstractButton*>("copyCommand");
    QVERIFY(copy && copy->text() == "Copy Command");
    QTest::mouseClick(pane.findChild<QAbstractButton*>("upgradeInTerminal"), Qt::LeftButton);
    QCOMPARE(QString::fromStdString(rig.notice()),
             failed + "Choose Copy Command and paste the command into a terminal.");
    QCOMPARE(rig.fakes.terminal->calls.size(), 2u);
  }

  void selectionFollowsTheModelBothWays() {
    Rig rig;
    auto a = update("Alpha");
    auto b = update("Bravo");
    rig.report({a, b});
    UpdatesPane pane(*rig.model);
    QTableView* table = pane.list()->table();
    pane.resize(900, 700);
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                      table->visualRect(table->model()->index(1, 0)).center());
    QCOMPARE(rig.model->selection(), OptionalText(QString::fromStdString(b.app.path)));

    rig.select(a);
    QCOMPARE(table->selectionModel()->selectedRows().value(0).row(), 0);
    // A new report keeps the selection on the same app.
    rig.report({update("Aaron"), a, b});
    QCOMPARE(table->selectionModel()->selectedRows().value(0).row(), 1);
    QCOMPARE(rig.model->selection(), OptionalText(QString::fromStdString(a.app.path)));
  }

  void rowMenuHoldsTheCompactActions() {
    Rig rig;
    auto apple = update("Safari", UpdateStatus::noSource(), UpdateSource::apple());
    rig.report({apple});
    rig.model->mutateState([](AppState& s) { s.holds["com.example.Safari"] = Hold{"", {}}; });
    rig.model->setPane(Pane::allApps);
    UpdatesPane pane(*rig.model);
    QTableView* table = pane.list()->table();
    pane.resize(900, 700);
    pane.show();
    QVERIFY(QTest::qWaitForWindowExposed(&pane));
    const QPoint at = table->visualRect(table->model()->index(0, 0)).center();
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, table->viewport()->mapToGlobal(at));
    QApplication::sendEvent(table->viewport(), &event);
    auto* menu = pane.findChild<QMenu*>("rowMenu");
    QVERIFY(menu);
    QCOMPARE(namesOf(menu->actions()), QStringList({"releaseHold", "showInFileManager"}));
    menu->actions()[0]->trigger();
    QVERIFY(rig.model->state().holds.empty());
  }
};

QTEST_MAIN(UpdatesPaneTest)
#include "UpdatesPaneTest.moc"
