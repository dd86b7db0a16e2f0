#pragma once
// The standard "Close Window" command and Help menu that every one of the
// maker's apps shares, set up for Larkvale: the help item "Larkvale Help"
// with F1 (the desktop's help key) opens the help window, and "More Mac Apps…" follows
// it. Main thread only.
#include "app/shell/ShellActions.h"

class QAction;
class QMenuBar;

namespace larkvale::StandardMenus {

// The object name of the File menu that "Close Window" goes into.
inline constexpr const char* fileMenuName = "fileMenu";

// Adds "Close Window" (Ctrl+W) to the File menu before `saveGroup` and puts
// the Help menu last in the bar.
void install(QMenuBar& bar, QAction* saveGroup, ShellActions& shell);

}  // namespace larkvale::StandardMenus
