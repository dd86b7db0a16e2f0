// New Mac Check over a real Moving Day folder made by the copier in a
// temporary old home, compared with a new home through the model.
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include "app/screens/movingday/DiffRows.h"
#include "app/screens/movingday/DiffView.h"
#include "app/screens/movingday/MovingDayBlocks.h"
#include "app/screens/movingday/NewMacPane.h"
#include "app/ui/Card.h"
#include "app/ui/FittedListView.h"
#include "app/ui/Stat.h"
#include "kit/movingday/SettingsCopier.h"
#include "tests/app/screens/movingday/MovingDayFixture.h"

using namespace larkvale;
using namespace larkvale::test;
using movingday::DiffRowDelegate;

namespace {

MovingManifest::App manifestApp(const std::string& name, const std::string& version) {
  MovingManifest::App app;
  app.name = name;
  app.bundleID = "com.example." + name;
  app.version = version;
  app.source = "unknown";
  app.installHow = "Download from the developer's website";
  return app;
}

InstalledApp installed(const std::string& name, const std::string& version) {
  InstalledApp app = source(name, UpdateSource::unknown()).app;
  app.version = app.build = version;
  return app;
}

}  // namespace

class NewMacPaneTest : public QObject {
  Q_OBJECT

 private:
  // A Moving Day folder from an old Mac with two settings items and these
  // apps, made by the copier itself.
  static std::filesystem::path movingDayFolder(MovingDayFixture& f, const std::string& macName,
                                               std::vector<MovingManifest::App> apps) {
    f.tmp.write("old/Library/Preferences/com.example.Kept.plist", "kept");
    f.tmp.write("old/Library/Application Support/Notes/n.txt", "note");
    const std::vector<SettingsPick> picks = {
        {"~/Library/Preferences/com.example.Kept.plist", "Kept", "com.example.Kept"},
        {"~/Library/Application Support/Notes", "Notes", "com.example.Notes"}};
    return SettingsCopier(f.tmp / "old")
        .copy(picks, apps, f.tmp.mkdir("drive"), macName, "15.1.0", f.fakes.clock->now())
        .folder;
  }

  static void open(MovingDayFixture& f, QWidget& pane, const std::filesystem::path& folder) {
    f.fakes.panels->nextOpen.push_back(folder);
    QTest::mouseClick(child<QPushButton>(&pane, "openMovingDayFolder"), Qt::LeftButton);
    QVERIFY(waitUntil([&] { return !f.model->newMacLoading(); }));
    settle();
  }

  static QStringList stats(const QWidget& pane) {
    QStringList out;
    for (auto* stat : child(&pane, "diffStats")->findChildren<ui::Stat*>()) out << stat->value();
    return out;
  }

 private slots:
  void comparesAFolderAndOffersWhatIsMissing() {
    MovingDayFixture f;
    auto store = manifestApp("Shop", "3.0");
    store.storeTrackID = 42;
    store.githubRepo = "owner/shop";  // the store wins
    auto gitty = manifestApp("Gitty", "2.0");
    gitty.githubRepo = "owner/gitty";
    auto hostile = manifestApp("Hostile", "1.0");
    hostile.githubRepo = "evil.example/x?y=../../z";  // no valid repository: no link
    auto brewy = manifestApp("Brewy", "1.0");
    brewy.caskToken = "brewy";
    auto bad = manifestApp("BadCask", "1.0");
    bad.caskToken = "-rf";
    const auto folder = movingDayFolder(f, "<b>Old</b> Mac",
                                        {store, gitty, hostile, brewy, bad,
                                         manifestApp("Same", "1.0"), manifestApp("Behind", "2.0")});
    f.fakes.scanner->setApps({installed("Same", "1.0"), installed("Behind", "1.5")});
    f.tmp.write("home/Library/Preferences/com.example.Kept.plist", "kept");
    QVERIFY(f.tmp.remove(folder / "Settings/Library/Application Support/Notes"));

    movingday::NewMacPane pane(*f.model);
    pane.setPalette(darkPalette());
    pane.resize(960, 1400);
    pane.show();
    QVERIFY(shown(child(&pane, "newMacEmpty")));
    f.fakes.scanner->scanGate.arm();
    f.fakes.panels->nextOpen.push_back(folder);
    QTest::mouseClick(child<QPushButton>(&pane, "openMovingDayFolder"), Qt::LeftButton);
    QVERIFY(f.fakes.scanner->scanGate.waitUntilHeld());
    // The loading view is shown from the event loop.
    QVERIFY(waitUntil([&] { return shown(child(&pane, "newMacLoading")); }));
    f.fakes.scanner->scanGate.open();
    QVERIFY(waitUntil([&] { return !f.model->newMacLoading(); }));
    QVERIFY(QTest::qWaitForWindowExposed(&pane));

    QCOMPARE(stats(pane), QStringList({"5", "1", "1", "2"}));
    QVERIFY(!child(&pane, "completeCard"));
    // The old Mac's name is escaped in the one rich line and plain elsewhere.
    const QString source = child<QLabel>(&pane, "diffSource")->text();
    QVERIFY(source.startsWith("From <b>&lt;b&gt;Old&lt;/b&gt; Mac</b>, copied "));
    QVERIFY(source.contains(" (macOS 15.1.0) · Larkvale Moving Day &lt;b&gt;Old&lt;-b&gt; Mac "));
    // A folder made without a known system version names none.
    NewMacDiff unversioned = *f.model->newMacDiff();
    unversioned.manifest.systemVersion.clear();
    const QString created = movingday::dateTimeText(unversioned.manifest.created).toHtmlEscaped();
    QVERIFY(movingday::DiffView::sourceLine(unversioned)
                .contains(", copied " + created + " · Larkvale"));
    QCOMPARE(child<ui::Card>(&pane, "olderCard")->title(),
             QString("Older here than on <b>Old</b> Mac (1)"));
    QCOMPARE(child<QLabel>(&pane, "olderLines")->text(),
             QString("Behind: 1.5 here, 2.0 there. The Updates list offers the update."));
    QCOMPARE(child<QLabel>(&pane, "alreadyHereText")->text(), QString("Same, Kept settings"));

    QCOMPARE(child<QLabel>(&pane, "brewCommand")->text(), QString("brew install --cask brewy"));
    // The buttons' symbols read on the dark palette.
    const QColor text = darkPalette().color(QPalette::ButtonText);
    QVERIFY(symbolDrawnIn(child<QPushButton>(&pane, "openMovingDayFolder"), text));
    QVERIFY(symbolDrawnIn(child<QToolButton>(&pane, "copyBrewCommand"), text));
    // The links are drawn hovered and pressed as the pointer goes over
    // them and the button goes down.
    {
      settle();
      auto* list = child<ui::FittedListView>(&pane, "missingApps");
      auto* rows = static_cast<DiffRowDelegate*>(list->itemDelegate());
      const auto [rest, hovered, pressed] =
          controlLooks(list, rows->buttonRect(list, list->model()->index(0, 0)));
      QVERIFY(hovered != rest);
      QVERIFY(pressed != hovered);
      QVERIFY(f.fakes.workspace->opened.empty());
    }
    QTest::mouseClick(child<QToolButton>(&pane, "copyBrewCommand"), Qt::LeftButton);
    QCOMPARE(f.fakes.clipboard->texts.back(), QString("brew install --cask brewy"));
    QCOMPARE(f.notice(), std::string("Copied: brew install --cask brewy"));

    // Missing apps keep the manifest's order.
    auto* apps = child<ui::FittedListView>(&pane, "missingApps");
    auto* delegate = static_cast<DiffRowDelegate*>(apps->itemDelegate());
    auto button = [&](int row) { return delegate->buttonRect(apps, apps->model()->index(row, 0)); };
    QStringList names;
    for (int row = 0; row < apps->model()->rowCount(); ++row) {
      names << apps->model()->index(row, 0).data().toString();
    }
    QCOMPARE(names,
             QStringList({"Shop 3.0", "Gitty 2.0", "Hostile 1.0", "Brewy 1.0", "BadCask 1.0"}));
    QVERIFY(button(2).isEmpty());
    QVERIFY(button(3).isEmpty());
    QTest::mouseClick(apps->viewport(), Qt::LeftButton, {}, button(1).center());
    QTest::mouseClick(apps->viewport(), Qt::LeftButton, {}, button(0).center());
    QCOMPARE(f.fakes.workspace->opened,
             (std::vector<std::string>{"https://github.com/owner/gitty/releases",
                                       "macappstore://apps.apple.com/app/id42"}));

    // The missing setting's copy was removed from the folder: no button.
    auto* settings = child<ui::FittedListView>(&pane, "missingSettings");
    const QModelIndex notes = settings->model()->index(0, 0);
    QCOMPARE(notes.data().toString(), QString("~/Library/Application Support/Notes"));
    QCOMPARE(notes.data(movingday::MissingSettingsModel::captionRole).toString(),
             QString("Notes · 1 files"));
    QVERIFY(static_cast<DiffRowDelegate*>(settings->itemDelegate())
                ->buttonRect(settings, notes)
                .isEmpty());
  }

  void aCompleteFolderAndAShownCopy() {
    MovingDayFixture f;
    const auto folder = movingDayFolder(f, "Old Mac", {});
    f.tmp.write("home/Library/Application Support/Notes/n.txt", "note");
    movingday::NewMacPane pane(*f.model);
    pane.resize(960, 900);
    pane.show();
    open(f, pane, folder);
    QCOMPARE(stats(pane), QStringList({"0", "0", "1", "1"}));
    auto* settings = child<ui::FittedListView>(&pane, "missingSettings");
    const QModelIndex kept = settings->model()->index(0, 0);
    // "Show Copy" looks hovered and pressed as a button does.
    settle();
    const auto [rest, hovered, pressed] = controlLooks(
        settings,
        static_cast<DiffRowDelegate*>(settings->itemDelegate())->buttonRect(settings, kept));
    QVERIFY(hovered != rest);
    QVERIFY(pressed != hovered);
    QVERIFY(pressed != rest);
    QVERIFY(f.fakes.workspace->revealed.empty());
    QTest::mouseClick(settings->viewport(), Qt::LeftButton, {},
                      static_cast<DiffRowDelegate*>(settings->itemDelegate())
                          ->buttonRect(settings, kept)
                          .center());
    QCOMPARE(f.fakes.workspace->revealed.back(),
             folder / "Settings/Library/Preferences/com.example.Kept.plist");
    // From the keyboard: the row's button names itself and Return presses
    // it; Ctrl+C copies the path to paste into the file manager.
    settings->setFocus(Qt::TabFocusReason);
    QCOMPARE(settings->currentIndex(), kept);
    QCOMPARE(settings->accessibleDescription(),
             QString("Show Copy of ~/Library/Preferences/com.example.Kept.plist"));
    QTest::keyClick(settings, Qt::Key_Return);
    QCOMPARE(f.fakes.workspace->revealed.size(), size_t(2));
    QTest::keyClick(settings, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(f.fakes.clipboard->texts.back(),
             QString("~/Library/Preferences/com.example.Kept.plist"));

    f.tmp.write("home/Library/Preferences/com.example.Kept.plist", "kept");
    open(f, pane, folder / "manifest.json");
    QCOMPARE(child<ui::Card>(&pane, "completeCard")->title(),
             QString("Everything from Old Mac is here"));
    QVERIFY(!child(&pane, "settingsCard"));
    QVERIFY(child(&pane, "alreadyHereCard"));
  }

  // A hand-edited manifest: how to install an app shows and copies as one
  // clean line; a path shows its hidden characters written out, while the
  // comparison, "Show Copy" and "Copy Path" use it as written.
  void hostileManifestTextsShowSafely() {
    MovingDayFixture f;
    const std::string hidden =
        "a\u202Eb\u2066\u2069\u200E\u200F\x01\x1B\x7F\u0085\u009B\u2028\u2029\t\n";
    const QString visible =
        R"(a\u202Eb\u2066\u2069\u200E\u200F\u0001\u001B\u007F\u0085\u009B\u2028\u2029\u0009\u000A)";
    MovingManifest manifest;
    manifest.created = f.fakes.clock->now();
    manifest.macName = "Old Mac";
    manifest.systemVersion = "15.1.0";
    auto app = manifestApp("Evil", "1.0");
    app.installHow = "Download\u2028from\u202E evil.example\x1B[2J\t";
    manifest.apps = {app};
    auto setting = [](const std::string& name) {
      const std::string rest = "Library/Preferences/" + name + ".plist";
      return MovingManifest::Setting{"~/" + rest, "Evil", "com.example.Evil", false,
                                     1,           1,      "Settings/" + rest};
    };
    manifest.settings = {setting("here" + hidden), setting(hidden)};
    const auto folder = f.tmp.mkdir("drive/Moving Day");
    f.tmp.write("drive/Moving Day/manifest.json", MovingManifest::writeManifest(manifest));
    f.tmp.write("drive/Moving Day/Settings/Library/Preferences/" + hidden + ".plist", "copy");
    f.tmp.write("home/Library/Preferences/here" + hidden + ".plist", "here");

    movingday::NewMacPane pane(*f.model);
    pane.resize(960, 900);
    pane.show();
    open(f, pane, folder);
    QCOMPARE(stats(pane), QStringList({"1", "0", "1", "1"}));

    const QString install("Download from evil.example[2J ");
    auto* apps = child<ui::FittedListView>(&pane, "missingApps");
    QCOMPARE(apps->model()->index(0, 0).data(movingday::MissingAppsModel::installRole).toString(),
             install);
    apps->setFocus(Qt::TabFocusReason);
    QTest::keyClick(apps, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(f.fakes.clipboard->texts.back(), install);

    const QString path = "~/Library/Preferences/" + visible + ".plist";
    auto* settings = child<ui::FittedListView>(&pane, "missingSettings");
    const QModelIndex row = settings->model()->index(0, 0);
    QCOMPARE(row.data().toString(), path);
    QCOMPARE(row.data(Qt::AccessibleTextRole).toString(), path);
    QCOMPARE(row.data(Qt::ToolTipRole).toString(), path);
    settings->setFocus(Qt::TabFocusReason);
    QCOMPARE(settings->accessibleDescription(), "Show Copy of " + path);
    QTest::keyClick(settings, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(f.fakes.clipboard->texts.back(),
             QString::fromStdString("~/Library/Preferences/" + hidden + ".plist"));
    QTest::keyClick(settings, Qt::Key_Return);
    QCOMPARE(f.fakes.workspace->revealed.back(),
             folder / ("Settings/Library/Preferences/" + hidden + ".plist"));
  }

  void aRefusedManifestLeavesThePaneAsItWas() {
    MovingDayFixture f;
    f.tmp.write("newer/manifest.json", R"({"schema": 2, "macName": "Future"})");
    movingday::NewMacPane pane(*f.model);
    pane.show();
    open(f, pane, f.tmp / "newer");
    QVERIFY(!f.model->newMacDiff());
    QVERIFY(waitUntil([&] { return shown(child(&pane, "newMacEmpty")); }));
  }

  void appLinksNeedAStoreIdentifierOrAPlainRepository() {
    auto app = manifestApp("X", "1");
    QVERIFY(!movingday::appLink(app));
    app.githubRepo = "owner/name";
    QCOMPARE(movingday::appLink(app)->label, QString("Releases Page"));
    app.githubRepo = "javascript:alert(1)//x/y";
    QVERIFY(!movingday::appLink(app));
  }
};

QTEST_MAIN(NewMacPaneTest)
#include "NewMacPaneTest.moc"
