// The hold sheet.
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/screens/updates/HoldSheet.h"
#include "tests/app/screens/updates/ScreensFixture.h"

using namespace larkvale;
using namespace larkvale::test;

class HoldSheetTest : public QObject {
  Q_OBJECT

 private slots:
  void holdRecordsTheTrimmedReasonAndEscapeCancels() {
    Rig rig;
    auto u = update("Pluggy");
    rig.report({u});
    {
      HoldSheet sheet(u, *rig.model);
      sheet.show();
      QVERIFY(QTest::qWaitForWindowActive(&sheet));
      QTest::keyClicks(sheet.findChild<QPlainTextEdit*>("holdReason"), "ignored");
      QTest::keyClick(sheet.findChild<QPlainTextEdit*>("holdReason"), Qt::Key_Escape);
      QCOMPARE(sheet.result(), int(QDialog::Rejected));
      QVERIFY(rig.model->state().holds.empty());
    }
    HoldSheet sheet(u, *rig.model);
    QCOMPARE(sheet.findChild<QLabel*>("holdTitle")->text(), "Hold Pluggy?");
    QVERIFY(sheet.findChild<QPlainTextEdit*>("holdReason")->toPlainText().isEmpty());
    sheet.show();
    QVERIFY(QTest::qWaitForWindowActive(&sheet));
    QPlainTextEdit* field = sheet.findChild<QPlainTextEdit*>("holdReason");
    QTest::keyClicks(field, "  Plug-ins");
    QTest::keyClick(field, Qt::Key_Return, Qt::ShiftModifier);
    QTest::keyClicks(field, "aren't ready ");
    QTest::mouseClick(sheet.findChild<QPushButton*>("holdConfirm"), Qt::LeftButton);
    QCOMPARE(sheet.result(), int(QDialog::Accepted));
    QCOMPARE(rig.model->state().holds.at(u.app.bundleID).reason, "Plug-ins\naren't ready");
  }
};

QTEST_MAIN(HoldSheetTest)
#include "HoldSheetTest.moc"
