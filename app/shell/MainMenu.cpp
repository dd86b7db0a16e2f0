#include "app/shell/MainMenu.h"

#include <QAction>
#include <QCoreApplication>
#include <QHash>
#include <QMenu>
#include <QMenuBar>

#include "app/shell/MenuText.h"
#include "app/shell/StandardMenus.h"

namespace larkvale::MainMenu {
namespace {

QString tr(const char* text) {
  return QCoreApplication::translate("MainMenu", text);
}

Item command(Command c, const QString& title, const QString& objectName, bool enabled = true,
             QKeySequence shortcut = {}) {
  Item item;
  item.command = c;
  item.title = title;
  item.enabled = enabled;
  item.shortcut = shortcut;
  item.objectName = objectName;
  return item;
}

Item separator() {
  return Item{};
}

Menu appMenu() {
  return Menu{QStringLiteral("&Larkvale"),
              QStringLiteral("appMenu"),
              {command(Command::about, tr("About Larkvale"), QStringLiteral("aboutAction")),
               command(Command::ownUpdates, tr("Check for Updates\u2026"),
                       QStringLiteral("ownUpdatesAction")),
               separator(),
               command(Command::quit, tr("Quit Larkvale"), QStringLiteral("quitAction"), true,
                       QKeySequence(Qt::CTRL | Qt::Key_Q))}};
}

Menu fileMenu(const AppModel& model) {
  bool built = !model.inventory().empty();
  return Menu{tr("&File"),
              QString::fromLatin1(StandardMenus::fileMenuName),
              {command(Command::exportMarkdown, tr("Export Moving Day as Markdown\u2026"),
                       QStringLiteral("exportMarkdownAction"), built),
               command(Command::exportPDF, tr("Export Moving Day as PDF\u2026"),
                       QStringLiteral("exportPDFAction"), built,
                       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E))}};
}

Menu updatesMenu(const AppModel& model) {
  std::optional<AppUpdate> selected = model.selectedUpdate();
  return Menu{tr("&Updates"),
              QStringLiteral("updatesMenu"),
              {command(Command::checkNow, tr("Check Now"), QStringLiteral("checkNowAction"),
                       !model.checking(), QKeySequence(Qt::CTRL | Qt::Key_R)),
               command(Command::updateAllSafe, tr("Update All That Are Safe\u2026"),
                       QStringLiteral("updateAllSafeAction"), model.hasSafeCandidates(),
                       QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_U)),
               separator(),
               command(Command::skipVersion, tr("Skip This Version"),
                       QStringLiteral("skipVersionAction"), selected && selected->hasUpdate()),
               command(Command::hold, tr("Hold\u2026"), QStringLiteral("holdAction"),
                       selected.has_value())}};
}

Menu goMenu() {
  Menu menu{tr("&Go"), QStringLiteral("goMenu"), {}};
  int position = 0;
  for (Pane pane : Panes::all) {
    ++position;
    Item item = command(Command::goToPane, Panes::title(pane),
                        QStringLiteral("go_%1").arg(QString::fromUtf8(Panes::rawValue(pane))));
    item.pane = pane;
    if (position <= 9) item.shortcut = QKeySequence(Qt::CTRL | Qt::Key(Qt::Key_0 + position));
    menu.items.push_back(item);
  }
  return menu;
}

// Keeps the installed actions' enabled state following the model.
class Binding : public QObject {
 public:
  Binding(QMenuBar& bar, AppModel& model) : QObject(&bar), model_(model) {
    for (auto signal : {&AppModel::stateChanged, &AppModel::checkingChanged,
                        &AppModel::inventoryChanged, &AppModel::selectionChanged}) {
      connect(&model, signal, this, &Binding::refresh);
    }
  }
  void add(const QString& objectName, QAction* action) { actions_.insert(objectName, action); }
  void refresh() {
    for (const Menu& menu : menus(model_)) {
      for (const Item& item : menu.items) {
        if (QAction* action = actions_.value(item.objectName)) action->setEnabled(item.enabled);
      }
    }
  }

 private:
  AppModel& model_;
  QHash<QString, QAction*> actions_;
};

}  // namespace

std::vector<Menu> menus(const AppModel& model) {
  return {appMenu(), fileMenu(model), updatesMenu(model), goMenu()};
}

void run(const Item& item, AppModel& model, ShellActions& shell) {
  switch (item.command) {
    case Command::none:
      return;
    case Command::about:
      shell.showAbout();
      return;
    case Command::ownUpdates:
      shell.checkOwnUpdates();
      return;
    case Command::quit:
      shell.quit();
      return;
    case Command::exportMarkdown:
      model.exportMovingDay(false);
      return;
    case Command::exportPDF:
      model.exportMovingDay(true);
      return;
    case Command::checkNow:
      model.check(AppModel::kManualMaxAge);
      return;
    case Command::updateAllSafe:
      model.startSafeUpdates();
      return;
    case Command::skipVersion:
      if (std::optional<AppUpdate> selected = model.selectedUpdate()) model.skipVersion(*selected);
      return;
    case Command::hold:
      model.setHoldRequest(model.selectedUpdate());
      return;
    case Command::goToPane:
      model.setPane(item.pane);
      return;
  }
}

void install(QMenuBar& bar, AppModel& model, ShellActions& shell) {
  auto* binding = new Binding(bar, model);
  QAction* saveGroup = nullptr;
  for (const Menu& description : menus(model)) {
    auto* menu = new QMenu(description.title, &bar);
    menu->setObjectName(description.objectName);
    bar.addMenu(menu);
    for (const Item& item : description.items) {
      if (item.isSeparator()) {
        menu->addSeparator();
        continue;
      }
      QAction* action = menu->addAction(plainMenuText(item.title));
      action->setObjectName(item.objectName);
      action->setShortcut(item.shortcut);
      action->setShortcutContext(Qt::ApplicationShortcut);
      action->setEnabled(item.enabled);
      // Run what the rules say now, not what they said when the bar was built.
      QObject::connect(action, &QAction::triggered, &bar,
                       [item, &model, &shell] { run(item, model, shell); });
      binding->add(item.objectName, action);
      if (item.command == Command::exportMarkdown) saveGroup = action;
    }
  }
  StandardMenus::install(bar, saveGroup, shell);
}

}  // namespace larkvale::MainMenu
