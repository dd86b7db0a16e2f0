#include "app/screens/updates/MoreUpdateScreens.h"

#include "app/screens/updates/HelpView.h"
#include "app/screens/updates/HistoryView.h"
#include "app/screens/updates/SafeUpdatesSheet.h"
#include "app/screens/updates/SettingsPane.h"

namespace larkvale {

void registerMoreUpdateScreens(Screens& screens, ui::MoreAppsCatalogue& catalogue) {
  screens.pane = [others = std::move(screens.pane), &catalogue](Pane pane, AppModel& model,
                                                                QWidget* parent) -> QWidget* {
    if (pane == Pane::history) return new HistoryView(model, parent);
    if (pane == Pane::settings) return new SettingsPane(model, catalogue, parent);
    return others ? others(pane, model, parent) : nullptr;
  };
  screens.safeSheet = [](AppModel& model, QWidget* parent) -> QDialog* {
    return new SafeUpdatesSheet(model, parent);
  };
  screens.help = [&catalogue](QWidget* parent) -> QWidget* {
    return new HelpView(catalogue, parent);
  };
}

}  // namespace larkvale
