#pragma once
// The Moving day screens' part of the window frame's Screens: the panes
// Inventory, Restore Checklist, Copy Settings and New Mac Check.
#include "app/window/Screens.h"

namespace larkvale {

// Fills in this area's panes. Panes it doesn't know are left to the factory
// that was there before.
void registerMovingDayScreens(Screens& screens);

}  // namespace larkvale
