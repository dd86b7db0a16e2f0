#pragma once
// Every screen the window frame hosts: the panes of both areas (Updates, All
// Apps, Skipped & Held, History, Settings, and the Moving day panes
// Inventory, Restore Checklist, Copy Settings and New Mac Check), the hold
// and safe-update sheets and the help window's content. The Settings and Help
// screens end with the catalogue's credit footer, whose button shows the
// given catalogue; it must outlive every screen made. Main thread.
#include "app/window/Screens.h"

namespace pennant {
class MoreAppsCatalogue;
}

namespace larkvale {

void registerScreens(Screens& screens, pennant::MoreAppsCatalogue& catalogue);

}  // namespace larkvale
