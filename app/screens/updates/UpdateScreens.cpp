#include "app/screens/updates/UpdateScreens.h"

#include "app/screens/updates/HoldSheet.h"
#include "app/screens/updates/UpdatesPane.h"

namespace larkvale {

void registerUpdateScreens(Screens& screens) {
  auto earlier = std::move(screens.pane);
  screens.pane = [earlier](Pane pane, AppModel& model, QWidget* parent) -> QWidget* {
    switch (pane) {
      case Pane::updates:
      case Pane::allApps:
      case Pane::held:
        return new UpdatesPane(model, parent);
      // ---- History and Settings panes: added here with their views ----
      default:
        return earlier ? earlier(pane, model, parent) : nullptr;
    }
  };
  screens.holdSheet = [](const AppUpdate& update, AppModel& model, QWidget* parent) -> QDialog* {
    return new HoldSheet(update, model, parent);
  };
  // ---- The "Update All That Are Safe" sheet (screens.safeSheet): added here ----
  // ---- The Help view (screens.help): added here ----
}

}  // namespace larkvale
