#pragma once
// The Moving day panes with no app to show: the inventory has been read and
// is empty, and the last check (when there was one) listed no app either.
// Inventory and Copy Settings then say what the update panes say in that
// case, with their texts. An inventory that a check emptied while its last
// report lists apps is not such a case: the panes read it again when they
// are next shown. Main thread.
#include <QString>

class QWidget;

namespace larkvale {

class AppModel;

namespace movingday {

bool noAppsFound(const AppModel& model);

// The view that says "No apps found" as the update panes do, named
// objectName.
QWidget* noAppsView(const QString& objectName, QWidget* parent = nullptr);

}  // namespace movingday
}  // namespace larkvale
