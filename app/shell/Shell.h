#pragma once
// The running app around the model: the start-up sequence, the launch
// opening of the main window, reopening on a later launch, the relay from a
// clicked notification, the tray and the main window's menus, the About
// panel and the own updates. The app keeps running when its last window
// closes, with its schedule and tray; only Quit ends it. Main thread only.
#include <QByteArray>
#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <functional>
#include <memory>

#include "app/model/AppModel.h"
#include "app/shell/ShellActions.h"
#include "app/shell/Updater.h"
#include "app/shell/WindowOpener.h"
#include "app/window/Screens.h"

namespace larkvale {

class AboutDialog;
class TrayIcon;

struct ShellParts {
  bool launchedAsLoginItem = false;  // then the main window doesn't open at launch
  Screens screens;
  std::shared_ptr<Updater> updater;  // the same object the model's services hold
  AppInfo app;
  QIcon appIcon;
  // Shows the catalogue of the maker's other apps.
  std::function<void()> showMoreApps;
};

class Shell : public QObject, public ShellActions {
  Q_OBJECT
 public:
  Shell(AppModel& model, ShellParts parts, QObject* parent = nullptr);
  ~Shell() override;

  // The start-up sequence: loads the saved state (which sets the badge),
  // reads the permissions, starts the own updater, the model's schedule and
  // the tray, and opens the main window unless launched as a login item.
  void start();

  // A later launch's request (SingleInstance::requested): a launch by the
  // user brings the app's window forward, or opens the main window when none
  // is visible; a launch at log-in asks nothing.
  void handleRequest(const QByteArray& request);

  // A click on one of the app's notifications: the main window comes
  // forward on the Updates pane.
  void notificationActivated(const QString& identifier);

  // ShellActions
  void openMainWindow() override;
  void openHelp() override;
  void showMoreApps() override;
  void showAbout() override;
  void checkOwnUpdates() override;
  void quit() override;

  TrayIcon& tray() { return *tray_; }
  Updater& updater() { return *parts_.updater; }

 private:
  AppModel& model_;
  ShellParts parts_;
  WindowOpener windows_;
  std::unique_ptr<TrayIcon> tray_;
  QPointer<AboutDialog> about_;
};

}  // namespace larkvale
