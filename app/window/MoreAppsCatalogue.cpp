#include "app/window/MoreAppsCatalogue.h"

#include <QCoreApplication>
#include <QPointer>

#include "Pennant/view/MoreAppsFooter.h"
#include "Pennant/view/MoreAppsWindow.h"
#include "app/ui/Symbols.h"
#include "platform/AppFolders.h"

namespace larkvale {

const pennant::MoreAppsConfig& moreAppsConfig() {
  static const pennant::MoreAppsConfig config("larkvale", std::string("larkvale"), true,
                                              std::string(AppFolders::kDefaultBundleID), true);
  return config;
}

pennant::MoreAppsHooks moreAppsHooks() {
  pennant::MoreAppsHooks hooks;
  hooks.symbol = [](const QString& name) { return ui::Symbols::icon(name.toStdString()); };
  return hooks;
}

pennant::MoreAppsHooks moreAppsHooks(AppModel& model) {
  pennant::MoreAppsHooks hooks = moreAppsHooks();
  hooks.openURL = [&model](const QUrl& url) {
    model.openLink(url.toString(QUrl::FullyEncoded).toStdString());
  };
  return hooks;
}

QWidget* makeMoreAppsFooter(pennant::MoreAppsCatalogue& catalogue, QWidget* parent) {
  return new pennant::MoreAppsFooter(
      QCoreApplication::translate(
          "MoreAppsFooter", "Larkvale is made by Quenby, who also make other small Mac apps."),
      QCoreApplication::translate("MoreAppsFooter", "More Mac Apps…"),
      [catalogue = QPointer<pennant::MoreAppsCatalogue>(&catalogue)] {
        if (catalogue) catalogue->showMoreAppsWindow();
      },
      parent);
}

}  // namespace larkvale
