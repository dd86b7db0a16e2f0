#pragma once
// A model over the service fakes in a temporary folder, with builders of
// waiting updates, for the tests of the safe-update sheet and the Settings,
// History and Help screens.
#include <QLabel>
#include <QWidget>

#include "Pennant/MoreAppsLoader.h"
#include "app/ui/MoreAppsCatalogue.h"
#include "tests/app/AppRig.h"

namespace larkvale::test {

struct ScreensFixture : Rig {
  // A catalogue that never asks the network.
  std::unique_ptr<ui::MoreAppsCatalogue> catalogue() {
    pennant::MoreAppsConfig config = ui::moreAppsConfig();
    config.allowsNetwork = false;
    return std::make_unique<ui::MoreAppsCatalogue>(
        config, pennant::MoreAppsLoader{.cacheDirectory = tmp.mkdir("catalogue")});
  }
};

inline AppUpdate waiting(const std::string& name, UpdateSource source,
                         std::optional<std::string> latest = "2.0") {
  return update(name, UpdateStatus::updateAvailable(), std::move(source), std::move(latest));
}

inline AppUpdate sparkle(const std::string& name, std::optional<std::string> latest = "2.0") {
  return waiting(name, UpdateSource::sparkle("https://example.com/" + name + ".xml"), latest);
}

template <typename T = QWidget>
T* child(const QObject* root, const QString& name) {
  return root->findChild<T*>(name);
}

inline QString labelText(const QObject* root, const QString& name) {
  auto* label = root->findChild<QLabel*>(name);
  return label ? label->text() : QStringLiteral("<no %1>").arg(name);
}

}  // namespace larkvale::test
