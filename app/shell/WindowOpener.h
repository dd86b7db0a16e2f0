#pragma once
// Makes and opens the app's windows: the main window (made on first use and
// kept for the whole run, so that reopening shows it as it was) and the help
// window. Everything that opens one of them comes through here. Main thread
// only.
#include <QMainWindow>
#include <QPointer>
#include <functional>

#include "app/model/AppModel.h"
#include "app/window/Screens.h"

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

  // Shows the main window, restored if it was minimised, in front and active
  // (on the strength of a later launch's startup-notification `token`).
  void openMain(const QByteArray& token = {});
  // The same for the help window, which comes up whole on the screen that
  // shows the main window when it isn't already showing.
  void openHelp();
  // The main window once made; null before.
  QMainWindow* mainWindow() const { return main_; }
  // Whether the main window, and with it the notice at its foot, is in the
  // user's view: made, shown and not minimised.
  bool mainInView() const;
  // The app's own windows that are in the user's view: the main, help and
  // catalogue windows, neither hidden nor minimised.
  // A tray host that embeds the tray icon as a window of the app's (XEmbed)
  // doesn't make that window one of them.
  static QList<QWidget*> visibleWindows();
  // The same windows, minimised ones included: those the user can still
  // reach from the desktop's task list.
  static QList<QWidget*> openWindows();

 private:
  QMainWindow& makeMain();
  static QList<QWidget*> ownWindows(bool withMinimised);

  AppModel& model_;
  Screens screens_;
  std::function<void(QMainWindow&)> dress_;
  QPointer<QMainWindow> main_;
  QPointer<QWidget> help_;
};

}  // namespace larkvale
