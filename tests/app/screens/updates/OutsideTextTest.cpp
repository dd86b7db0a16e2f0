// Outside text on the update screens, the tray menu and the app's own update
// offer: a report whose every value read from an app, a feed or a source
// holds hidden characters, walked through every place that shows it, finds
// none of them on screen, in a role or in an accessible name.
#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>

#include "app/screens/updates/HistoryListModel.h"
#include "app/screens/updates/HoldSheet.h"
#include "app/screens/updates/SafeUpdatesSheet.h"
#include "app/screens/updates/UpdateDetail.h"
#include "app/screens/updates/UpdateList.h"
#include "app/screens/updates/UpdateTableModel.h"
#include "app/shell/TrayMenu.h"
#include "app/shell/UpdaterDialogs.h"
#include "app/ui/Card.h"
#include "app/ui/ClampedLabel.h"
#include "kit/sources/HTMLText.h"
#include "platform/TextTrim.h"
#include "tests/app/screens/updates/ScreensFixture.h"

using namespace larkvale;
using namespace larkvale::test;

namespace {

// Direction override and isolate, soft hyphen, zero-width space, CR, LF,
// ESC, NEL, line separator, a tag character, a stray byte, and a cut
// sequence whose control would leave U+202E behind if it were only dropped.
const std::string kHidden = std::string("\u202E\u2066\u00AD\u200B\r\n\x1B\u0085\u2028\U000E0041") +
                            "\xFF" + "\xE2\x80\x01\xAE";

std::string hostile(const std::string& visible) {
  return visible + kHidden + visible;
}

// Every place a text was found, with what it held that it mustn't.
struct Findings {
  int texts = 0;
  QStringList faults;

  void check(const QString& where, const QString& text, bool linesAllowed = false) {
    ++texts;
    for (char32_t c : text.toUcs4()) {
      if (c == U'\n' && linesAllowed) continue;
      if (TextTrim::isHidden(c)) {
        faults << QStringLiteral("%1 holds U+%2").arg(where).arg(uint(c), 4, 16, QLatin1Char('0'));
      }
    }
  }

  // Every text a widget tree shows or names; release notes and a hold's note
  // may keep their lines.
  void walk(const QString& where, const QWidget* root) {
    QList<const QWidget*> widgets{root};
    for (const QWidget* w : root->findChildren<QWidget*>()) widgets << w;
    for (const QWidget* w : widgets) {
      const QString at = where + QLatin1Char('/') + w->objectName();
      const bool lines = w->objectName() == "notes" || w->objectName() == "holdReason" ||
                         w->objectName() == "ownUpdateNotes";
      check(at + ":windowTitle", w->windowTitle());
      check(at + ":toolTip", w->toolTip());
      check(at + ":accessibleName", w->accessibleName());
      check(at + ":accessibleDescription", w->accessibleDescription());
      if (auto* label = qobject_cast<const QLabel*>(w)) check(at, label->text(), lines);
      if (auto* button = qobject_cast<const QAbstractButton*>(w)) check(at, button->text());
      if (auto* clamped = qobject_cast<const ui::ClampedLabel*>(w)) check(at, clamped->text());
      if (auto* card = qobject_cast<const ui::Card*>(w)) check(at + ":title", card->title());
      if (auto* edit = qobject_cast<const QPlainTextEdit*>(w)) {
        check(at, edit->toPlainText(), lines);
        check(at + ":placeholder", edit->placeholderText());
      }
      if (auto* box = qobject_cast<const QComboBox*>(w)) {
        check(at + ":placeholder", box->placeholderText());
        for (int i = 0; i < box->count(); ++i) check(at, box->itemText(i));
      }
    }
  }

  // Every role of every cell, but the ones that hold a key.
  void walk(const QString& where, const QAbstractItemModel& rows, QList<int> keyRoles = {}) {
    for (int row = 0; row < rows.rowCount(); ++row) {
      for (int column = 0; column < rows.columnCount(); ++column) {
        for (int role = 0; role < Qt::UserRole + 32; ++role) {
          if (keyRoles.contains(role)) continue;
          const QVariant value = rows.index(row, column).data(role);
          if (value.typeId() != QMetaType::QString) continue;
          check(QStringLiteral("%1[%2,%3] role %4").arg(where).arg(row).arg(column).arg(role),
                value.toString());
        }
      }
    }
  }
};

// One app per source, each value of it hostile.
std::vector<AppUpdate> hostileReport() {
  auto dress = [](AppUpdate u, const std::string& name) {
    u.app.name = hostile(name);
    u.app.version = hostile("1.0");
    u.app.bundleID = hostile("com.example." + name);
    // The selection names an app by its path as a QString, which can't hold
    // a stray byte: the path holds every hidden character but those.
    u.app.path = "/Applications/" + name + kHidden.substr(0, kHidden.find('\xFF')) + ".app";
    u.app.selfUpdater = hostile("Updater");
    u.latestVersion = hostile("2.0");
    u.notes = HTMLText::plainText("<p>Fixed " + kHidden + "crashes.</p><ul><li>One" + kHidden +
                                  "</li><li>Two</li></ul>");
    u.remark = hostile("A remark");
    u.critical = true;
    return u;
  };
  const auto waiting = UpdateStatus::updateAvailable();
  AppUpdate failed = dress(update("Failed"), "Failed");
  failed.status = UpdateStatus::notChecked(hostile("Feed not read"));
  return {
      dress(update("Spark", waiting, UpdateSource::sparkle("https://ex" + kHidden + "am.com/f")),
            "Spark"),
      dress(update("Plain", waiting, UpdateSource::sparkle(hostile("no host"))), "Plain"),
      dress(update("Brew", waiting, UpdateSource::homebrew(hostile("tok"))), "Brew"),
      dress(update("Hub", waiting, UpdateSource::github(hostile("o/hub"))), "Hub"),
      dress(update("Store", waiting, UpdateSource::appStore()), "Store"),
      dress(update("Other", waiting, UpdateSource::unknown()), "Other"),
      failed};
}

QWidget* topLevel(const char* name) {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == QLatin1String(name)) return w;
  }
  return nullptr;
}

}  // namespace

class OutsideTextTest : public QObject {
  Q_OBJECT

 private slots:
  void noHiddenCharacterReachesAnyPlace() {
    ScreensFixture f;
    const std::vector<AppUpdate> updates = hostileReport();
    f.report(updates);
    f.model->mutateState([&](AppState& s) {
      s.holds[updates[0].app.bundleID] = Hold{hostile("Plug-ins"), {}};
      s.history.push_back(HistoryEntry{f.fakes.clock->now(), hostile("Spark"),
                                       updates[0].app.bundleID, hostile("1.0"), hostile("2.0"),
                                       hostile("Sparkle feed")});
    });
    Findings found;

    UpdateList list(*f.model);
    for (Pane pane : {Pane::updates, Pane::allApps, Pane::held}) {
      f.model->setPane(pane);
      found.walk(QStringLiteral("list"), *list.tableModel(), {UpdateTableModel::pathRole});
    }

    UpdateDetail detail(*f.model);
    for (size_t i = 0; i < updates.size(); ++i) {
      f.select(updates[i]);
      QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
      found.walk(QStringLiteral("detail %1").arg(i), &detail);
      // A path keeps naming what it names: written out, not dropped.
      const QString path = labelText(&detail, "bundlePath");
      QVERIFY2(path.contains(QStringLiteral("\\u202E")) && path.contains(QStringLiteral("\\u000A")),
               qPrintable(path));
    }

    HistoryListModel history{QLocale::c()};
    history.setHistory(f.model->state().history, QString(), QTimeZone::utc());
    found.walk(QStringLiteral("history"), history);

    for (const TrayMenu::Item& item : TrayMenu::items(*f.model)) {
      found.check(QStringLiteral("tray ") + item.objectName, item.title);
    }

    HoldSheet hold(updates[1], *f.model);
    found.walk(QStringLiteral("hold sheet"), &hold);

    f.model->startSafeUpdates();
    SafeUpdatesSheet safe(*f.model);
    found.walk(QStringLiteral("safe sheet"), &safe);
    QVERIFY(waitFor(f.model->startSafeRun()));
    QVERIFY(f.model->safeRun());
    found.walk(QStringLiteral("safe run"), &safe);

    UpdaterDialogs dialogs([](const QUrl&) {});
    dialogs.offer(OwnRelease{hostile("2.0"), updates[0].notes, "https://example.com/get"},
                  AppInfo{QStringLiteral("Larkvale"), std::nullopt, QStringLiteral("1.0")});
    QWidget* offer = topLevel("ownUpdateOffer");
    QVERIFY(offer);
    found.walk(QStringLiteral("own update"), offer);
    QVERIFY(qobject_cast<QPlainTextEdit*>(offer->findChild<QPlainTextEdit*>("ownUpdateNotes"))
                ->toPlainText()
                .contains(QStringLiteral("\n• Two")));

    QVERIFY2(found.faults.isEmpty(), qPrintable(found.faults.join(QLatin1Char('\n'))));
    QVERIFY(found.texts > 300);
  }
};

QTEST_MAIN(OutsideTextTest)
#include "OutsideTextTest.moc"
