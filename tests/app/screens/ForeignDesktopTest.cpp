// CMakeLists.txt runs this program on a French, a Spanish and a German
// desktop. The app's texts are English, and so is every date and size
// written into them: the update detail's hold line, the lists' last check,
// the History days, Copy Settings' sizes and the Moving Day folder's line. A
// date standing on its own (the Released column) keeps the user's locale.
#include <QAbstractItemView>
#include <QTest>

#include "app/screens/movingday/DiffView.h"
#include "app/screens/movingday/MovingDayBlocks.h"
#include "app/screens/updates/HistoryView.h"
#include "app/screens/updates/UpdateDates.h"
#include "tests/app/screens/updates/ScreensFixture.h"

using namespace larkvale;
using namespace larkvale::test;

class ForeignDesktopTest : public QObject {
  Q_OBJECT

 private slots:
  void englishInsideEverySentence() {
    QVERIFY(QLocale::system().language() != QLocale::English);
    const Date when = *Dates::parseIso8601("2026-12-05T10:00:00Z");

    // Dates in sentences, and the column's date in the user's own locale.
    const QString inSentence = AbbreviatedDates(AbbreviatedDates::Place::inSentence).format(when);
    QCOMPARE(inSentence, QString("Dec 5, 2026"));
    const QString alone = AbbreviatedDates().format(when);
    QVERIFY2(!alone.isEmpty() && alone != inSentence, qPrintable(alone));
    QCOMPARE(RelativeDates::format(when - std::chrono::hours(50), when), QString("2 days ago"));

    // History's day titles.
    ScreensFixture f;
    HistoryView history(*f.model);
    f.model->mutateState([&](AppState& s) {
      s.history = {{when, "Zed", "com.example.Zed", "1.0", "2.0", "Homebrew cask"}};
    });
    auto* days = history.findChild<QAbstractItemView*>("historyList");
    QCOMPARE(days->model()->index(0, 0).data().toString(), QString("Saturday, December 5, 2026"));

    // Moving Day: sizes and the folder's line.
    QCOMPARE(movingday::sizeText(1438), QString("1.4 kB"));
    QCOMPARE(movingday::sizeText(2'500'000), QString("2.5 MB"));
    MovingManifest manifest;
    manifest.macName = "Old Mac";
    manifest.created = when;
    const NewMacDiff diff(manifest, f.tmp / "Larkvale Moving Day Old Mac", {}, f.tmp / "home");
    QCOMPARE(movingday::DiffView::sourceLine(diff),
             QString("From <b>Old Mac</b>, copied Dec 5, 2026, 10:00\u202fAM · Larkvale Moving Day "
                     "Old Mac"));
  }
};

QTEST_MAIN(ForeignDesktopTest)
#include "ForeignDesktopTest.moc"
