// The catalogue window from the shipped feed (no network) and the credit
// footer.
#include <QVBoxLayout>

#include "Pennant/view/MoreAppsList.h"
#include "Pennant/view/MoreAppsListView.h"
#include "Pennant/view/MoreAppsWindow.h"
#include "app/window/MoreAppsCatalogue.h"
#include "tools/screenshots/Registry.h"

namespace larkvale::screenshots {
namespace {

QWidget* catalogueWindow(const Context& context) {
  pennant::MoreAppsConfig config = moreAppsConfig();
  config.allowsNetwork = false;
  pennant::MoreAppsLoader loader{
      .cacheDirectory = context.scratch / "catalogue",
      .transport = [](const HttpRequest&) -> HttpResponse {
        throw HttpError(HttpError::Kind::network, "offline");
      },
  };
  auto* list = new pennant::MoreAppsList(config, loader, nullptr);
  pennant::MoreAppsHooks hooks = moreAppsHooks();
  hooks.openURL = [](const QUrl&) {};
  auto* view = new pennant::MoreAppsListView(list, hooks);
  list->setParent(view);
  return new pennant::MoreAppsWindow(view);
}

QWidget* footer(const Context&) {
  static auto* const catalogue =
      new pennant::MoreAppsCatalogue(moreAppsConfig(), {}, moreAppsHooks());
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(24, 24, 24, 24);
  layout->addWidget(makeMoreAppsFooter(*catalogue, page));
  return page;
}

const Registration shots("catalogue", [](const Add& add) {
  add("window", catalogueWindow, {});
  add("footer", footer, QSize(640, 72));
});

}  // namespace
}  // namespace larkvale::screenshots
