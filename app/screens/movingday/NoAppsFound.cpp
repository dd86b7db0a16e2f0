#include "app/screens/movingday/NoAppsFound.h"

#include "app/model/AppModel.h"
#include "app/ui/EmptyState.h"
#include "app/ui/NoAppsFound.h"

namespace larkvale::movingday {

bool noAppsFound(const AppModel& model) {
  if (model.inventoryLoading() || !model.inventory().empty()) return false;
  const auto& report = model.state().lastReport;
  return !report || report->updates.empty();
}

QWidget* noAppsView(const QString& objectName, QWidget* parent) {
  auto* view = new ui::EmptyState(parent);
  view->setObjectName(objectName);
  ui::showNoAppsFound(view);
  return view;
}

}  // namespace larkvale::movingday
