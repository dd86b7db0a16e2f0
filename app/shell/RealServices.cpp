#include "app/shell/RealServices.h"

#include <QCoreApplication>

#include "app/desktop/AutostartLoginItem.h"
#include "app/desktop/DBusBadge.h"
#include "app/desktop/DBusNotifications.h"
#include "app/desktop/DesktopWorkspaceImpl.h"
#include "app/desktop/DialogPanels.h"
#include "app/desktop/LinuxHostFacts.h"
#include "app/desktop/QtClipboard.h"
#include "app/desktop/SysfsVolumeProbe.h"
#include "app/shell/LaunchOptions.h"
#include "app/shell/Shell.h"
#include "platform/AppFolders.h"

namespace larkvale {

static_assert(std::string_view(LaunchOptions::loginItemMarker) ==
                  AutostartLoginItem::kLoginItemArgument,
              "the autostart entry and the launch test must agree on the marker");

RealServiceOptions RealServiceOptions::currentUser() {
  RealServiceOptions options;
  options.folders = UserFolders::current();
  options.configFolder = AutostartLoginItem::defaultConfigFolder();
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
  auto host = std::make_shared<LinuxHostFacts>();

  RealServices real;
  AppServices& s = real.services;
  s.folders = {folders.home, app.caches};
  // KIT SPOT: the clock, state file, scanner, update checker, Terminal
  // hand-off and menu press come from the model's kit-backed services.
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
