#include "app/screens/movingday/MovingDayScreens.h"

#include "app/screens/movingday/CarryPane.h"
#include "app/screens/movingday/ChecklistPane.h"
#include "app/screens/movingday/InventoryPane.h"
#include "app/screens/movingday/NewMacPane.h"

namespace larkvale {

void registerMovingDayScreens(Screens& screens) {
  screens.pane = [others = std::move(screens.pane)](Pane pane, AppModel& model,
                                                    QWidget* parent) -> QWidget* {
    switch (pane) {
      case Pane::inventory:
        return new movingday::InventoryPane(model, parent);
      case Pane::checklist:
        return new movingday::ChecklistPane(model, parent);
      case Pane::carry:
        return new movingday::CarryPane(model, parent);
      case Pane::newMac:
        return new movingday::NewMacPane(model, parent);
      default:
        return others ? others(pane, model, parent) : nullptr;
    }
  };
}

}  // namespace larkvale
