// The update detail: its two sentences, the hint, the cards and labels it
// shows for a state, and texts that stay plain.
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>

#include "app/screens/updates/UpdateDetail.h"
#include "app/ui/Card.h"
#include "app/ui/ClampedLabel.h"
#include "tests/app/screens/updates/ScreensFixture.h"

using namespace larkvale;
using namespace larkvale::test;
using UpdateDetailText::sourceDescription;
using UpdateDetailText::versionLine;

namespace {

// The text of a label inside the detail, or a null string when it is absent.
QString shown(UpdateDetail& detail, const char* name) {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  if (auto* clamped = detail.findChild<ui::ClampedLabel*>(name)) return clamped->text();
  auto* label = detail.findChild<QLabel*>(name);
  return label && label->isVisibleTo(&detail) ? label->text() : QString();
}

QString cardTitle(UpdateDetail& detail, const char* card) {
  auto* found = detail.findChild<ui::Card*>(card);
  return found ? found->title() : QString();
}

}  // namespace

class DetailViewTest : public QObject {
  Q_OBJECT

 private slots:
  void sentences() {
    auto u = update("A", UpdateStatus::upToDate());
    QCOMPARE(versionLine(u), "1.0 installed · latest 2.0");
    u.status = UpdateStatus::updateAvailable();
    QCOMPARE(versionLine(u), "1.0 installed · 2.0 available");
    u.latestVersion.reset();
    QCOMPARE(versionLine(u), "1.0 installed");

    QCOMPARE(sourceDescription(u),
             "The app's own Sparkle feed at example.com. Updates install through the app's own "
             "updater.");
    u.source = UpdateSource::sparkle("feed without host");
    QVERIFY(sourceDescription(u).startsWith("The app's own Sparkle feed at feed without host. "));
    u.source = UpdateSource::homebrew("tok");
    QCOMPARE(
        sourceDescription(u),
        "Homebrew cask “tok”. Upgrading runs brew in a terminal window, after you press Return.");
    u.caskAutoUpdates = true;
    QCOMPARE(sourceDescription(u),
             "Homebrew cask “tok” (the app also updates itself). Upgrading runs brew in "
             "a terminal window, after you press Return.");
    u.source = UpdateSource::github("o/n");
    QCOMPARE(sourceDescription(u),
             "The newest release on GitHub (o/n), asked without signing in and saved for 6 "
             "hours. You download and install it yourself.");
    u.app.selfUpdater = "Sparkle";
    QVERIFY(sourceDescription(u).endsWith("install it yourself, or let Sparkle do it."));
    u.source = UpdateSource::unknown();
    QCOMPARE(sourceDescription(u), "No feed Larkvale can read. It updates with Sparkle.");
    u.app.selfUpdater.reset();
    QCOMPARE(sourceDescription(u),
             "No update feed found. Larkvale doesn't guess: check the developer's website.");
    u.source = UpdateSource::apple();
    QCOMPARE(sourceDescription(u), "Comes with macOS and updates with macOS itself.");
    u.source = UpdateSource::appStore();
    QCOMPARE(sourceDescription(u), "The Mac App Store. Updates install from the App Store app.");
  }

  void hintWithoutASelectedUpdate() {
    Rig rig;
    rig.report({update("A")});
    UpdateDetail detail(*rig.model);
    QCOMPARE(shown(detail, "emptyTitle"), "Select an app");
    QCOMPARE(shown(detail, "emptyDescription"),
             "Its versions, release notes and update buttons show here.");
    rig.model->setSelection(QString("/Applications/Gone.app"));
    QCOMPARE(shown(detail, "emptyTitle"), "Select an app");
    rig.select(update("A"));
    QCOMPARE(shown(detail, "emptyTitle"), QString());
    QCOMPARE(shown(detail, "detailName"), "A");
  }

  void cardsAndLabelsFollowTheState() {
    Rig rig;
    auto failed = update("Failed", UpdateStatus::notChecked("The feed answered 503."),
                         UpdateSource::sparkle("https://e.com/f"), std::nullopt);
    failed.remark = "A remark.";
    failed.notes = "";
    rig.report({failed});
    rig.select(failed);
    UpdateDetail detail(*rig.model);
    QCOMPARE(shown(detail, "detailVersions"), "1.0 installed");
    QCOMPARE(shown(detail, "checkFailureText"), "The feed answered 503.");
    QCOMPARE(shown(detail, "remarkText"), "A remark.");
    QCOMPARE(cardTitle(detail, "notesCard"), "Release notes");
    QCOMPARE(cardTitle(detail, "holdCard"), QString());

    // A hold shows its note whatever the status; an empty reason says so.
    rig.model->mutateState([](AppState& s) { s.holds["com.example.Failed"] = Hold{"", {}}; });
    QVERIFY(cardTitle(detail, "holdCard").startsWith("On hold since "));
    QCOMPARE(shown(detail, "holdReason"), "No reason given.");
    rig.model->mutateState([](AppState& s) {
      s.holds["com.example.Failed"].reason = "Waits for plug-ins.";
      s.lastReport->updates[0].latestVersion = "3.0";
    });
    QCOMPARE(shown(detail, "holdReason"), "Waits for plug-ins.");
    QCOMPARE(cardTitle(detail, "notesCard"), "Release notes for 3.0");
  }

  // Release notes keep their line breaks, each line on a line of its own.
  void releaseNotesKeepTheirLines() {
    Rig rig;
    auto u = update("A");
    u.notes = "line 1\nline 2";
    rig.report({u});
    rig.select(u);
    UpdateDetail detail(*rig.model);
    QCOMPARE(shown(detail, "notes"), "line 1\nline 2");
    auto* notes = detail.findChild<QLabel*>("notes");
    QVERIFY(notes->heightForWidth(2000) >= 2 * notes->fontMetrics().height());
  }

  // A 100-character name leaves the chip and the buttons on the page; the
  // bundle's path is reached by Tab and copied with Ctrl+A, Ctrl+C.
  void longNamesFitAndPathsCopy() {
    Rig rig;
    auto u = update(std::string(100, 'W'));
    rig.report({u});
    rig.select(u);
    UpdateDetail detail(*rig.model);
    detail.resize(680, 400);
    detail.show();
    QVERIFY(QTest::qWaitForWindowActive(&detail));
    for (const char* name : {"detailStatus", "skipVersion", "showInFileManager"}) {
      auto* widget = detail.findChild<QWidget*>(name);
      QVERIFY2(widget->mapTo(&detail, widget->rect().bottomRight()).x() < detail.width(), name);
    }
    auto* path = detail.findChild<QLabel*>("bundlePath");
    QVERIFY(path->focusPolicy() & Qt::TabFocus);
    path->setFocus();
    QTest::keyClick(path, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(path, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromStdString(u.app.path));
  }
};

QTEST_MAIN(DetailViewTest)
#include "DetailViewTest.moc"
