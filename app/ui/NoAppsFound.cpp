#include "app/ui/NoAppsFound.h"

#include <QCoreApplication>

#include "app/ui/EmptyState.h"

namespace larkvale::ui {

void showNoAppsFound(EmptyState* view) {
  view->setTitleStyle(TextStyle::title2);
  view->setContent(
      QStringLiteral("folder.badge.questionmark"),
      QCoreApplication::translate("larkvale::UpdatesEmptyView", "No apps found"),
      QCoreApplication::translate(
          "larkvale::UpdatesEmptyView",
          "Larkvale looked in /Applications and ~/Applications (and the folders directly inside "
          "them) and found no app bundles. It reads app bundles (folders ending in "
          "\u201c.app\u201d) "
          "only."));
}

}  // namespace larkvale::ui
