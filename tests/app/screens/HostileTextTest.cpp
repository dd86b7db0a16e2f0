// Outside text that looks like HTML (app names, versions, notes, cask tokens,
// settings paths, a Moving Day folder) on every screen: the main window's
// panes with their details, both sheets, the tray menu and the catalogue
// window. Qt renders a tooltip as HTML whenever Qt::mightBeRichText() holds,
// so each must read back as the plain text it was made from; accessible
// names and visible texts carry the outside text verbatim.
#include <QAbstractItemView>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QTextDocument>

#include <fstream>
#include <sstream>

#include "Pennant/view/MoreAppsWindow.h"
#include "app/screens/ScreenTable.h"
#include "app/shell/TrayIcon.h"
#include "app/ui/PlainTip.h"
#include "app/window/MainWindow.h"
#include "app/window/MoreAppsCatalogue.h"
#include "kit/movingday/MovingDayDocument.h"
#include "kit/movingday/SettingsCopier.h"
#include "platform/PropertyList.h"
#include "platform/TextTrim.h"
#include "tests/app/KitRig.h"
#include "tests/app/screens/movingday/MovingDayFixture.h"

using namespace larkvale;
using namespace larkvale::test;

namespace {

const QString kBold = QStringLiteral("<b>x</b>");
const QString kImage = QStringLiteral("<img src=\"file:///tmp/x.png\">");
const QString kEntity = QStringLiteral("Tom &amp; Jerry");
// A file name can't hold a "/", so paths carry these.
const QString kPathBold = QStringLiteral("<b>x");
const QString kPathImage = QStringLiteral("<img src=\"x.png\">");
const std::string kFolder = "<b>x <img src=\"x.png\"> Tom &amp; Jerry";

std::string s(const QString& text) {
  return text.toStdString();
}

// The texts as a reader gets them, and what would render as HTML.
struct Seen {
  QStringList tips, names, shown, faults;

  void tip(const QString& tip, const QString& where) {
    if (!Qt::mightBeRichText(tip)) return void(tips << tip);
    QTextDocument document;
    document.setHtml(tip);
    tips << document.toPlainText();
    if (ui::plainTip(tips.back()) != tip) faults << where + QStringLiteral(": ") + tip;
  }

  void label(const QLabel& label) {
    const bool rich = label.textFormat() == Qt::RichText ||
                      (label.textFormat() == Qt::AutoText && Qt::mightBeRichText(label.text()));
    if (!rich) shown << label.text();
    if (rich && (label.text().contains(kPathBold) || label.text().contains(u"<img src=")))
      faults << label.objectName() + QStringLiteral(" renders ") + label.text();
  }

  void item(const QAbstractItemModel& model, const QModelIndex& index, const QString& where) {
    tip(index.data(Qt::ToolTipRole).toString(), where);
    names << index.data(Qt::AccessibleTextRole).toString()
          << index.data(Qt::StatusTipRole).toString();
    shown << index.data(Qt::DisplayRole).toString();
    for (int row = 0; row < model.rowCount(index); ++row) {
      for (int column = 0; column < model.columnCount(index); ++column) {
        item(model, model.index(row, column, index), where);
      }
    }
  }

  void widget(QWidget& w) {
    const QString where =
        QString::fromLatin1(w.metaObject()->className()) + QLatin1Char(' ') + w.objectName();
    tip(w.toolTip(), where);
    names << w.accessibleName() << w.statusTip();
    if (auto* l = qobject_cast<QLabel*>(&w)) label(*l);
    if (auto* view = qobject_cast<QAbstractItemView*>(&w); view && view->model()) {
      item(*view->model(), view->rootIndex(), where);
    }
    if (auto* menu = qobject_cast<QMenu*>(&w)) {
      for (QAction* action : menu->actions()) {
        if (menu->toolTipsVisible()) tip(action->toolTip(), where);
        names << action->statusTip();
        shown << action->iconText();
      }
    }
  }

  void everyWindow() {
    settle();
    for (QWidget* top : QApplication::topLevelWidgets()) {
      widget(*top);
      for (QWidget* w : top->findChildren<QWidget*>()) widget(*w);
    }
  }

  static bool anyHas(const QStringList& texts, const QString& part) {
    return std::any_of(texts.begin(), texts.end(),
                       [&](const QString& t) { return t.contains(part); });
  }
};

// The main window with every pane, the tray and an offline catalogue over
// one model.
struct EveryScreen {
  static pennant::MoreAppsConfig offline() {
    pennant::MoreAppsConfig config = moreAppsConfig();
    config.allowsNetwork = false;
    return config;
  }

  EveryScreen(AppModel& model, const std::filesystem::path& cache)
      : catalogue(offline(), {.cacheDirectory = cache}),
        registered((registerScreens(screens, catalogue), true)),
        window(model, screens),
        tray(model, shell) {
    window.show();
  }

  pennant::MoreAppsCatalogue catalogue;
  Screens screens;
  bool registered;  // the screens are handed over before the window is made
  MainWindow window;
  NoShellActions shell;
  TrayIcon tray;
};

// Every code point of the text that shows nothing of its own (line feeds
// aside, where a text may have lines), written out for the failure message.
QString hiddenIn(const QString& text) {
  const std::string utf8 = text.toStdString();
  QString found;
  for (size_t i = 0; i < utf8.size();) {
    auto [c, length] = TextTrim::decodeAt(utf8, i);
    i += length;
    if (c != '\n' && TextTrim::isHidden(c))
      found += QStringLiteral("U+%1 ").arg(uint(c), 4, 16, QLatin1Char('0'));
  }
  return found;
}

// Lines of Markdown that a reader takes for a tick box, at any depth.
int tickBoxes(const std::string& markdown) {
  std::istringstream in(markdown);
  int count = 0;
  for (std::string line; std::getline(in, line);) {
    const size_t start = line.find_first_not_of(' ');
    if (start == std::string::npos || line.size() < start + 6) continue;
    const std::string_view rest = std::string_view(line).substr(start);
    const bool marker = rest[0] == '-' || rest[0] == '*' || rest[0] == '+';
    if (marker && rest[1] == ' ' && rest[2] == '[' &&
        (rest[3] == ' ' || rest[3] == 'x' || rest[3] == 'X') && rest[4] == ']')
      ++count;
  }
  return count;
}

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// A whole home of hostile outside text, read by the real scanner and checked
// against real sources on the loopback address and a stand-in brew.
struct HostileHome {
  TempDir tmp;
  Fakes fakes;
  TestServer server;
  std::unique_ptr<AppModel> model;
  QStringList notices;

  static constexpr const char* kOverride = "\xE2\x80\xAE";  // U+202E
  static constexpr const char* kCut = "\xE2\x80\x01\xAE";   // joins to U+202E if the 01 goes

  HostileHome() {
    const std::string notes = std::string("<p>Fixed ") + kOverride + "it\x1B[31m red\xC2\x85" +
                              "\xE2\x81\xA6" +
                              "gone\xF3\xA0\x81\x81</p><ul><li>- [x] done</li></ul>";
    server.server().Get("/feed.xml", [notes](const auto&, auto& res) {
      res.set_content(
          "<?xml version=\"1.0\"?><rss version=\"2.0\" "
          "xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\">"
          "<channel><item><title>2.0</title><sparkle:version>2.0</sparkle:version>"
          "<description><![CDATA[" +
              notes +
              "]]></description>"
              "<enclosure url=\"https://example.com/a.zip\" length=\"1\"/></item>"
              "</channel></rss>",
          "application/xml");
    });
    server.server().Get("/repos/o/r/releases/latest", [](const auto&, auto& res) {
      res.set_content(
          R"({"tag_name":"v2.0","html_url":"https://github.com/o/r/releases/v2.0",)"
          R"("body":"Notes \u202e\u2066\u00ad\u200b\r\n# Heading\r- [x] Licence keys saved"})",
          "application/json");
    });
    server.server().Get("/lookup", [](const auto&, auto& res) {
      res.set_content(
          R"({"resultCount":1,"results":[{"trackId":7,"bundleId":"com.example.store",)"
          R"("trackName":"Store","version":"2.0","releaseNotes":"Store \u202e\u0085\u2028notes"}]})",
          "application/json");
    });
    server.start();
    fakes.folders = {tmp.mkdir("home"), tmp.mkdir("caches")};
    qputenv("HOME", QByteArray::fromStdString((tmp / "home").string()));

    // A folder name with broken UTF-8 around a control names no app the
    // scanner reads; one that turns text around and has no display name does.
    bundle(std::string("Ev") + kCut + "il\xFF", {{"CFBundleIdentifier", "com.example.broken"}});
    bundle(std::string("Ev") + kOverride + "il\xE2\x81\xA6\xC2\xAD",
           {{"CFBundleIdentifier", "com.example.ev\xE2\x80\xAEil\r\n- [x] x"},
            {"CFBundleExecutable", std::string("run") + kOverride},
            {"SUFeedURL", "https://ev%E2%80%AEil.com%0D-%20%5Bx%5D/feed"}});
    bundle("Notes",
           {{"CFBundleIdentifier", "com.example.notes"}, {"SUFeedURL", server.url("/feed.xml")}});
    bundle("Gitty", {{"CFBundleIdentifier", "com.example.gitty"},
                     {"GitHubRepository", "https://github.com/o/r"}});
    bundle("Store", {{"CFBundleIdentifier", "com.example.store"}});
    tmp.write("Applications/Store.app/Contents/_MASReceipt/receipt", "r");
    bundle("Brewed", {{"CFBundleIdentifier", "com.example.brewed"}});
    bundle("Tapped", {{"CFBundleIdentifier", "com.example.tapped"}});
    // Settings whose folder names end lines and turn text around.
    tmp.write("home/Library/Preferences/com.example.notes.plist", "p");
    tmp.write(std::string("home/Library/Application Support/Notes\r- [x] Licence keys saved/a"),
              "a");
    tmp.write(std::string("home/Library/Application Support/Gitty/") + kOverride + "txt.licence",
              "k");
    tmp.write(std::string("home/Library/Preferences/com.example.ev\xE2\x80\xAEil\r\n- [x] x.plist"),
              "p");

    model = std::make_unique<AppModel>(kitServices(fakes, tmp, server, fakeBrew()));
    QObject::connect(model.get(), &AppModel::noted,
                     [this](const Notice& n) { notices << QString::fromStdString(n.text); });
  }

  void bundle(const std::string& name, PlistDict info) {
    info.emplace("CFBundleShortVersionString", "1.0");
    tmp.write("Applications/" + name + ".app/Contents/Info.plist", PropertyList::toXml(info));
  }

  // Brewed's cask has a token no cask may have; Tapped's is fine.
  std::string fakeBrew() {
    const auto app = [&](const char* name) {
      return (tmp.path() / "Applications" / name).string();
    };
    return writeFakeBrew(
        tmp,
        std::string(R"({"formulae":[],"casks":[)") +
            R"({"token":"brewed\u202e\r\n- [x] x","name":["Brewed"],"version":"1.5",)" +
            R"("installed":"1.0","auto_updates":false,"artifacts":[{"app":[")" + app("Brewed.app") +
            R"("]}]},)" + R"({"token":"tapped","name":["Tapped"],"version":"1.5",)" +
            R"("installed":"1.0","auto_updates":false,"artifacts":[{"app":[")" + app("Tapped.app") +
            R"("]}]}]})",
        R"({"formulae":[],"casks":[{"name":"tapped",)"
        R"("installed_versions":["1.0"],"current_version":"1.5","pinned":false}]})");
  }
};
}  // namespace

class HostileTextTest : public QObject {
  Q_OBJECT

 private slots:
  void everyScreenShowsOutsideTextVerbatim() {
    MovingDayFixture f;
    AppUpdate cask = source(s(kBold + QLatin1Char(' ') + kImage + QLatin1Char(' ') + kEntity),
                            UpdateSource::homebrew(s(kBold)), "com.example." + s(kPathBold));
    cask.app.version = s(kBold);
    cask.status = UpdateStatus::updateAvailable();
    cask.latestVersion = s(kEntity);
    cask.critical = true;
    cask.notes = s(kImage);
    cask.remark = s(kEntity);
    AppUpdate held = source(s(kEntity), UpdateSource::sparkle("https://example.com/<b>x</b>"),
                            "com.example.held");
    held.status = UpdateStatus::notChecked(s(kImage));
    f.fakes.checker->setSources({cask, held});
    f.report({cask, held});
    f.model->holdApp(held, kBold);
    // Settings of the first app: its support folder and a licence file.
    f.tmp.write("home/Library/Preferences/com.example." + s(kPathBold) + ".plist", "p");
    f.tmp.write("home/Library/Application Support/" + s(kPathBold) + "/" + kFolder + ".licence",
                "k");

    EveryScreen every(*f.model, f.tmp.mkdir("catalogue"));
    MainWindow& window = every.window;
    TrayIcon& tray = every.tray;
    every.catalogue.showMoreAppsWindow();
    f.loadInventory();
    QCOMPARE(f.model->inventory().size(), size_t(2));

    Seen seen;
    for (Pane pane : Panes::all) {
      f.model->setPane(pane);
      f.model->setSelection(QString::fromStdString(cask.app.path));
      f.model->setInventorySelection(QString::fromStdString(cask.app.path));
      seen.everyWindow();
    }
    // Every pane and both sheets are real screens, not placeholders.
    QVERIFY(!window.findChild<QWidget*>(QStringLiteral("placeholder")));
    f.model->setHoldRequest(cask);
    seen.everyWindow();
    f.model->setHoldRequest(std::nullopt);
    f.model->startSafeUpdates();
    seen.everyWindow();
    QVERIFY(!window.findChild<QWidget*>(QStringLiteral("placeholderSheet")));
    f.model->setSafeSheet(false);

    // A copy into a folder with an outside name, then that folder checked
    // against an empty home.
    f.model->setPane(Pane::carry);
    for (const auto& path : f.entry(cask.app.name).settings) f.model->setCarryChosen(path, true);
    f.fakes.panels->nextOpen.push_back(f.tmp.mkdir(kFolder));
    QVERIFY(waitFor(f.model->copySettings()));
    QVERIFY(f.model->carryResult());
    seen.everyWindow();
    QVERIFY(f.tmp.remove(f.home() / "Library"));
    f.model->setPane(Pane::newMac);
    f.fakes.panels->nextOpen.push_back(f.model->carryResult()->folder);
    QVERIFY(waitFor(f.model->newMacCheck()));
    f.model->setNotice(Notice{s(kBold + QStringLiteral(" long").repeated(300) + kImage), false});
    seen.everyWindow();
    tray.menu().popup({});
    seen.everyWindow();

    seen.faults.removeDuplicates();
    QVERIFY2(seen.faults.isEmpty(), qPrintable(seen.faults.join(QLatin1Char('\n'))));
    for (const QString& part : {kBold, kImage, kEntity, kPathImage}) {
      QVERIFY2(Seen::anyHas(seen.tips, part), qPrintable(part));
      QVERIFY2(Seen::anyHas(seen.names, part), qPrintable(part));
      QVERIFY2(Seen::anyHas(seen.shown, part), qPrintable(part));
    }
    QVERIFY(!Seen::anyHas(seen.names, QStringLiteral("&lt;")));
  }
  // One home of hostile outside text, read by the real scanner and sources:
  // no screen's rows, texts, tooltips or accessible names, no notice and no
  // exported line holds a character that shows nothing of its own, and the
  // exported checklist has exactly the tick boxes the app made.
  void aHostileHomeShowsNothingHidden() {
    HostileHome h;
    QVERIFY(waitFor(h.model->check()));
    QVERIFY(waitFor(h.model->loadInventory()));
    QCOMPARE(h.model->inventory().size(), size_t(6));

    EveryScreen every(*h.model, h.tmp.mkdir("catalogue"));
    TrayIcon& tray = every.tray;

    Seen seen;
    for (Pane pane : Panes::all) {
      h.model->setPane(pane);
      for (const auto& entry : h.model->inventory()) {
        const QString path = QString::fromStdString(entry.app.path);
        h.model->setSelection(path);
        h.model->setInventorySelection(path);
        seen.everyWindow();
      }
    }
    h.model->startSafeUpdates();
    seen.everyWindow();
    h.model->setSafeSheet(false);

    // Every settings item copied into a folder with an outside name, then
    // that folder checked against a home without them.
    h.model->setPane(Pane::carry);
    for (const auto& entry : h.model->inventory()) {
      for (const auto& path : entry.settings) h.model->setCarryChosen(path, true);
    }
    h.fakes.panels->nextOpen.push_back(
        h.tmp.mkdir(std::string("drive\r- [x] ") + HostileHome::kOverride));
    QVERIFY(waitFor(h.model->copySettings()));
    QVERIFY(h.model->carryResult());
    seen.everyWindow();
    QVERIFY(h.tmp.remove(h.tmp / "home/Library"));
    h.model->setPane(Pane::newMac);
    h.fakes.panels->nextOpen.push_back(h.model->carryResult()->folder);
    QVERIFY(waitFor(h.model->newMacCheck()));
    seen.everyWindow();
    tray.menu().popup({});
    seen.everyWindow();
    for (const auto& entry : h.model->inventory()) h.model->copyCommand(entry.app.path);
    h.model->openLink(std::string("https://example.com/") + HostileHome::kOverride);

    h.fakes.panels->nextSave = {h.tmp / "moving.md"};
    h.model->exportMovingDay(false);
    const std::string markdown = readFile(h.tmp / "moving.md");
    QVERIFY(!markdown.empty());

    QStringList faults;
    const auto look = [&](const QStringList& texts, const QString& where) {
      for (const QString& text : texts) {
        const QString hidden = hiddenIn(text);
        if (!hidden.isEmpty())
          faults << where + QStringLiteral(": ") + hidden + text.toHtmlEscaped();
      }
    };
    look(seen.tips, QStringLiteral("tooltip"));
    look(seen.names, QStringLiteral("name"));
    look(seen.shown, QStringLiteral("shown"));
    look(h.notices, QStringLiteral("notice"));
    look(QString::fromStdString(markdown).split(QLatin1Char('\n')), QStringLiteral("markdown"));
    faults.removeDuplicates();
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1Char('\n'))));
    QVERIFY(!h.notices.isEmpty());

    int checks = 0;
    for (const DocBlock& block : h.model->movingDayDocument())
      checks += block.kind == DocBlock::Kind::check;
    QVERIFY(checks > 0);
    QCOMPARE(tickBoxes(markdown), checks);
  }
};

QTEST_MAIN(HostileTextTest)
#include "HostileTextTest.moc"
