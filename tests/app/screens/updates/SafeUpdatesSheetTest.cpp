// The "Update All That Are Safe" sheet over the real model and its fakes:
// what the confirmation offers, the ticks, and a run walked step by step.
#include <QCheckBox>
#include <QPushButton>
#include <QTest>
#include <functional>

#include "app/screens/updates/SafeUpdatesSheet.h"
#include "app/screens/updates/UpdateList.h"
#include "app/ui/Card.h"
#include "app/ui/Fonts.h"
#include "tests/app/screens/updates/ScreensFixture.h"

using namespace larkvale;
using namespace larkvale::test;

class SafeUpdatesSheetTest : public QObject {
  Q_OBJECT

  // Two Sparkle apps (one critical, one without a latest version), two casks
  // (one updating itself) and two updates that can't be handed off.
  static std::vector<AppUpdate> mixed() {
    const auto waiting = UpdateStatus::updateAvailable();
    AppUpdate alpha = update("Alpha");
    alpha.critical = true;
    AppUpdate beta = update("Beta");
    beta.latestVersion.reset();
    return {alpha,
            beta,
            cask("Cola", "cola"),
            cask("Fizz", "fizz", true),
            update("Store", waiting, UpdateSource::appStore()),
            update("Hub", waiting, UpdateSource::github("o/hub"))};
  }

  static QString cardTitle(const QWidget* sheet, const QString& name) {
    auto* card = child<ui::Card>(sheet, name);
    return card ? card->title() : QString();
  }

  static void click(const QWidget* sheet, const QString& name) {
    auto* button = child<QAbstractButton>(sheet, name);
    QVERIFY2(button, qPrintable(name));
    QTest::mouseClick(button, Qt::LeftButton);
  }

  static QString mark(const QWidget* sheet, const std::string& stepID) {
    auto* row = child(sheet, QStringLiteral("safeStep:") + QString::fromStdString(stepID));
    return row ? labelText(row, "safeStepMark") : QString();
  }

 private slots:
  void confirmationOffersThePlan() {
    ScreensFixture f;
    f.report(mixed());
    f.model->startSafeUpdates();
    SafeUpdatesSheet sheet(*f.model);
    QCOMPARE(cardTitle(&sheet, "safeSparkleCard"), QString("Sparkle apps (2)"));
    QCOMPARE(cardTitle(&sheet, "safeBrewCard"), QString("Homebrew casks (2)"));
    QCOMPARE(cardTitle(&sheet, "safeLeftOutCard"), QString("Left out (2)"));
    QStringList reasons;
    for (auto* label : sheet.findChildren<QLabel*>("safeLeftOutReason")) reasons << label->text();
    QCOMPARE(reasons, QStringList({SafeUpdatePlan::kGitHub, SafeUpdatePlan::kAppStore}));
    auto* beta = child(&sheet, "safePick:/Applications/Beta.app")->parentWidget();
    QCOMPARE(labelText(beta, "safePickVersions"), QString("1.0 → ?"));
    QVERIFY(ui::Fonts::hasEqualWidthDigits(child<QLabel>(beta, "safePickVersions")->font()));
    auto* alpha = child(&sheet, "safePick:/Applications/Alpha.app")->parentWidget();
    QCOMPARE(child(alpha, "safePickCritical")->toolTip(),
             QString("The developer marks this update as important"));
    QCOMPARE(labelText(&sheet, "safeCount"), QString("3 hand-offs, one at a time"));
    QCOMPARE(labelText(&sheet, "safeCommand"), QString("brew upgrade --cask --greedy cola fizz"));
    QVERIFY(child<QPushButton>(&sheet, "safeStart")->isEnabled());
  }

  // Opened from the safe button: while the sheet is open, the button and the
  // sheet follow each change that takes away or brings back the only
  // candidate.
  void theSafeButtonFollowsChangesWhileTheSheetIsOpen() {
    ScreensFixture f;
    const AppUpdate cola = cask("Cola", "cola");
    const AppUpdate store =
        update("Store", UpdateStatus::updateAvailable(), UpdateSource::appStore());
    f.report({cola, store});
    UpdateList list(*f.model);
    auto* safe = child<QPushButton>(&list, "safeUpdates");
    click(&list, "safeUpdates");
    SafeUpdatesSheet sheet(*f.model);
    const struct {
      const char* change;
      std::function<void()> make;
      bool offered;
    } steps[] = {
        {"hold", [&] { f.model->holdApp(cola, ""); }, false},
        {"release", [&] { f.model->releaseHold(cola); }, true},
        {"skip", [&] { f.model->skipVersion(cola); }, false},
        {"a newer Cola",
         [&] {
           AppUpdate newer = cola;
           newer.latestVersion = "3.0";
           f.report({newer, store});
         },
         true},
        {"a report without Cola", [&] { f.report({store}); }, false},
    };
    for (const auto& step : steps) {
      step.make();
      QVERIFY2(safe->isVisibleTo(&list) == step.offered, step.change);
      QVERIFY2((child(&sheet, "safePick:/Applications/Cola.app") != nullptr) == step.offered,
               step.change);
    }
  }

  void ticksFollowTheModel() {
    ScreensFixture f;
    f.report(mixed());
    f.model->startSafeUpdates();
    SafeUpdatesSheet sheet(*f.model);
    sheet.show();
    auto* fizzTick = child<QCheckBox>(&sheet, "safePick:/Applications/Fizz.app");
    QVERIFY(fizzTick->focusPolicy() & Qt::TabFocus);
    QCOMPARE(fizzTick->accessibleName(), QString("Fizz"));
    QTest::keyClick(fizzTick, Qt::Key_Space);
    QVERIFY(!f.model->safeChosen().count("/Applications/Fizz.app"));
    QCOMPARE(labelText(&sheet, "safeCommand"), QString("brew upgrade --cask cola"));
    click(&sheet, "safePick:/Applications/Cola.app");
    QVERIFY(child(&sheet, "safeCommandBox")->isHidden());
    QCOMPARE(labelText(&sheet, "safeCount"), QString("2 hand-offs, one at a time"));
    // Casks alone count as one hand-off, however many.
    f.model->setSafeChosen({"/Applications/Cola.app", "/Applications/Fizz.app"});
    QCOMPARE(labelText(&sheet, "safeCount"), QString("1 hand-off, one at a time"));
    QVERIFY(!child<QCheckBox>(&sheet, "safePick:/Applications/Alpha.app")->isChecked());
    f.model->setSafeChosen({"/Applications/Store.app"});  // not a candidate
    QCOMPARE(labelText(&sheet, "safeCount"), QString("Nothing ticked"));
    QVERIFY(!child<QPushButton>(&sheet, "safeStart")->isEnabled());
  }

  void nothingToHandOff() {
    ScreensFixture f;
    f.report({update("Store", UpdateStatus::updateAvailable(), UpdateSource::appStore())});
    f.model->startSafeUpdates();
    SafeUpdatesSheet sheet(*f.model);
    QCOMPARE(labelText(child(&sheet, "safeConfirm"), "emptyTitle"),
             QString("Nothing safe to hand off"));
    QCOMPARE(cardTitle(&sheet, "safeLeftOutCard"), QString("Left out (1)"));
    QCOMPARE(labelText(&sheet, "safeCount"), QString("Nothing ticked"));
    QVERIFY(!child<QPushButton>(&sheet, "safeStart")->isEnabled());
  }

  void runWalksEachStep() {
    ScreensFixture f;
    f.report({update("Alpha"), update("Beta"), cask("Cola", "cola")});
    f.model->startSafeUpdates();
    SafeUpdatesSheet sheet(*f.model);
    sheet.show();
    click(&sheet, "safeStart");
    QVERIFY(waitUntil(
        [&] { return mark(&sheet, "sparkle:/Applications/Alpha.app") == "Handed off now"; }));
    QCOMPARE(cardTitle(&sheet, "safeRunCard"), QString("Step 1 of 3"));
    QCOMPARE(child<QPushButton>(&sheet, "safeNext")->text(), QString("Next: Beta 1.0 → 2.0"));
    QCOMPARE(mark(&sheet, "brew"), QString("Waiting"));
    auto* symbol = child(child(&sheet, "safeStep:brew"), "safeStepSymbol");
    QCOMPARE(symbol->width(), symbol->height());  // round marks stay round

    // A failed hand-off shows on its step; Skip moves on to the casks.
    f.fakes.menuPress->setNext(MenuPressResult::failed("gone"));
    click(&sheet, "safeNext");
    QVERIFY(waitUntil([&] { return f.model->notice() && f.model->notice()->isError; }));
    QCOMPARE(mark(&sheet, "sparkle:/Applications/Beta.app"), QString("Couldn't hand off"));
    QCOMPARE(mark(&sheet, "sparkle:/Applications/Alpha.app"), QString("Handed off"));
    click(&sheet, "safeSkip");
    QCOMPARE(mark(&sheet, "sparkle:/Applications/Beta.app"), QString("Skipped"));
    QCOMPARE(mark(&sheet, "brew"), QString("Handed off now"));
    QCOMPARE(labelText(child(&sheet, "safeStep:brew"), "safeStepCommand"),
             QString("brew upgrade --cask cola"));
    QCOMPARE(child<QPushButton>(&sheet, "safeNext")->text(), QString("Finish"));

    click(&sheet, "safeNext");
    QCOMPARE(cardTitle(&sheet, "safeRunCard"), QString("Finished"));
    QVERIFY(!child(&sheet, "safeRunHint"));
    QCOMPARE(labelText(&sheet, "safeFinished"),
             QString("Handed off 2 of 3. When they finish, Check Now shows the new versions."));
    click(&sheet, "safeCheckNow");
    QVERIFY(!f.model->safeSheet());
    QVERIFY(waitUntil([&] { return !f.model->checking() && f.fakes.checker->checks() == 1; }));
  }

  // The sheet has no Copy Command: a terminal that won't start points at
  // the command its Homebrew step shows.
  void aTerminalThatWontStartPointsAtTheStepsCommand() {
    ScreensFixture f;
    f.report({cask("Cola", "cola"), cask("Fizz", "fizz")});
    f.fakes.terminal->noTerminal = true;
    f.model->startSafeUpdates();
    SafeUpdatesSheet sheet(*f.model);
    sheet.show();
    click(&sheet, "safeStart");
    QCOMPARE(QString::fromStdString(f.notice()),
             QString("Couldn't open a terminal window: No terminal program could be started. "
                     "Select the command shown under the Homebrew step and paste it into a "
                     "terminal."));
    QVERIFY(!child(&sheet, "copyCommand"));
    QCOMPARE(labelText(child(&sheet, "safeStep:brew"), "safeStepCommand"),
             QString("brew upgrade --cask cola fizz"));
  }

  void closingKeepsTheRunUntilReopened() {
    ScreensFixture f;
    f.report({update("Alpha")});
    f.model->startSafeUpdates();
    {
      SafeUpdatesSheet sheet(*f.model);
      sheet.show();
      click(&sheet, "safeStart");
      QCOMPARE(child<QPushButton>(&sheet, "safeNext")->text(), QString("Finish"));
      QTest::keyClick(&sheet, Qt::Key_Escape);
      QVERIFY(!sheet.isVisible());
    }
    QVERIFY(!f.model->safeSheet());
    QVERIFY(f.model->safeRun().has_value());
    f.model->startSafeUpdates();
    SafeUpdatesSheet again(*f.model);
    QVERIFY(child(&again, "safeConfirm"));
    QVERIFY(child<QCheckBox>(&again, "safePick:/Applications/Alpha.app")->isChecked());
    // The model closing the sheet closes it.
    again.show();
    f.model->setSafeSheet(false);
    QVERIFY(!again.isVisible());
  }
};

QTEST_MAIN(SafeUpdatesSheetTest)
#include "SafeUpdatesSheetTest.moc"
