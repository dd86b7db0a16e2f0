#include <QAction>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QtTest>

#include "app/shell/MainMenu.h"
#include "app/shell/TrayIcon.h"
#include "app/shell/TrayMenu.h"
#include "tests/app/shell/ShellTestSupport.h"
#include "tests/support/FakeServices.h"

namespace larkvale {
namespace {

using Item = TrayMenu::Item;

const Item* find(const std::vector<Item>& items, TrayMenu::Action action) {
  for (const Item& item : items)
    if (item.action == action) return &item;
  return nullptr;
}

QStringList titles(const std::vector<Item>& items) {
  QStringList out;
  for (const Item& item : items) out << (item.kind == Item::Kind::divider ? "---" : item.title);
  return out;
}

int rows(const std::vector<Item>& items) {
  return static_cast<int>(std::count_if(items.begin(), items.end(), [](const Item& item) {
    return item.action == TrayMenu::Action::openUpdate;
  }));
}

}  // namespace

class TrayMenuTest : public QObject {
  Q_OBJECT

 private slots:
  void theWholeMenuBeforeAnyCheck() {
    auto model = test::bareModel();
    std::vector<Item> items = TrayMenu::items(*model);
    QCOMPARE(titles(items), (QStringList{"Not checked yet", "---", "Check Now", "Open Larkvale…",
                                         "Moving Day…", "---", "Check for Larkvale Updates…",
                                         "More Mac Apps…", "---", "Quit Larkvale"}));
    QVERIFY(!items[0].enabled);
    QCOMPARE(items.back().action, TrayMenu::Action::quit);
    QCOMPARE(items.back().shortcut, QKeySequence(Qt::CTRL | Qt::Key_Q));
    for (const Item& item : items) {
      if (item.kind == Item::Kind::button) QVERIFY2(item.enabled, qPrintable(item.title));
    }
  }

  void statusLineAndRowsFollowTheWaitingUpdates_data() {
    QTest::addColumn<int>("waiting");
    QTest::addColumn<QString>("status");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("more");
    QTest::addColumn<bool>("appsFound");
    QTest::newRow("no apps at all")
        << 0 << "No app bundles in /Applications or ~/Applications" << 0 << "" << false;
    QTest::newRow("none") << 0 << "Everything is up to date" << 0 << "" << true;
    QTest::newRow("one") << 1 << "1 update waiting" << 1 << "" << true;
    QTest::newRow("eight") << 8 << "8 updates waiting" << 8 << "" << true;
    QTest::newRow("nine") << 9 << "9 updates waiting" << 8 << "and 1 more" << true;
  }
  void statusLineAndRowsFollowTheWaitingUpdates() {
    QFETCH(int, waiting);
    QFETCH(QString, status);
    QFETCH(int, rows);
    QFETCH(QString, more);
    QFETCH(bool, appsFound);
    auto model = test::bareModel();
    std::vector<AppUpdate> updates = test::waitingCasks(waiting);
    if (appsFound) {
      updates.push_back(test::update("Current", UpdateStatus::upToDate()));
    }
    model->setState(test::stateWith(updates));

    std::vector<Item> items = TrayMenu::items(*model);
    QCOMPARE(items[0].title, status);
    QCOMPARE(::larkvale::rows(items), rows);
    QCOMPARE(items[rows + 1].kind == Item::Kind::text, !more.isEmpty());
    if (!more.isEmpty()) QCOMPARE(items[rows + 1].title, more);
    // Homebrew casks can all be handed off, so the safe run is offered.
    QCOMPARE(find(items, TrayMenu::Action::updateAllSafe) != nullptr, waiting > 0);
  }

  void rowsNameTheVersionsOrAQuestionMark() {
    auto model = test::bareModel();
    // Neither can be handed off, so no safe run is offered.
    AppUpdate hub = test::update("Hub", UpdateStatus::updateAvailable(),
                                 UpdateSource::github("a/hub"), std::nullopt);
    model->setState(test::stateWith(
        {hub, test::update("Store", UpdateStatus::updateAvailable(), UpdateSource::appStore())}));
    std::vector<Item> items = TrayMenu::items(*model);
    QCOMPARE(items[1].title, QString::fromUtf8("Hub  1.0 \u2192 ?"));
    QCOMPARE(items[1].path, hub.app.path);
    QCOMPARE(items[2].title, QString::fromUtf8("Store  1.0 \u2192 2.0"));
    QVERIFY(!find(items, TrayMenu::Action::updateAllSafe));
  }

  void accessibilityLabelKeepsThePlural() {
    QCOMPARE(TrayMenu::accessibilityLabel(0), QStringLiteral("Larkvale"));
    QCOMPARE(TrayMenu::accessibilityLabel(1), QStringLiteral("Larkvale: 1 updates waiting"));
    QCOMPARE(TrayMenu::accessibilityLabel(12), QStringLiteral("Larkvale: 12 updates waiting"));
  }

  void itemsChangeThePaneAndOpenTheMainWindow() {
    auto model = test::bareModel();
    std::vector<AppUpdate> updates = test::waitingCasks(2);
    model->setState(test::stateWith(updates));
    model->setPane(Pane::settings);
    test::RecordingShell shell;
    std::vector<Item> items = TrayMenu::items(*model);

    TrayMenu::run(items[2], *model, shell);  // the second row
    QCOMPARE(model->pane(), Pane::updates);
    QCOMPARE(model->selection(), OptionalText(QString::fromStdString(updates[1].app.path)));

    TrayMenu::run(*find(items, TrayMenu::Action::movingDay), *model, shell);
    QCOMPARE(model->pane(), Pane::checklist);

    TrayMenu::run(*find(items, TrayMenu::Action::updateAllSafe), *model, shell);
    for (auto action : {TrayMenu::Action::openApp, TrayMenu::Action::ownUpdates,
                        TrayMenu::Action::moreApps, TrayMenu::Action::quit}) {
      TrayMenu::run(*find(items, action), *model, shell);
    }
    QCOMPARE(shell.calls,
             (QStringList{"openMainWindow", "openMainWindow", "openMainWindow", "openMainWindow",
                          "checkOwnUpdates", "showMoreApps", "quit"}));
  }

  void aCheckShowsItsCountsAndCheckNowWaitsForIt() {
    test::Fakes fakes;
    AppUpdate waiting = test::cask("Nova", "nova");
    fakes.scanner->setApps({waiting.app});
    fakes.checker->setReport(CheckReport{fakes.clock->now(), {waiting}, true, {}});
    fakes.checker->checkGate.arm();
    AppModel model(fakes.services());
    test::RecordingShell shell;

    TrayMenu::run(*find(TrayMenu::items(model), TrayMenu::Action::checkNow), model, shell);
    QVERIFY(model.checking());
    QVERIFY(fakes.checker->checkGate.waitUntilHeld());
    // The scan's count is posted to the main thread before the checker is
    // reached, but the wait above may return before that post is delivered.
    QTRY_COMPARE_WITH_TIMEOUT(TrayMenu::items(model)[0].title,
                              QString::fromUtf8("Checking 0 of 1\u2026"), 10000);
    std::vector<Item> items = TrayMenu::items(model);
    QVERIFY(!find(items, TrayMenu::Action::checkNow)->enabled);
    for (const MainMenu::Menu& menu : MainMenu::menus(model))
      for (const MainMenu::Item& entry : menu.items)
        if (entry.command == MainMenu::Command::checkNow) QVERIFY(!entry.enabled);

    fakes.checker->checkGate.open();
    QTRY_VERIFY_WITH_TIMEOUT(!model.checking(), 10000);
    QCOMPARE(TrayMenu::items(model)[0].title, QStringLiteral("1 update waiting"));
    QVERIFY(find(TrayMenu::items(model), TrayMenu::Action::checkNow)->enabled);
  }

  void theTrayShowsTheCountAndRebuildsItsMenu() {
    auto model = test::bareModel();
    test::RecordingShell shell;
    TrayIcon tray(*model, shell);
    QCOMPARE(tray.findChild<QSystemTrayIcon*>("trayIcon")->toolTip(), QStringLiteral("Larkvale"));

    std::vector<AppUpdate> updates = test::waitingCasks(2);
    updates.push_back(test::cask("Salt & Pepper", "salt"));
    model->setState(test::stateWith(updates));
    QCOMPARE(tray.findChild<QSystemTrayIcon*>("trayIcon")->toolTip(),
             QStringLiteral("Larkvale: 3 updates waiting"));
    emit tray.menu().aboutToShow();
    // An app's name is plain text: its "&" marks no mnemonic.
    QVERIFY(
        QKeySequence::mnemonic(tray.menu().findChild<QAction*>("trayUpdate2")->text()).isEmpty());
    auto* status = tray.menu().findChild<QAction*>("trayStatus");
    QVERIFY(status);
    QCOMPARE(status->text(), QStringLiteral("3 updates waiting"));
    QVERIFY(!status->isEnabled());

    tray.menu().findChild<QAction*>("trayMoreApps")->trigger();
    QCOMPARE(shell.calls, QStringList{"showMoreApps"});
    QVERIFY(!TrayIcon::iconFor(3).pixmap(22).isNull());
  }

  void trayCountStaysReadableAtSixteenPixels() {
    // Digits much shorter than half the icon can't be told apart there.
    const QFontMetricsF metrics(TrayIcon::countFont(16, "88"));
    QVERIFY(metrics.horizontalAdvance("88") <= 16 && metrics.capHeight() >= 7);
    QVERIFY(QFontMetricsF(TrayIcon::countFont(16, "99+")).horizontalAdvance("99+") <= 16);
  }

  void eachSizeIsDrawnAsTheWholeIconWouldGiveIt() {
    // An icon that has drawn all its sizes answers as QIcon chooses among
    // them; one asked cold, for a single size, must answer the same.
    const QList<QSize> asked = {{8, 8},   {16, 16}, {17, 17}, {20, 20}, {22, 22}, {23, 23},
                                {24, 24}, {30, 30}, {33, 33}, {48, 48}, {50, 50}, {64, 64},
                                {80, 80}, {22, 30}, {40, 16}, {0, 0}};
    for (int count : {0, 7, 42, 120}) {
      const QIcon whole = TrayIcon::iconFor(count);
      for (const QSize& size : whole.availableSizes()) (void)whole.pixmap(size);
      for (const QSize& size : asked) {
        const QIcon cold = TrayIcon::iconFor(count);
        QCOMPARE(cold.actualSize(size), whole.actualSize(size));
        QCOMPARE(TrayIcon::iconFor(count).pixmap(size).toImage(), whole.pixmap(size).toImage());
      }
    }
  }

  void countFontsAreTheLargestThatFit() {
    // What a font of `pixels` needs across, as each kind of icon measures it.
    auto needs = [](const QString& text, int pixels, bool badge) {
      QFont font;
      font.setBold(true);
      font.setPixelSize(pixels);
      const QFontMetricsF metrics(font);
      if (!badge) return metrics.horizontalAdvance(text);
      return std::max(metrics.height(), metrics.horizontalAdvance(text) + metrics.height() * 0.4);
    };
    for (const QString text : {"1", "42", "99+"}) {
      for (int size : {16, 22, 24, 32, 48, 64}) {
        const bool badge = size >= TrayIcon::kBadgeFromSize;
        const int most = badge ? size * 9 / 20 : size * 4 / 5;
        const int pixels =
            (badge ? TrayIcon::badgeFont(size, text) : TrayIcon::countFont(size, text)).pixelSize();
        const QString where = text + " at " + QString::number(size);
        QVERIFY2(pixels >= 7 && pixels <= most, qPrintable(where));
        QVERIFY2(pixels == 7 || needs(text, pixels, badge) <= size, qPrintable(where));
        QVERIFY2(pixels == most || needs(text, pixels + 1, badge) > size, qPrintable(where));
        // A second call gives the same font.
        QCOMPARE(TrayIcon::countFont(size, text), TrayIcon::countFont(size, text));
      }
    }
  }
};

}  // namespace larkvale

QTEST_MAIN(larkvale::TrayMenuTest)
#include "TrayMenuTest.moc"
