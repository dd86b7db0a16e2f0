#include "app/screens/ScreenTable.h"

#include "app/screens/movingday/CarryPane.h"
#include "app/screens/movingday/ChecklistPane.h"
#include "app/screens/movingday/InventoryPane.h"
#include "app/screens/movingday/NewMacPane.h"
#include "app/screens/updates/HelpView.h"
#include "app/screens/updates/HistoryView.h"
#include "app/screens/updates/HoldSheet.h"
#include "app/screens/updates/SafeUpdatesSheet.h"
#include "app/screens/updates/SettingsPane.h"
#include "app/screens/updates/UpdatesPane.h"

namespace larkvale {

void registerScreens(Screens& screens, pennant::MoreAppsCatalogue& catalogue) {
  screens.pane = [&catalogue](Pane pane, AppModel& model, QWidget* parent) -> QWidget* {
    switch (pane) {
      case Pane::updates:
      case Pane::allApps:
      case Pane::held:
        return new UpdatesPane(model, parent);
      case Pane::history:
        return new HistoryView(model, parent);
      case Pane::settings:
        return new SettingsPane(model, catalogue, parent);
      case Pane::inventory:
        return new movingday::InventoryPane(model, parent);
      case Pane::checklist:
        return new movingday::ChecklistPane(model, parent);
      case Pane::carry:
        return new movingday::CarryPane(model, parent);
      case Pane::newMac:
        return new movingday::NewMacPane(model, parent);
    }
    return nullptr;
  };
  screens.holdSheet = [](const AppUpdate& update, AppModel& model, QWidget* parent) -> QDialog* {
    return new HoldSheet(update, model, parent);
  };
  screens.safeSheet = [](AppModel& model, QWidget* parent) -> QDialog* {
    return new SafeUpdatesSheet(model, parent);
  };
  screens.help = [&catalogue](QWidget* parent) -> QWidget* {
    return new HelpView(catalogue, parent);
  };
}

}  // namespace larkvale
