#pragma once
// The Inventory pane: every installed app in one table with its version,
// where it came from, how to install it again and where its settings live,
// four counts above the table, and the selected app's detail below it. Each
// time it is shown it asks the model to load the inventory (the model does
// nothing when it is loaded or loading). When no apps were found it says so
// as the update panes do, without the table and the detail. The table's selection is the
// model's inventory selection, both ways. Main thread.
#include <QWidget>

class QSplitter;
class QStackedLayout;
class QTableView;

namespace larkvale {

class AppModel;

namespace movingday {

class BusyView;
class InventoryDetail;
class InventoryTableModel;
class MovingDayHeader;
class StatsRow;

class InventoryPane : public QWidget {
  Q_OBJECT

 public:
  explicit InventoryPane(AppModel& model, QWidget* parent = nullptr);

  // "Every app on <Mac>, where it came from and where its settings live. …"
  static QString subtitle(const QString& macName);

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void fitColumns();
  void refreshBody();
  void refreshCounts();
  void selectFromModel();
  void selectionFromView();

  AppModel& model_;
  InventoryTableModel* rows_;
  MovingDayHeader* header_;
  QStackedLayout* body_;
  BusyView* busy_;
  QWidget* overview_;
  QWidget* noApps_;
  StatsRow* stats_;
  QTableView* table_;
  InventoryDetail* detail_;
  bool applyingSelection_ = false;
};

}  // namespace movingday
}  // namespace larkvale
