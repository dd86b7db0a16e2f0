#pragma once
// Larkvale's side of the catalogue of the maker's other apps: its one
// configuration, the app's symbols and link handler for the catalogue's
// window, and the credit footer that the Settings and Help views end with.
// The window itself is pennant::MoreAppsCatalogue's. Main thread.
#include "Pennant/MoreAppsConfig.h"
#include "Pennant/view/MoreAppsLook.h"
#include "app/model/AppModel.h"

class QWidget;

namespace pennant {
class MoreAppsCatalogue;
}

namespace larkvale {

// Larkvale in the catalogue: neither its own entry "larkvale" nor an entry
// with its bundle identifier (AppFolders::kDefaultBundleID, which also names
// its cache folder) is ever listed, links to the maker's site carry
// "larkvale" as their source, every entry is offered (the app is sold
// directly) and the feed may be asked. Made on first use and kept.
const pennant::MoreAppsConfig& moreAppsConfig();

// The app's symbol table and the desktop's link handler.
pennant::MoreAppsHooks moreAppsHooks();
// The app's symbol table, and links opened through the model, so that one
// the desktop can't open is said in the notice as every other failed open.
// The model must outlive the catalogue.
pennant::MoreAppsHooks moreAppsHooks(AppModel& model);

// The credit line with its "More Mac Apps…" button, which shows the
// catalogue's window.
QWidget* makeMoreAppsFooter(pennant::MoreAppsCatalogue& catalogue, QWidget* parent = nullptr);

}  // namespace larkvale
