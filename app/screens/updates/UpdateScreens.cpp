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
      default:
        return earlier ? earlier(pane, model, parent) : nullptr;
    }
  };
  screens.holdSheet = [](const AppUpdate& update, AppModel& model, QWidget* parent) -> QDialog* {
    return new HoldSheet(update, model, parent);
  };
}

}  // namespace larkvale
