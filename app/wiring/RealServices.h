#pragma once
// The real services behind the application model, on the folders of one
// home: the logic library's scanner, checker, state file and hand-offs, and
// the desktop's badge, notifications, autostart entry, clipboard, dialogs,
// file manager, volumes and host facts. The larkvale program builds them for
// the user; the demo and the measurements build them for a sample home with
// the update sources pointed at a local server.
#include <QWidget>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/model/AppServices.h"
#include "kit/sources/ServiceHosts.h"
#include "platform/UserFolders.h"

namespace larkvale {

class DBusNotifications;
class Shell;

struct RealServiceOptions {
  UserFolders folders;
  std::filesystem::path configFolder;  // where the autostart entry goes
  std::filesystem::path executable;    // what the autostart entry starts
  // The folders scanned for apps; "/Applications" and ~/Applications when
  // not set.
  std::optional<std::vector<std::filesystem::path>> scanRoots;
  std::optional<ServiceHosts> hosts;             // the real services when not set
  std::optional<std::filesystem::path> brew;     // looked for on the system when not set
  std::chrono::milliseconds fetchSpacing{1000};  // between two requests to one host
  std::shared_ptr<OwnUpdater> ownUpdater;
  std::function<QWidget*()> dialogParent;  // the window the file dialogs belong to

  // The user's own folders, read from the environment; the autostart entry
  // in $XDG_CONFIG_HOME (else ~/.config) starts the running program.
  static RealServiceOptions currentUser();
  // Folders laid out under another home, the autostart entry included.
  static RealServiceOptions underHome(const std::filesystem::path& home);
};

struct RealServices {
  AppServices services;
  std::shared_ptr<DBusNotifications> notifications;  // the same object as services.notifications
};

// Needs a QApplication. Never fails: a desktop service that isn't there
// answers as its interface says for that case.
RealServices realServices(const RealServiceOptions& options);

// Leads a click on one of the app's notifications to the shell's relay.
void connectNotifications(const RealServices& real, Shell& shell);

}  // namespace larkvale
