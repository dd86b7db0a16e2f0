#pragma once
// Makes and opens the app's windows: the main window (made on first use and
// kept for the whole run, so that reopening shows it as it was) and the help
// window. Everything that opens one of them comes through here. Main thread
// only.
#include <QMainWindow>
#include <QPointer>
#include <functional>

#include "app/model/AppModel.h"
#include "app/ui/Screens.h"

class QWidget;

namespace larkvale {

class WindowOpener {
 public:
  // `dress` runs once on the new main window (the shell installs its menu bar
  // there).
  WindowOpener(AppModel& model, Screens screens, std::function<void(QMainWindow&)> dress);
  ~WindowOpener();
  WindowOpener(const WindowOpener&) = delete;
  WindowOpener& operator=(const WindowOpener&) = delete;

  // Shows the main window, restored if it was minimised, in front and active.
  void openMain();
  // The same for the help window.
  void openHelp();
  // The main window once made; null before.
  QMainWindow* mainWindow() const { return main_; }
  // Whether a window that keeps the app in the user's view is visible: an
  // ordinary window, not a dialog, a menu or a minimised window.
  static bool anyWindowVisible();

 private:
  QMainWindow& makeMain();

  AppModel& model_;
  Screens screens_;
  std::function<void(QMainWindow&)> dress_;
  QPointer<QMainWindow> main_;
  QPointer<QWidget> help_;
};

}  // namespace larkvale
