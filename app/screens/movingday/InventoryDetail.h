#pragma once
// The lower half of the Inventory pane: everything the inventory knows about
// the selected app (the entry of the whole inventory whose path is the
// model's inventory selection): its name, version and how to install it
// again, its settings folders (each shown in the file manager on request),
// its licence and sign-in note with the files that look like a licence, and
// a tip. Without such an entry it asks the user to select an app.
// Redrawn whenever the inventory or the selection changes. Main thread.
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
