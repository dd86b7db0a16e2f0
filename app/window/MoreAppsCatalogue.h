#pragma once
// Larkvale's side of the catalogue of the maker's other apps: its one
// configuration, the catalogue window (made on first use, kept for the run;
// closing it only hides it) and the credit footer that the Settings and
// Help views end with. Main thread.
#include <QObject>

#include <memory>

#include "Pennant/MoreAppsConfig.h"
#include "Pennant/MoreAppsLoader.h"
#include "Pennant/view/MoreAppsLook.h"

class QWidget;

namespace pennant {
class MoreAppsWindow;
struct MoreAppsLastResult;
}  // namespace pennant

namespace larkvale::ui {

// Larkvale in the catalogue: its own entry "larkvale" and its application
// id (the desktop file name, when the shell set one) are never listed, links
// to the maker's site carry "larkvale" as their source, every entry is
// offered (the app is sold directly) and the feed may be asked. Made on first
// use and kept.
const pennant::MoreAppsConfig& moreAppsConfig();

// The app's symbol table and the desktop's link handler.
pennant::MoreAppsHooks moreAppsHooks();

class MoreAppsCatalogue : public QObject {
  Q_OBJECT

 public:
  // The app uses the defaults; tests hand in a loader on a temporary folder
  // and a configuration without network.
  explicit MoreAppsCatalogue(pennant::MoreAppsConfig config = moreAppsConfig(),
                             pennant::MoreAppsLoader loader = {},
                             pennant::MoreAppsHooks hooks = moreAppsHooks(),
                             QObject* parent = nullptr);
  ~MoreAppsCatalogue() override;

  // Makes the window the first time, then shows it, brings it to the front
  // and activates it: the same window every time, where the user left it.
  void show();

  // The window once made, else null.
  pennant::MoreAppsWindow* window() const { return window_.get(); }

 private:
  pennant::MoreAppsConfig config_;
  pennant::MoreAppsLoader loader_;
  pennant::MoreAppsHooks hooks_;
  std::shared_ptr<pennant::MoreAppsLastResult> lastResult_;
  std::unique_ptr<pennant::MoreAppsWindow> window_;
};

// The credit line with its "More Mac Apps…" button, which shows the
// catalogue's window.
QWidget* makeMoreAppsFooter(MoreAppsCatalogue& catalogue, QWidget* parent = nullptr);

}  // namespace larkvale::ui
