#pragma once
// The standard menu additions every one of the maker's apps shares: "Close
// Window" (Ctrl+W) in the File menu before the save group, and a Help menu
// whose first item is "<app name> Help", followed by the app's own extra
// items. The titles are the module's own texts in uiLanguage().
//
// A MenuBaseline holds no state: install() may be called again whenever the
// host rebuilds its menus, and it replaces what an earlier install put there.
// Main thread only.
#include <QKeySequence>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

#include "Skirting/CloseWindowAction.h"

class QAction;
class QMenu;
class QMenuBar;

namespace skirting {

struct MenuHelp {
  QString appName;                       // put into the help item's title
  std::optional<QKeySequence> shortcut;  // none: the item has no shortcut
  std::function<void()> action;          // run when the help item is chosen

  MenuHelp(QString appName, std::optional<QKeySequence> shortcut, std::function<void()> action);
  // No shortcut; choosing the item opens the URL with the desktop's handler.
  MenuHelp(QString appName, const QUrl& url);
};

class MenuBaseline {
 public:
  // Object names of what install() puts into a menu bar, for hosts and tests.
  static constexpr const char* fileMenuName = "fileMenu";
  static constexpr const char* helpMenuName = "helpMenu";
  static constexpr const char* closeActionName = "closeWindowAction";
  static constexpr const char* helpActionName = "helpAction";

  // Without help the Help menu is left as the host made it.
  MenuBaseline(CloseWindowAction close, std::optional<MenuHelp> help);
  // `helpItems` adds the app's own items after the help item.
  MenuBaseline(CloseWindowAction close, MenuHelp help, std::function<void(QMenu&)> helpItems);

  // Puts the commands into the bar. The File menu is the bar's menu named
  // fileMenuName (made, titled "File", when the bar has none); "Close Window"
  // goes before `saveGroup` when that is one of its actions, else at its end.
  // With help, the Help menu (named helpMenuName, made last in the bar when
  // missing) is emptied and filled anew. The help shortcut answers in every
  // window of the application, as a menu bar's does, so install into one bar
  // only; "Close Window" answers in the bar's window, and the app's other
  // windows take it with addCloseWindowKey.
  void install(QMenuBar& bar, QAction* saveGroup = nullptr) const;

  const CloseWindowAction& close() const { return close_; }
  const std::optional<MenuHelp>& help() const { return help_; }

 private:
  void installClose(QMenuBar& bar, QAction* saveGroup) const;
  void installHelp(QMenuBar& bar) const;

  CloseWindowAction close_;
  std::optional<MenuHelp> help_;
  std::function<void(QMenu&)> helpItems_;
};

}  // namespace skirting
