#pragma once
// The tray's menu as plain item descriptions worked out from the model, so
// that its rules hold without a tray; TrayIcon turns them into a QMenu each
// time the menu is about to show. Main thread only.
#include <QKeySequence>
#include <QString>
#include <string>
#include <vector>

#include "app/model/AppModel.h"
#include "app/shell/ShellActions.h"

namespace larkvale::TrayMenu {

// At most this many waiting updates get a row of their own.
inline constexpr int kMaxRows = 8;

enum class Action {
  none,           // a text line or a divider
  openUpdate,     // a waiting update's row: its app path is Item::path
  checkNow,       // "Check Now"
  updateAllSafe,  // "Update All That Are Safe…"
  openApp,        // "Open Larkvale…"
  movingDay,      // "Moving Day…"
  ownUpdates,     // "Check for Larkvale Updates…"
  moreApps,       // "More Mac Apps…"
  quit,           // "Quit Larkvale"
};

struct Item {
  enum class Kind { text, button, divider };
  Kind kind = Kind::button;
  QString title;
  bool enabled = true;  // text lines are never enabled
  Action action = Action::none;
  std::string path;  // openUpdate only
  QKeySequence shortcut;
  QString objectName;  // for tests and accessibility tools

  friend bool operator==(const Item&, const Item&) = default;
};

// The menu from top to bottom for the model as it is now.
std::vector<Item> items(const AppModel& model);

// The first line: the check's progress, or what the last check found.
QString statusLine(const AppModel& model);

// "Larkvale" with nothing waiting, else "Larkvale: N updates waiting" (the
// plural kept for one): the tray icon's tool tip, read by screen readers.
QString accessibilityLabel(int pending);

// Carries out a chosen item. The check runs on by itself after this returns.
void run(const Item& item, AppModel& model, ShellActions& shell);

}  // namespace larkvale::TrayMenu
