#pragma once
// The lower half of the Inventory pane: everything the inventory knows about
// the selected app (the entry of the whole inventory whose path is the
// model's inventory selection): its name, version and how to install it
// again, its settings folders (each shown in the file manager on request),
// its licence and sign-in note with the files that look like a licence, and
// a tip. Without such an entry, or while the search hides the entry's row,
// it asks the user to select an app. It fits the width it is given: a long
// name wraps to two lines and is cut off there, and nothing scrolls
// sideways. Redrawn whenever the inventory, the selection or the search
// changes. Main thread.
#include <QWidget>

class QScrollArea;
class QStackedLayout;

namespace larkvale {

class AppModel;
struct InventoryEntry;

namespace ui {
class EmptyState;
}

namespace movingday {

class InventoryDetail : public QWidget {
  Q_OBJECT

 public:
  explicit InventoryDetail(AppModel& model, QWidget* parent = nullptr);

 private:
  void refresh();
  QWidget* makeContent(const InventoryEntry& entry);
  QWidget* makeSettingsCard(const InventoryEntry& entry, QWidget* parent);
  QWidget* makeLicenceCard(const InventoryEntry& entry, QWidget* parent);

  AppModel& model_;
  QStackedLayout* pages_;
  ui::EmptyState* empty_;
  QScrollArea* scroll_;
};

}  // namespace movingday
}  // namespace larkvale
