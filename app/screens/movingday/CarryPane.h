#pragma once
// The Copy Settings pane: the settings items the inventory offers, each with
// a tick box and its measured size, three totals of what is ticked, and the
// button that copies the ticked items into a new Moving Day folder (the
// model asks where). While a copy runs it shows its progress; after a
// successful one, the result card. It warns when an app whose settings are
// ticked is still running. When no apps were found it says so as the update
// panes do. Tab goes through what is shown from the top down: the header's
// buttons, the result card, the pick list. Each time it is shown it asks
// the model to load the inventory and then to measure the items not
// measured yet.
// Main thread.
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QStackedLayout;
class QTreeView;
class QVBoxLayout;

namespace larkvale {

class AppModel;

namespace movingday {

class BusyView;
class CarryPickModel;
class StatsRow;

class CarryPane : public QWidget {
  Q_OBJECT

 public:
  explicit CarryPane(AppModel& model, QWidget* parent = nullptr);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void refresh();
  void refreshRunning();
  void refreshProgress();
  void refreshResult();

  AppModel& model_;
  CarryPickModel* picks_;
  QPushButton* selectAll_;
  QPushButton* selectNone_;
  QPushButton* copy_;
  QStackedLayout* body_;
  BusyView* busy_;
  QWidget* main_;
  QWidget* noApps_;
  StatsRow* stats_;
  QProgressBar* progress_;
  QWidget* running_ = nullptr;
  QVBoxLayout* resultSlot_;
  QWidget* result_ = nullptr;
  QTreeView* list_;
};

}  // namespace movingday
}  // namespace larkvale
