#pragma once
// The running app around the model: the start-up sequence, the launch
// opening of the main window, reopening on a later launch, the relay from a
// clicked notification, the tray and the main window's menus, the About
// panel and the own updates. Where the desktop has a tray, the app keeps
// running when its last window closes, with its schedule and tray icon; only
// Quit ends it. Where it has none, nothing would be left to reach the app
// by: closing the last of its windows (main, help, catalogue; a minimised
// one still counts, dialogs don't) ends it, and a launch at log-in opens
// the main window. Whether there is a tray is never waited for: a desktop
// service that stops answering must neither freeze the window nor end the
// app, so the answer comes from what the app has seen, within a short bound
// (ShellParts::askTray), and the tray icon is made only once the toolkit
// can make it without waiting (ShellParts::whenTrayIconMayBeMade). Nor does
// the main window's menu go to a desktop's global menu service, which the
// toolkit would wait on each time a window shows or closes. A failure said in the notice while the
// main window is out of view (closed, hidden or minimised) is carried to the user: as a desktop
// notification where the desktop takes one (taken back when the model
// withdraws that notice, the state it told of having ended), else by opening
// the main window with it. Main thread only.
#include <QByteArray>
#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

#include "app/model/AppModel.h"
#include "app/shell/ShellActions.h"
#include "app/shell/Updater.h"
#include "app/shell/WindowOpener.h"
#include "app/window/MoreAppsCatalogue.h"
#include "app/window/Screens.h"

namespace larkvale {

class AboutDialog;
class TrayIcon;

// The catalogue's hooks as the running app hands them in: the app's
// symbols, links opened through the model (a failure becomes its notice),
// and the "Close Window" key, Ctrl+W, on the catalogue's window however it
// is first opened (tray, Help menu or a credit footer).
pennant::MoreAppsHooks catalogueHooks(AppModel& model);

struct ShellParts {
  bool launchedAsLoginItem = false;  // then the main window doesn't open at launch
  Screens screens;
  std::shared_ptr<Updater> updater;  // the same object the model's services hold
  AppInfo app;
  QIcon appIcon;
  // Shows the catalogue of the maker's other apps.
  std::function<void()> showMoreApps;
  // Whether the desktop has a tray to hold the app's icon, known at once:
  // for a desktop known in advance (tests, measurements). When given, the
  // icon is made at start and this is asked at start and each time the last
  // window closes, in place of askTray.
  std::function<bool()> trayAvailable;
  // Asks whether the desktop has a tray; the answer comes once, later, on
  // the main thread, within a short bound. Empty (and no trayAvailable): no
  // tray.
  std::function<void(std::function<void(bool)> answer)> askTray;
  // Calls `make` once on the main thread when the tray icon may be made
  // without the toolkit waiting on a desktop service, into a tray that is
  // there (perhaps never: until then the app lives as it does without a
  // tray). Empty: at start.
  std::function<void(std::function<void()> make)> whenTrayIconMayBeMade;
  // Where a failure goes while the main window is out of view; empty: the
  // main window opens with it.
  std::shared_ptr<Notifications> notifications;
};

class Shell : public QObject, public ShellActions {
  Q_OBJECT
 public:
  // The identifier of the notification that carries a failure; each one
  // replaces the one before.
  static constexpr const char* kFailureNotification = "failure";

  Shell(AppModel& model, ShellParts parts, QObject* parent = nullptr);
  ~Shell() override;

  // The start-up sequence: loads the saved state (which sets the badge),
  // reads the permissions, starts the own updater, the model's schedule and
  // the tray, and opens the main window unless launched as a login item
  // onto a desktop with a tray.
  void start();

  // A later launch's request (SingleInstance::requested): a launch by the
  // user brings the app's window forward, or opens the main window when none
  // is visible; a launch at log-in asks nothing.
  void handleRequest(const QByteArray& request);

  // A click on one of the app's notifications: the main window comes
  // forward, on the Updates pane unless the notification carried a failure
  // (that one is said at the foot of whichever pane is shown).
  void notificationActivated(const QString& identifier);

  // ShellActions
  void openMainWindow() override;
  void openHelp() override;
  void showMoreApps() override;
  void showAbout() override;
  void checkOwnUpdates() override;
  void quit() override;

  // The tray icon; none until it may be made (ShellParts).
  TrayIcon* tray() { return tray_.get(); }
  Updater& updater() { return *parts_.updater; }

 protected:
  // Watches every window close for the desktop without a tray.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void makeTrayIcon();
  // Calls `answer` with whether the app's tray icon is there for the user:
  // made, and a tray to show it.
  void askTray(std::function<void(bool)> answer);
  void endIfNothingLeftInView();
  void carryFailureOutOfView(const Notice& notice);

  AppModel& model_;
  ShellParts parts_;
  WindowOpener windows_;
  std::unique_ptr<TrayIcon> tray_;
  QPointer<AboutDialog> about_;
  bool closeCheckPending_ = false;
  // The failure last carried to the desktop's notifications.
  std::optional<Notice> carried_;
};

}  // namespace larkvale
