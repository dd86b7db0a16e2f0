#include "app/window/MoreAppsCatalogue.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>

#include "Pennant/view/MoreAppsFooter.h"
#include "Pennant/view/MoreAppsList.h"
#include "Pennant/view/MoreAppsListView.h"
#include "Pennant/view/MoreAppsWindow.h"
#include "app/ui/Symbols.h"

namespace larkvale::ui {

const pennant::MoreAppsConfig& moreAppsConfig() {
  static const pennant::MoreAppsConfig config = [] {
    QString id = QGuiApplication::desktopFileName();
    std::optional<std::string> bundleID;
    if (!id.isEmpty()) bundleID = id.toStdString();
    return pennant::MoreAppsConfig("larkvale", std::string("larkvale"), true, bundleID, true);
  }();
  return config;
}

pennant::MoreAppsHooks moreAppsHooks() {
  pennant::MoreAppsHooks hooks;
  hooks.symbol = [](const QString& name) { return Symbols::icon(name.toStdString()); };
  return hooks;
}

MoreAppsCatalogue::MoreAppsCatalogue(pennant::MoreAppsConfig config, pennant::MoreAppsLoader loader,
                                     pennant::MoreAppsHooks hooks, QObject* parent)
    : QObject(parent),
      config_(std::move(config)),
      loader_(std::move(loader)),
      hooks_(std::move(hooks)),
      lastResult_(std::make_shared<pennant::MoreAppsLastResult>()) {}

MoreAppsCatalogue::~MoreAppsCatalogue() = default;

void MoreAppsCatalogue::show() {
  if (!window_) {
    auto* list = new pennant::MoreAppsList(config_, loader_, lastResult_);
    auto* view = new pennant::MoreAppsListView(list, hooks_);
    list->setParent(view);
    window_ = std::make_unique<pennant::MoreAppsWindow>(view);
  }
  window_->present();
}

QWidget* makeMoreAppsFooter(MoreAppsCatalogue& catalogue, QWidget* parent) {
  return new pennant::MoreAppsFooter(
      QCoreApplication::translate(
          "MoreAppsFooter", "Larkvale is made by Quenby, who also make other small Mac apps."),
      QCoreApplication::translate("MoreAppsFooter", "More Mac Apps…"),
      [catalogue = QPointer<MoreAppsCatalogue>(&catalogue)] {
        if (catalogue) catalogue->show();
      },
      parent);
}

}  // namespace larkvale::ui
