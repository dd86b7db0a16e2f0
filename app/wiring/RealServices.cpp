#include "app/wiring/RealServices.h"

#include <QCoreApplication>
#include <cstdlib>

#include "app/desktop/AutostartLoginItem.h"
#include "app/desktop/DBusBadge.h"
#include "app/desktop/DBusNotifications.h"
#include "app/desktop/DesktopWorkspaceImpl.h"
#include "app/desktop/DialogPanels.h"
#include "app/desktop/LinuxHostFacts.h"
#include "app/desktop/QtClipboard.h"
#include "app/desktop/SysfsVolumeProbe.h"
#include "app/shell/Shell.h"
#include "app/wiring/KitServices.h"
#include "app/wiring/LaunchOptions.h"
#include "platform/AppFolders.h"

namespace larkvale {

static_assert(std::string_view(LaunchOptions::loginItemMarker) ==
                  AutostartLoginItem::kLoginItemArgument,
              "the autostart entry and the launch test must agree on the marker");

RealServiceOptions RealServiceOptions::currentUser() {
  RealServiceOptions options;
  options.folders = UserFolders::current();
  options.configFolder =
      AutostartLoginItem::configFolder(options.folders.home, std::getenv("XDG_CONFIG_HOME"));
  options.executable = QCoreApplication::applicationFilePath().toStdString();
  return options;
}

RealServiceOptions RealServiceOptions::underHome(const std::filesystem::path& home) {
  RealServiceOptions options;
  options.folders = UserFolders::underHome(home);
  options.configFolder = home / ".config";
  options.executable = QCoreApplication::applicationFilePath().toStdString();
  return options;
}

RealServices realServices(const RealServiceOptions& options) {
  const UserFolders& folders = options.folders;
  AppFolders app(folders);
  // Read while the rest of the app is built: a start waits for the state
  // only where it first shows it.
  auto store = std::make_shared<KitStateStorage>(app.state);
  store->readAhead();
  auto host = std::make_shared<LinuxHostFacts>();
  // Homebrew is looked for afresh at each check, as it may be installed
  // while the app runs; a given one is always that one.
  BrewFinder findBrew = systemBrewFinder();
  if (options.brew) {
    findBrew = [brew = options.brew->string()] { return std::optional<std::string>(brew); };
  }
  std::string running = host->runningPath().string();

  RealServices real;
  AppServices& s = real.services;
  s.folders = {folders.home, app.caches};
  s.clock = std::make_shared<SystemClock>();
  s.store = store;
  s.scanner = options.scanRoots ? std::make_shared<KitAppScanning>(*options.scanRoots, running)
                                : KitAppScanning::forHome(folders.home, running);
  KitUpdateChecking::Options checking;
  if (options.hosts) checking.hosts = *options.hosts;
  checking.findBrew = findBrew;
  checking.spacing = options.fetchSpacing;
  s.checker = std::make_shared<KitUpdateChecking>(s.folders, checking);
  s.terminal = std::make_shared<KitTerminalHandoff>(std::make_shared<SystemTerminal>(), findBrew);
  s.menuPress = std::make_shared<KitMenuPress>();
  s.host = host;
  s.badge = std::make_shared<DBusBadge>();
  real.notifications = std::make_shared<DBusNotifications>();
  s.notifications = real.notifications;
  s.loginItem = std::make_shared<AutostartLoginItem>(options.configFolder, options.executable);
  s.clipboard = std::make_shared<QtClipboard>();
  s.panels = std::make_shared<DialogPanels>(options.dialogParent);
  s.workspace = std::make_shared<DesktopWorkspaceImpl>();
  s.volumes = std::make_shared<SysfsVolumeProbe>(folders.home);
  s.ownUpdater = options.ownUpdater;
  return real;
}

void connectNotifications(const RealServices& real, Shell& shell) {
  QObject::connect(
      real.notifications.get(), &DBusNotifications::activated, &shell,
      [&shell](const QString& identifier) { shell.notificationActivated(identifier); });
}

}  // namespace larkvale
