#include "app/screens/movingday/NoAppsFound.h"

#include "app/model/AppModel.h"
#include "app/screens/updates/UpdatesEmptyView.h"

namespace larkvale::movingday {

bool noAppsFound(const AppModel& model) {
  if (model.inventoryLoading() || !model.inventory().empty()) return false;
  const auto& report = model.state().lastReport;
  return !report || report->updates.empty();
}

QWidget* noAppsView(const QString& objectName, QWidget* parent) {
  auto* view = new UpdatesEmptyView(parent);
  view->setObjectName(objectName);
  view->showFor(Pane::inventory, false, true);
  return view;
}

}  // namespace larkvale::movingday
