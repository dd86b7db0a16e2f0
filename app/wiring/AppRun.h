#pragma once
// What the larkvale program and the demo do alike once they know whose
// folders and which update sources they run on: the app's own updater, the
// real services, the one application model, the catalogue, and the shell
// with every screen registered. Main thread; needs a QApplication.
#include <QByteArray>
#include <functional>
#include <optional>
#include <string>

#include "app/wiring/RealServices.h"

namespace larkvale {

class AppModel;
class Shell;
class SingleInstance;

// Names the application to the desktop: name, display name, version and
// desktop entry.
void nameApplication(const char* version);

struct AppRun {
  // The folders and services to run on; the own updater is set by runApp.
  RealServiceOptions options;
  std::string ownFeedURL;  // the app's own update feed
  bool launchedAsLoginItem = false;
  // The guard this launch claimed; its later launches' requests go to the
  // shell.
  SingleInstance* instance = nullptr;
  // Called with the model and the shell just before the shell starts.
  std::function<void(AppModel&, Shell&)> beforeStart;
  // Whether the desktop has a tray, known in advance
  // (ShellParts::trayAvailable); empty: learnt from the desktop as it goes,
  // never by waiting on it (TrayPresence, on the session bus).
  std::function<bool()> trayAvailable = {};
};

// Claims `instance` for this launch. A later launch hands its request (with
// its startup-notification token) to the running one and says so in one line
// on stdout. Answers the exit status when this launch ends here: 0 once
// handed over, 1 when the running copy doesn't answer or no lock can be
// taken (said on stderr and in a message box); nothing when this launch is
// the one to run.
std::optional<int> claimOrHandOver(SingleInstance& instance, const char* kind,
                                   const QByteArray& token);

// Builds everything, starts the shell and runs the event loop until Quit;
// answers the loop's exit status. The model is the shared one meanwhile.
int runApp(AppRun run);

}  // namespace larkvale
