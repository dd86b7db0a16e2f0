#pragma once
// What a pane of apps says when the scan found no app bundles at all. The
// update panes and the Moving day panes say it alike. Main thread.
namespace larkvale::ui {

class EmptyState;

// Shows the symbol, "No apps found" and why, with the title in the title-2
// style.
void showNoAppsFound(EmptyState* view);

}  // namespace larkvale::ui
