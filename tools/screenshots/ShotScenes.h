#pragma once
// What the areas' shots share: a model over the test fakes with a catalogue
// that stays off the network, and sample app bundles with drawn icons.
#include <QColor>
#include <QObject>

#include <filesystem>
#include <memory>
#include <string>

#include "Pennant/view/MoreAppsWindow.h"
#include "app/model/AppModel.h"
#include "app/window/MoreAppsCatalogue.h"
#include "tests/support/FakeServices.h"
#include "tools/screenshots/Registry.h"

namespace larkvale::screenshots {

// Owned by the shot's widget (see owning()), which it outlives.
struct Scene : QObject {
  test::Fakes fakes;
  std::unique_ptr<AppModel> model;
  std::unique_ptr<pennant::MoreAppsCatalogue> catalogue;

  explicit Scene(const Context& context);

  // The main window with every screen registered; it owns the scene.
  QWidget* window();
};

template <typename W>
W* owning(W* widget, Scene* scene) {
  scene->setParent(widget);
  return widget;
}

// The i-th of a run of sample apps, with a newer version when it waits.
AppUpdate sampleUpdate(int i, bool waiting);

// folder/<name>.app whose icon (an .icns drawn here) is a rounded square in
// the colour with the name's first letter; made once, then reused.
std::filesystem::path drawnBundle(const std::filesystem::path& folder, const std::string& name,
                                  QColor colour);

}  // namespace larkvale::screenshots
