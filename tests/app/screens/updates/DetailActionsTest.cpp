// The per-update actions: which show for each source and state, what each
// one calls, and the context menu's compact form.
#include <QMenu>
#include <QPushButton>

#include "app/screens/updates/UpdateActions.h"
#include "app/screens/updates/UpdateDetail.h"
#include "tests/app/screens/updates/ScreensFixture.h"

using namespace larkvale;
using namespace larkvale::test;

namespace {

const auto kWaiting = UpdateStatus::updateAvailable();

QList<QPushButton*> buttons(UpdateDetail& detail) {
  QWidget* row = detail.findChild<QWidget*>("detailActions");
  return row ? row->findChildren<QPushButton*>() : QList<QPushButton*>();
}

QPushButton* button(UpdateDetail& detail, const char* key) {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  for (QPushButton* b : buttons(detail)) {
    if (b->objectName() == key) return b;
  }
  return nullptr;
}

AppUpdate withLinks(AppUpdate u, std::optional<std::string> notes,
                    std::optional<std::string> download) {
  u.notesURL = std::move(notes);
  u.downloadURL = std::move(download);
  return u;
}

}  // namespace

class DetailActionsTest : public QObject {
  Q_OBJECT

 private slots:
  void groupsBySourceAndState_data() {
    QTest::addColumn<AppUpdate>("update");
    QTest::addColumn<QString>("state");  // "", "skipped", "held" or "held+skipped"
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QStringList>("disabled");
    QTest::addColumn<bool>("prominent");
    const auto gh = UpdateSource::github("owner/name");
    QTest::newRow("sparkle") << withLinks(update("A"), "https://n", "https://d") << ""
                             << QStringList{"openAndCheck", "downloadInBrowser",
                                            "releaseNotes", "skipVersion",
                                            "hold",         "showInFileManager"}
                             << QStringList{} << true;
    AppUpdate own = withLinks(update("Larkvale"), "https://n", "https://d");
    own.app.bundleID = "com.tarn4820.Larkvale";
    QTest::newRow("own app") << own << ""
                             << QStringList{"checkForUpdates", "releaseNotes", "skipVersion",
                                            "hold", "showInFileManager"}
                             << QStringList{} << true;
    QTest::newRow("skipped") << update("A") << "skipped"
                             << QStringList{"openAndCheck", "offerAgain", "hold",
                                            "showInFileManager"}
                             << QStringList{} << false;
    QTest::newRow("held and skipped")
        << update("A") << "held+skipped"
        << QStringList{"openAndCheck", "releaseHold", "showInFileManager"} << QStringList{}
        << false;
    QTest::newRow("homebrew, current")
        << update("A", UpdateStatus::upToDate(), UpdateSource::homebrew("a")) << ""
        << QStringList{"upgradeInTerminal", "copyCommand", "hold", "showInFileManager"}
        << QStringList{"upgradeInTerminal"} << false;
    QTest::newRow("github, download is the notes")
        << withLinks(update("A", kWaiting, gh), "https://same", "https://same") << ""
        << QStringList{"openReleasePage", "openApp", "skipVersion", "hold", "showInFileManager"}
        << QStringList{} << true;
    QTest::newRow("github, no notes")
        << withLinks(update("A", kWaiting, gh), std::nullopt, "https://d") << ""
        << QStringList{"openReleasePage",  "downloadInBrowser", "openApp", "skipVersion", "hold",
                       "showInFileManager"}
        << QStringList{} << true;
    QTest::newRow("app store, no track id")
        << update("A", kWaiting, UpdateSource::appStore()) << ""
        << QStringList{"openInAppStore", "skipVersion", "hold", "showInFileManager"}
        << QStringList{"openInAppStore"} << true;
    QTest::newRow("macOS, held") << update("A", UpdateStatus::noSource(), UpdateSource::apple())
                                 << "held" << QStringList{"showInFileManager"} << QStringList{}
                                 << false;
    QTest::newRow("unknown") << update("A", UpdateStatus::noSource(), UpdateSource::unknown()) << ""
                             << QStringList{"openApp", "hold", "showInFileManager"} << QStringList{}
                             << false;
  }

  void groupsBySourceAndState() {
    QFETCH(AppUpdate, update);
    QFETCH(QString, state);
    QFETCH(QStringList, keys);
    QFETCH(QStringList, disabled);
    QFETCH(bool, prominent);
    Rig rig;
    rig.report({update});
    rig.model->mutateState([&](AppState& s) {
      if (state.contains("skipped")) s.skipped[update.app.bundleID] = "2.0";
      if (state.contains("held")) s.holds[update.app.bundleID] = Hold{"", {}};
    });
    rig.select(update);
    UpdateDetail detail(*rig.model);
    const QList<QPushButton*> shown = buttons(detail);
    QCOMPARE(namesOf(shown), keys);
    QStringList off;
    for (QPushButton* b : shown) {
      if (!b->isEnabled()) off << b->objectName();
      QCOMPARE(b->property("prominent").toBool(), prominent && b == shown.front());
    }
    QCOMPARE(off, disabled);

    // The context menu: the same controls (and the decision group for macOS
    // apps too), never prominent.
    QMenu menu;
    UpdateActions::addToMenu(*rig.model, update, &menu);
    if (update.source.kind() == UpdateSource::Kind::apple) {
      keys.insert(0, "releaseHold");
    }
    QCOMPARE(namesOf(menu.actions()), keys);
    for (const auto& action : UpdateActions::actions(*rig.model, update, true)) {
      QVERIFY(!action.prominent);
    }
  }

  void whatEachControlCalls() {
    Rig rig;
    auto sparkle = withLinks(update("Sparkly"), "https://notes", "https://download");
    auto cask = update("Casky", kWaiting, UpdateSource::homebrew("casky"));
    auto github = update("Hubby", kWaiting, UpdateSource::github("owner/hubby"));
    auto badRepo = update("Odd", kWaiting, UpdateSource::github("not a repo"));
    auto store = update("Storey", kWaiting, UpdateSource::appStore());
    store.storeTrackID = 42;
    auto own = update("Larkvale");
    own.app.bundleID = "com.tarn4820.Larkvale";
    rig.report({sparkle, cask, github, badRepo, store, own});
    UpdateDetail detail(*rig.model);
    auto& opened = rig.fakes.workspace->opened;

    rig.select(sparkle);
    QTest::mouseClick(button(detail, "downloadInBrowser"), Qt::LeftButton);
    QTest::mouseClick(button(detail, "releaseNotes"), Qt::LeftButton);
    QCOMPARE(opened, std::vector<std::string>({"https://download", "https://notes"}));
    QTest::mouseClick(button(detail, "showInFileManager"), Qt::LeftButton);
    QCOMPARE(rig.fakes.workspace->revealed.back(), sparkle.app.path);
    QTest::mouseClick(button(detail, "openAndCheck"), Qt::LeftButton);
    QVERIFY(waitUntil([&] { return rig.fakes.menuPress->presses().size() == 1; }));
    QTest::mouseClick(button(detail, "skipVersion"), Qt::LeftButton);
    QCOMPARE(rig.model->state().skipped.at(sparkle.app.bundleID), "2.0");
    QTest::mouseClick(button(detail, "offerAgain"), Qt::LeftButton);
    QVERIFY(rig.model->state().skipped.empty());
    QTest::mouseClick(button(detail, "hold"), Qt::LeftButton);
    QCOMPARE(rig.model->holdRequest(), OptionalUpdate(sparkle));

    rig.select(cask);
    QTest::mouseClick(button(detail, "upgradeInTerminal"), Qt::LeftButton);
    QCOMPARE(rig.fakes.terminal->calls.at(0).tokens, std::vector<std::string>{"casky"});
    QTest::mouseClick(button(detail, "copyCommand"), Qt::LeftButton);
    QCOMPARE(rig.fakes.clipboard->texts.back(), "brew upgrade --cask casky");

    // Without a release-notes link the repository's releases page opens; a
    // repository text that names none opens nothing.
    rig.select(github);
    QTest::mouseClick(button(detail, "openReleasePage"), Qt::LeftButton);
    QCOMPARE(opened.back(), "https://github.com/owner/hubby/releases");
    rig.select(badRepo);
    QTest::mouseClick(button(detail, "openReleasePage"), Qt::LeftButton);
    QCOMPARE(opened.size(), 3u);

    rig.select(store);
    QTest::mouseClick(button(detail, "openInAppStore"), Qt::LeftButton);
    QCOMPARE(opened.back(), "macappstore://apps.apple.com/app/id42");

    rig.select(own);
    QCOMPARE(button(detail, "checkForUpdates")->toolTip(),
             "Larkvale's own update check asks maker.example and shows the new version's page; it "
             "never installs itself");
    QTest::mouseClick(button(detail, "checkForUpdates"), Qt::LeftButton);
    QCOMPARE(rig.fakes.ownUpdater->checks, 1);
    QCOMPARE(rig.fakes.menuPress->presses().size(), 1u);
  }

  void helpTextsFollowTheModel() {
    Rig rig;
    auto sparkle = update("Sparkly");
    rig.report({sparkle, update("Casky", kWaiting, UpdateSource::homebrew("casky"))});
    rig.select(sparkle);
    UpdateDetail detail(*rig.model);
    QCOMPARE(button(detail, "openAndCheck")->toolTip(),
             "Opens the app; then choose Check for Updates… in its menu");
    QCOMPARE(button(detail, "openAndCheck")->text(), "Open && Check for Updates");
    QCOMPARE(button(detail, "hold")->toolTip(),
             "Never offer updates for this app, with a note why");
    QVERIFY(button(detail, "skipVersion")->toolTip().isEmpty());
    rig.fakes.menuPress->trusted = true;
    rig.model->refreshPermissions();
    QCOMPARE(button(detail, "openAndCheck")->toolTip(),
             "Opens the app and presses its Check for Updates… item");
    rig.model->setSelection(QString("/Applications/Casky.app"));
    QCOMPARE(
        button(detail, "upgradeInTerminal")->toolTip(),
        "Opens a terminal window showing the brew command; it runs only when you press Return");
  }
};

QTEST_MAIN(DetailActionsTest)
#include "DetailActionsTest.moc"
