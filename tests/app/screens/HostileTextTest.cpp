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

#include "Pennant/view/MoreAppsWindow.h"
#include "app/screens/ScreenTable.h"
#include "app/shell/TrayIcon.h"
#include "app/ui/PlainTip.h"
#include "app/window/MainWindow.h"
#include "app/window/MoreAppsCatalogue.h"
#include "kit/movingday/SettingsCopier.h"
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

    pennant::MoreAppsConfig offline = moreAppsConfig();
    offline.allowsNetwork = false;
    pennant::MoreAppsCatalogue catalogue(offline, {.cacheDirectory = f.tmp.mkdir("catalogue")});
    Screens screens;
    registerScreens(screens, catalogue);
    MainWindow window(*f.model, screens);
    window.show();
    NoShellActions shell;
    TrayIcon tray(*f.model, shell);
    catalogue.showMoreAppsWindow();
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
    std::filesystem::remove_all(f.home() / "Library");
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
};

QTEST_MAIN(HostileTextTest)
#include "HostileTextTest.moc"
