#include "app/screens/updates/UpdatesEmptyView.h"

#include "app/ui/NoAppsFound.h"

namespace larkvale {

UpdatesEmptyView::UpdatesEmptyView(QWidget* parent) : ui::EmptyState(parent) {
  setTitleStyle(ui::TextStyle::title2);
}

void UpdatesEmptyView::showFor(Pane pane, bool searching, bool noAppsFound) {
  if (noAppsFound) {
    ui::showNoAppsFound(this);
  } else if (pane == Pane::updates) {
    setContent(QStringLiteral("checkmark.circle"), tr("Nothing waiting"),
               tr("Every app Larkvale can check is up to date."));
  } else if (searching) {
    setContent(QStringLiteral("tray"), tr("Nothing here"), tr("No apps match."));
  } else if (pane == Pane::held) {
    setContent(QStringLiteral("tray"), tr("Nothing here"),
               tr("No skipped versions and no apps on hold."));
  } else {
    setContent(QStringLiteral("tray"), tr("Nothing here"),
               tr("The apps show here once the check has listed them."));
  }
}

}  // namespace larkvale
