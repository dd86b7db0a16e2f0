#pragma once
// The update screens' part of the window frame's Screens: the panes
// Updates, All Apps and Skipped & Held, and the hold sheet. History,
// Settings, the safe-update sheet and Help come with
// registerMoreUpdateScreens (MoreUpdateScreens.h).
#include "app/window/Screens.h"

namespace larkvale {

// Fills in this area's screens. Panes it doesn't know are left to the
// factory that was there before.
void registerUpdateScreens(Screens& screens);

}  // namespace larkvale
