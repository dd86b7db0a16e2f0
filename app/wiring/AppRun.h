#pragma once
// What the larkvale program and the demo do alike once they know whose
// folders and which update sources they run on: the app's own updater, the
// real services, the one application model, the catalogue, and the shell
// with every screen registered. Main thread; needs a QApplication.
#include <functional>
#include <string>

#include "app/shell/RealServices.h"

namespace larkvale {

class AppModel;
class Shell;

// Names the application to the desktop: name, display name, version and
// desktop entry.
void nameApplication(const char* version);

struct AppRun {
  // The folders and services to run on; the own updater is set by runApp.
  RealServiceOptions options;
  std::string ownFeedURL;  // the app's own update feed
  bool launchedAsLoginItem = false;
  // Called with the model and the shell just before the shell starts.
  std::function<void(AppModel&, Shell&)> beforeStart;
};

// Builds everything, starts the shell and runs the event loop until Quit;
// answers the loop's exit status. The model is the shared one meanwhile.
int runApp(AppRun run);

}  // namespace larkvale
