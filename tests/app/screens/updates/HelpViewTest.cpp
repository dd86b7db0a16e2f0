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
    QStringList titles;
    for (auto* card : help.findChildren<ui::Card*>()) titles << card->title();
    QCOMPARE(titles, QStringList({"Updates", "Skip and hold", "Moving day", "Tray",
                                  "Larkvale's own updates"}));

    auto* updates = help.findChildren<ui::Card*>().first();
    QStringList texts;
    for (auto* label : updates->findChildren<QLabel*>("helpText")) {
      QVERIFY(label->wordWrap());
      texts << label->text();
    }
    QCOMPARE(texts.size(), 7);
    QCOMPARE(texts[0], QString("Check Now (Ctrl+R) lists the apps in /Applications and "
                               "~/Applications and asks where each one's updates come from:"));
    QCOMPARE(texts[1], QString("• <b>Sparkle feed</b>: the app's own appcast. Open &amp; "
                               "Check for Updates opens the app so its updater installs the new "
                               "version."));
    QVERIFY(texts[4].startsWith("• <b>App Store</b>: "));
    QVERIFY(texts[5].startsWith("<b>Update All That Are Safe…</b> lists the Sparkle"));
    QVERIFY(texts[6].startsWith("• <b>macOS</b> and <b>No feed</b>: "));
    QVERIFY(help.findChild<QPushButton*>("moreAppsButton"));
  }

  void fixedMarksOnlyBecomeMarkup() {
    QCOMPARE(viewblocks::richText("a **<b>** and `x<y` and ** open"),
             QString("a <b>&lt;b&gt;</b> and <code>x&lt;y</code> and ** open"));
  }
};

QTEST_MAIN(HelpViewTest)
#include "HelpViewTest.moc"
