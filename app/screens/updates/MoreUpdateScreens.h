#pragma once
// Fills in the part of a Screens value that the History, Settings, "Update
// All That Are Safe" and Help screens take: the history and settings panes
// (any other pane goes to the pane function that was there before), the
// safe-update sheet and the help window's content. The Settings and Help
// screens end with the catalogue's credit footer, whose button shows the
// given catalogue; it must outlive every screen made. Main thread.
#include "app/window/Screens.h"

namespace larkvale {

namespace ui {
class MoreAppsCatalogue;
}

void registerMoreUpdateScreens(Screens& screens, ui::MoreAppsCatalogue& catalogue);

}  // namespace larkvale
