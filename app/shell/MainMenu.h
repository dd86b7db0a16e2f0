#pragma once
// The main window's menu bar: the app menu, the File menu's export items,
// the "Updates" and "Go" menus, and the standard "Close Window" and Help
// menu of the shared menus module. The rules that decide which items can be
// chosen are plain descriptions worked out from the model (menus()), so they
// hold without a window; install() turns them into QActions and keeps their
// enabled state following the model. Main thread only.
#include <QKeySequence>
#include <QString>
#include <vector>

#include "app/model/AppModel.h"
#include "app/shell/ShellActions.h"

class QMenuBar;

namespace larkvale::MainMenu {

enum class Command {
  none,  // a separator
  about,
  ownUpdates,
  quit,
  exportMarkdown,
  exportPDF,
  checkNow,
  updateAllSafe,
  skipVersion,
  hold,
  goToPane,  // Item::pane
};

struct Item {
  Command command = Command::none;
  QString title;
  bool enabled = true;
  QKeySequence shortcut;
  Pane pane = Pane::updates;  // goToPane only
  QString objectName;         // empty for a separator

  bool isSeparator() const { return command == Command::none; }
  friend bool operator==(const Item&, const Item&) = default;
};

struct Menu {
  QString title;
  QString objectName;
  std::vector<Item> items;
  friend bool operator==(const Menu&, const Menu&) = default;
};

// The app's own menus, left to right, for the model as it is now: the app
// menu ("Larkvale"), the File menu's save group, "Updates" and "Go". The
// File menu's "Close Window" and the Help menu come from the shared module.
std::vector<Menu> menus(const AppModel& model);

// Carries out a chosen item; a check started here runs on by itself.
void run(const Item& item, AppModel& model, ShellActions& shell);

// Fills `bar` with the menus and the standard ones, and keeps every item's
// enabled state (and with it its shortcut) following the model. Shortcuts
// answer in every window of the app, as a menu bar's do. The model and the
// shell must outlive the bar.
void install(QMenuBar& bar, AppModel& model, ShellActions& shell);

}  // namespace larkvale::MainMenu
