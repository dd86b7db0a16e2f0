#pragma once
// What the menus ask of the running shell beyond the model: the windows it
// opens and the app's own commands. The shell implements it; tests record
// the calls. Main thread only.

namespace larkvale {

class ShellActions {
 public:
  virtual ~ShellActions() = default;
  // Opens the main window (made on first use) and brings it forward.
  virtual void openMainWindow() = 0;
  // Opens the help window and brings it forward.
  virtual void openHelp() = 0;
  // Shows the catalogue of the maker's other apps.
  virtual void showMoreApps() = 0;
  // Shows the About panel.
  virtual void showAbout() = 0;
  // The app's own update check (it answers with its own dialogs).
  virtual void checkOwnUpdates() = 0;
  // Ends the app.
  virtual void quit() = 0;
};

}  // namespace larkvale
