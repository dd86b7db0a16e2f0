#pragma once
// The update screens' tests: a model over the service fakes in a temporary
// folder, a catalogue that stays offline, and finders of widgets.
#include <QAbstractButton>
#include <QLabel>
#include <QTest>
#include <QWidget>

#include "Pennant/MoreAppsLoader.h"
#include "Pennant/view/MoreAppsWindow.h"
#include "app/window/MoreAppsCatalogue.h"
#include "tests/app/AppRig.h"

namespace larkvale::test {

struct ScreensFixture : Rig {
  // A catalogue that never asks the network.
  std::unique_ptr<pennant::MoreAppsCatalogue> catalogue() {
    pennant::MoreAppsConfig config = moreAppsConfig();
    config.allowsNetwork = false;
    return std::make_unique<pennant::MoreAppsCatalogue>(
        config, pennant::MoreAppsLoader{.cacheDirectory = tmp.mkdir("catalogue")});
  }
};

// The objectNames of the widgets, in order.
template <typename T>
QStringList namesOf(const QList<T*>& widgets) {
  QStringList out;
  for (T* widget : widgets) out << widget->objectName();
  return out;
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
