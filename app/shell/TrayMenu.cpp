#include "app/shell/TrayMenu.h"

#include <QCoreApplication>

#include "app/model/ShownText.h"

namespace larkvale::TrayMenu {
namespace {

QString tr(const char* text) {
  return QCoreApplication::translate("TrayMenu", text);
}

Item text(const QString& title, const QString& objectName) {
  return Item{Item::Kind::text, title, false, Action::none, {}, {}, objectName};
}

Item button(const QString& title, Action action, const QString& objectName, bool enabled = true) {
  return Item{Item::Kind::button, title, enabled, action, {}, {}, objectName};
}

Item divider() {
  return Item{Item::Kind::divider, {}, false, Action::none, {}, {}, {}};
}

// "Nova  2.1 → 2.3", or "… → ?" when the source named no version.
QString rowTitle(const AppUpdate& update) {
  return shown::line(update.app.name) + QStringLiteral("  ") + shown::line(update.app.version) +
         QStringLiteral(" \u2192 ") +
         (update.latestVersion ? shown::line(*update.latestVersion) : QStringLiteral("?"));
}

}  // namespace

QString statusLine(const AppModel& model) {
  if (model.checking()) {
    return tr("Checking %1 of %2\u2026").arg(model.progress().done).arg(model.progress().total);
  }
  if (!model.state().lastReport) return tr("Not checked yet");
  if (model.state().lastReport->updates.empty()) {
    return tr("No app bundles in /Applications or ~/Applications");
  }
  const auto n = static_cast<qlonglong>(model.badgeCount(Pane::updates));
  if (n == 0) return tr("Everything is up to date");
  return (n == 1 ? tr("%1 update waiting") : tr("%1 updates waiting")).arg(n);
}

QString accessibilityLabel(int pending) {
  if (pending == 0) return QStringLiteral("Larkvale");
  return tr("Larkvale: %1 updates waiting").arg(pending);
}

std::vector<Item> items(const AppModel& model) {
  std::vector<Item> out;
  out.push_back(text(statusLine(model), QStringLiteral("trayStatus")));

  // The first pending updates in report order, as pendingUpdates() lists
  // them, found without making that list.
  const int n = model.badgeCount(Pane::updates);
  if (n > 0) {
    const std::vector<AppUpdate>& updates = model.state().lastReport->updates;
    const std::vector<AppState::Effective>& effective = model.reportEffective();
    int shown = 0;
    for (size_t i = 0; i < updates.size() && shown < kMaxRows; ++i) {
      if (effective[i] != AppState::Effective::update) continue;
      Item row = button(rowTitle(updates[i]), Action::openUpdate,
                        QStringLiteral("trayUpdate%1").arg(shown++));
      row.path = updates[i].app.path;
      out.push_back(row);
    }
  }
  if (n > kMaxRows)
    out.push_back(text(tr("and %1 more").arg(n - kMaxRows), QStringLiteral("trayMore")));

  out.push_back(divider());
  out.push_back(
      button(tr("Check Now"), Action::checkNow, QStringLiteral("trayCheckNow"), !model.checking()));
  if (model.hasSafeCandidates()) {
    out.push_back(button(tr("Update All That Are Safe\u2026"), Action::updateAllSafe,
                         QStringLiteral("trayUpdateAllSafe")));
  }
  out.push_back(button(tr("Open Larkvale\u2026"), Action::openApp, QStringLiteral("trayOpenApp")));
  out.push_back(button(tr("Moving Day\u2026"), Action::movingDay, QStringLiteral("trayMovingDay")));
  out.push_back(divider());
  out.push_back(button(tr("Check for Larkvale Updates\u2026"), Action::ownUpdates,
                       QStringLiteral("trayOwnUpdates")));
  out.push_back(
      button(tr("More Mac Apps\u2026"), Action::moreApps, QStringLiteral("trayMoreApps")));
  out.push_back(divider());
  Item quit = button(tr("Quit Larkvale"), Action::quit, QStringLiteral("trayQuit"));
  quit.shortcut = QKeySequence(Qt::CTRL | Qt::Key_Q);
  out.push_back(quit);
  return out;
}

void run(const Item& item, AppModel& model, ShellActions& shell) {
  switch (item.action) {
    case Action::none:
      return;
    case Action::openUpdate:
      model.setPane(Pane::updates);
      model.setSelection(QString::fromStdString(item.path));
      shell.openMainWindow();
      return;
    case Action::checkNow:
      // The check outlives the menu; its outcome arrives as the model's notice.
      model.check(AppModel::kManualMaxAge);
      return;
    case Action::updateAllSafe:
      shell.openMainWindow();
      model.startSafeUpdates();
      return;
    case Action::openApp:
      shell.openMainWindow();
      return;
    case Action::movingDay:
      model.setPane(Pane::checklist);
      shell.openMainWindow();
      return;
    case Action::ownUpdates:
      shell.checkOwnUpdates();
      return;
    case Action::moreApps:
      shell.showMoreApps();
      return;
    case Action::quit:
      shell.quit();
      return;
  }
}

}  // namespace larkvale::TrayMenu
