// The help window's content: the cards, their texts with bold source names,
// and the credit footer; every text wraps.
#include <QPushButton>
#include <QTest>

#include "app/screens/updates/HelpView.h"
#include "app/screens/updates/ViewBlocks.h"
#include "app/ui/Card.h"
#include "tests/app/screens/updates/ScreensFixture.h"

using namespace larkvale;
using namespace larkvale::test;

class HelpViewTest : public QObject {
  Q_OBJECT

 private slots:
  void cardsAndTexts() {
    ScreensFixture f;
    auto catalogue = f.catalogue();
    HelpView help(*catalogue);
    auto* updates = help.findChildren<ui::Card*>().first();
    QStringList texts;
    for (auto* label : updates->findChildren<QLabel*>("helpText")) {
      QVERIFY(label->wordWrap());
      texts << label->text();
    }
    QCOMPARE(texts.size(), 7);
    QCOMPARE(texts[0], QString("Check Now (Ctrl+R) lists the apps in /Applications and "
                               "~/Applications and asks where each one's updates come from:"));
    QVERIFY(texts[1].startsWith("• <b>Sparkle feed</b>: "));
    QVERIFY(help.findChild<QPushButton*>("moreAppsButton"));
  }

  void fixedMarksOnlyBecomeMarkup() {
    QCOMPARE(viewblocks::richText("a **<b>** and `x<y` and ** open"),
             QString("a <b>&lt;b&gt;</b> and <code>x&lt;y</code> and ** open"));
  }
};

QTEST_MAIN(HelpViewTest)
#include "HelpViewTest.moc"
