// Outside text full of hidden characters (names, identifiers, versions, a
// feed's host, install lines, settings folders, a container, a licence file,
// the computer's name and the Moving Day folder named after it), read by the
// real settings locator from a temporary home and carried through every
// Moving day pane: no label, tooltip, accessible name or item role shows a
// hidden character, two paths that differ only by a real and a typed
// "\u202E" show differently, and a copy puts the real path on the clipboard.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>

#include "app/screens/movingday/CarryPane.h"
#include "app/screens/movingday/CarryPickModel.h"
#include "app/screens/movingday/ChecklistPane.h"
#include "app/screens/movingday/ChecklistSectionModel.h"
#include "app/screens/movingday/DiffRows.h"
#include "app/screens/movingday/InventoryPane.h"
#include "app/screens/movingday/InventoryTableModel.h"
#include "app/screens/movingday/MovingDayHeader.h"
#include "app/screens/movingday/NewMacPane.h"
#include "app/ui/Card.h"
#include "app/ui/ClampedLabel.h"
#include "app/ui/FittedListView.h"
#include "platform/TextTrim.h"
#include "tests/app/screens/movingday/MovingDayFixture.h"

using namespace larkvale;
using namespace larkvale::test;

namespace {

// CR, a direction override and isolate, a soft hyphen, a tag character and
// a byte that starts no UTF-8 sequence.
const std::string kHidden = "\r\u202E\u2066\u00AD\U000E0041\xFF";
const std::string kSupport = "~/Library/Application Support/";
// Two folders that differ only by a real U+202E and the six characters
// "\u202E" typed out.
const std::string kReal = kSupport + "Al\u202Epha";
const std::string kTyped = kSupport + "Al\\u202Epha";

QString fromUtf8(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The roles that hold what is acted on (a key, an address to open, a path
// to reveal or copy): kept as read on purpose, never shown.
bool actedOn(const QAbstractItemModel* model, int role) {
  using Checklist = movingday::ChecklistSectionModel;
  if (qobject_cast<const Checklist*>(model)) {
    return role == Checklist::idRole || role == Checklist::linkRole ||
           role == Checklist::detailCopyRole;
  }
  if (qobject_cast<const movingday::MissingSettingsModel*>(model)) {
    return role == movingday::MissingSettingsModel::copyRole ||
           role == movingday::MissingSettingsModel::pathRole;
  }
  if (qobject_cast<const movingday::MissingAppsModel*>(model)) {
    return role == movingday::MissingAppsModel::urlRole;
  }
  if (qobject_cast<const movingday::InventoryTableModel*>(model)) {
    return role == movingday::InventoryTableModel::pathRole;
  }
  if (qobject_cast<const movingday::CarryPickModel*>(model)) {
    return role == movingday::CarryPickModel::pathRole;
  }
  return false;
}

// Every text the widget and everything in it shows or names itself with
// that holds a hidden character, as "where: U+XXXX …". A line feed parts the
// lines of a text of several (a list, a step's settings folders); the
// outside texts here hold none.
QStringList hiddenIn(QWidget* root) {
  QStringList found;
  auto check = [&found](const QString& text, const QString& where) {
    for (const char32_t c : text.toUcs4()) {
      if (c != U'\n' && TextTrim::isHidden(c)) {
        found << where + QStringLiteral(": U+%1 in ").arg(uint(c), 4, 16, QLatin1Char('0')) +
                     text.toHtmlEscaped();
        return;
      }
    }
  };
  auto checkModel = [&](const QAbstractItemModel* model, const QModelIndex& parent,
                        const QString& where, auto& self) -> void {
    for (int row = 0; row < model->rowCount(parent); ++row) {
      for (int column = 0; column < model->columnCount(parent); ++column) {
        const QModelIndex at = model->index(row, column, parent);
        for (int role = 0; role <= Qt::UserRole + 16; ++role) {
          if (actedOn(model, role)) continue;
          const QVariant value = at.data(role);
          if (value.typeId() == QMetaType::QString) {
            check(value.toString(),
                  where + QStringLiteral(" [%1,%2] role %3").arg(row).arg(column).arg(role));
          }
        }
        if (column == 0) self(model, at, where, self);
      }
    }
  };
  QList<QWidget*> widgets = root->findChildren<QWidget*>();
  widgets.prepend(root);
  for (QWidget* widget : widgets) {
    const QString where =
        QString::fromLatin1(widget->metaObject()->className()) + " " + widget->objectName();
    check(widget->toolTip(), where + " tooltip");
    check(widget->accessibleName(), where + " accessible name");
    check(widget->accessibleDescription(), where + " accessible description");
    check(widget->windowTitle(), where + " title");
    if (auto* label = qobject_cast<QLabel*>(widget)) check(label->text(), where);
    if (auto* label = qobject_cast<ui::ClampedLabel*>(widget)) check(label->text(), where);
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) check(button->text(), where);
    if (auto* card = qobject_cast<ui::Card*>(widget)) check(card->title(), where + " title");
    if (auto* view = qobject_cast<QAbstractItemView*>(widget); view && view->model()) {
      checkModel(view->model(), {}, where, checkModel);
    }
  }
  return found;
}

template <typename T>
QStringList textsOf(const QWidget* root, const char* name) {
  QStringList out;
  for (auto* widget : root->findChildren<T*>(QString::fromLatin1(name))) out << widget->text();
  return out;
}

}  // namespace

class MovingDayShownTextTest : public QObject {
  Q_OBJECT

 private:
  // An app whose every outside text holds the hidden characters, with its
  // settings folders on disk; a sandboxed one; and a cask whose token is no
  // token.
  static void hostileHome(MovingDayFixture& f) {
    AppUpdate alpha = source("Alpha" + kHidden,
                             UpdateSource::sparkle("https://ev%E2%80%AEil.com%0D-%20%5Bx%5D/feed"),
                             "org.hostile" + kHidden + ".Alpha");
    alpha.app.path = "/Applications/Al\\u202Epha.app";  // brings the typed folder
    alpha.app.version = "1.0" + kHidden;
    f.tmp.write("home/Library/Preferences/" + alpha.app.bundleID + ".plist", "prefs");
    for (const std::string& hidden :
         {std::string("\u202E"), std::string("\\u202E"), std::string("\r"), std::string("\u2066"),
          std::string("\u00AD"), std::string("\U000E0041"), std::string("\xFF")}) {
      f.tmp.write("home/Library/Application Support/Al" + hidden + "pha/data", "data");
    }
    f.tmp.write("home/Library/Application Support/Al\u202Epha/licence" + kHidden + ".txt", "key");

    AppUpdate boxed = source("Boxed\u2066", UpdateSource::unknown(), "com.box" + kHidden + ".B");
    boxed.app.version = "2.0\u202E";
    f.fakes.scanner->setSandboxed({boxed.app.path});
    const AppUpdate brewy = source("Brewy", UpdateSource::homebrew("brewy\u202E\rx"));
    f.fakes.checker->setSources({alpha, boxed, brewy});
    f.fakes.host->name = "Ada\u202E's\r Mac\u2066\u00AD";
  }

 private slots:
  void outsideTextShowsNothingHiddenOnAnyPane() {
    MovingDayFixture f;
    hostileHome(f);
    f.loadInventory();
    QCOMPARE(f.entry("Alpha" + kHidden).settings.size(), size_t(8));
    QCOMPARE(f.entry("Alpha" + kHidden).licenceFiles.size(), size_t(1));
    QVERIFY(f.entry("Boxed\u2066").container);

    {
      movingday::InventoryPane pane(*f.model);
      pane.resize(1000, 900);
      pane.show();
      settle();
      QCOMPARE(child<movingday::MovingDayHeader>(&pane, "movingDayHeader")->subtitle(),
               movingday::InventoryPane::subtitle("Ada's  Mac"));
      for (const InventoryEntry& entry : f.model->inventory()) {
        f.model->setInventorySelection(fromUtf8(entry.app.path));
        settle();
        const QStringList hidden = hiddenIn(&pane);
        QVERIFY2(hidden.isEmpty(), qPrintable(hidden.join('\n')));
      }
      // The Alpha detail: the two folders show apart; Ctrl+C copies the real
      // path, which names the folder.
      f.model->setInventorySelection(fromUtf8(f.entry("Alpha" + kHidden).app.path));
      settle();
      const QStringList paths = textsOf<ui::ClampedLabel>(&pane, "settingsPath");
      QVERIFY(paths.contains(QString(R"(~/Library/Application Support/Al\u202Epha)")));
      QVERIFY(paths.contains(QString(R"(~/Library/Application Support/Al\\u202Epha)")));
      QVERIFY(paths.contains(QString(R"(~/Library/Application Support/Al\xFFpha)")));
      for (auto* label : pane.findChildren<ui::ClampedLabel*>("settingsPath")) {
        if (label->text() != QString(R"(~/Library/Application Support/Al\u202Epha)")) continue;
        QTest::keyClick(label, Qt::Key_C, Qt::ControlModifier);
      }
      QCOMPARE(f.fakes.clipboard->texts.back(), fromUtf8(kReal));
      // A feed whose host holds what no host may hold names no address.
      QCOMPARE(child<QLabel>(&pane, "detailInstallHow")->text(),
               QString("1.0 \uFFFD · Download from the developer's website"));
    }

    {
      movingday::ChecklistPane pane(*f.model);
      pane.resize(1000, 1600);
      pane.show();
      settle();
      const QStringList hidden = hiddenIn(&pane);
      QVERIFY2(hidden.isEmpty(), qPrintable(hidden.join('\n')));
      // A settings step shows its paths written out and copies them as they are.
      bool found = false;
      for (const auto* rows : pane.findChildren<movingday::ChecklistSectionModel*>()) {
        for (int row = 0; row < rows->rowCount(); ++row) {
          const QModelIndex index = rows->index(row);
          const QString copied =
              index.data(movingday::ChecklistSectionModel::detailCopyRole).toString();
          if (!copied.split('\n').contains(fromUtf8(kReal))) continue;
          found = true;
          const QStringList shown =
              index.data(movingday::ChecklistSectionModel::detailRole).toString().split('\n');
          QVERIFY(shown.contains(QString(R"(~/Library/Application Support/Al\u202Epha)")));
          QVERIFY(shown.contains(QString(R"(~/Library/Application Support/Al\\u202Epha)")));
        }
      }
      QVERIFY(found);
    }

    {
      // Everything ticked is copied; the licence-looking file is left out.
      f.fakes.panels->nextOpen.push_back(f.tmp.mkdir("drive"));
      movingday::CarryPane pane(*f.model);
      pane.resize(1000, 900);
      pane.show();
      settle();
      QTest::mouseClick(child<QPushButton>(&pane, "selectAll"), Qt::LeftButton);
      QTest::mouseClick(child<QPushButton>(&pane, "copySettings"), Qt::LeftButton);
      QVERIFY(waitUntil([&] { return f.model->carryResult() && !f.model->carryBusy(); }));
      settle();
      const QStringList hidden = hiddenIn(&pane);
      QVERIFY2(hidden.isEmpty(), qPrintable(hidden.join('\n')));
      QStringList paths;
      auto* list = child<QTreeView>(&pane, "pickList");
      for (int row = 0; row < list->model()->rowCount(); ++row) {
        paths << list->model()->index(row, movingday::CarryPickModel::pathColumn).data().toString();
      }
      QVERIFY(paths.contains(QString(R"(~/Library/Application Support/Al\u202Epha)")));
      QVERIFY(paths.contains(QString(R"(~/Library/Application Support/Al\\u202Epha)")));
      QTest::keyClick(child(&pane, "resultFolder"), Qt::Key_C, Qt::ControlModifier);
      QCOMPARE(f.fakes.clipboard->texts.back().toStdString(),
               f.model->carryResult()->folder.string());
    }

    // On the new Mac the two folders are not there yet.
    QVERIFY(f.tmp.remove(f.home() / "Library/Application Support/Al\u202Epha"));
    QVERIFY(f.tmp.remove(f.home() / "Library/Application Support/Al\\u202Epha"));
    {
      movingday::NewMacPane pane(*f.model);
      pane.resize(1000, 1400);
      pane.show();
      f.fakes.panels->nextOpen.push_back(f.model->carryResult()->folder);
      QTest::mouseClick(child<QPushButton>(&pane, "openMovingDayFolder"), Qt::LeftButton);
      QVERIFY(waitUntil([&] { return f.model->newMacDiff() && !f.model->newMacLoading(); }));
      settle();
      const QStringList hidden = hiddenIn(&pane);
      QVERIFY2(hidden.isEmpty(), qPrintable(hidden.join('\n')));
      QVERIFY(child<QLabel>(&pane, "diffSource")
                  ->text()
                  .contains(R"(Larkvale Moving Day Ada\u202E's\u000D Mac\u2066\u00AD )"));

      auto* settings = child<ui::FittedListView>(&pane, "missingSettings");
      QModelIndex real, typed;
      for (int row = 0; row < settings->model()->rowCount(); ++row) {
        const QModelIndex at = settings->model()->index(row, 0);
        if (at.data() == QString(R"(~/Library/Application Support/Al\u202Epha)")) real = at;
        if (at.data() == QString(R"(~/Library/Application Support/Al\\u202Epha)")) typed = at;
      }
      QVERIFY(real.isValid());
      QVERIFY(typed.isValid());
      settings->setFocus(Qt::TabFocusReason);
      settings->setCurrentIndex(real);
      QTest::keyClick(settings, Qt::Key_C, Qt::ControlModifier);
      QCOMPARE(f.fakes.clipboard->texts.back(), fromUtf8(kReal));
      settings->setCurrentIndex(typed);
      QTest::keyClick(settings, Qt::Key_C, Qt::ControlModifier);
      QCOMPARE(f.fakes.clipboard->texts.back(), fromUtf8(kTyped));
    }
  }
};

QTEST_MAIN(MovingDayShownTextTest)
#include "MovingDayShownTextTest.moc"
