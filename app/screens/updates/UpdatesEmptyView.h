#pragma once
// The empty state of the update panes, with their texts for each reason
// there is nothing to list. Main thread.
#include "app/model/Pane.h"
#include "app/ui/EmptyState.h"

namespace larkvale {

class UpdatesEmptyView : public ui::EmptyState {
  Q_OBJECT

 public:
  explicit UpdatesEmptyView(QWidget* parent = nullptr);

  // What an update pane without rows says: that the scan found no app
  // bundles at all, when it didn't; else on the Updates pane that nothing
  // is waiting; else that the search matches nothing, when a search is
  // active; else that the pane has nothing yet.
  void showFor(Pane pane, bool searching, bool noAppsFound);
};

}  // namespace larkvale
