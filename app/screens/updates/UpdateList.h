#pragma once
// The upper half of the update panes: the pane's title and subtitle with its
// two pane buttons, four counters over the whole last report, and the table
// of the pane's rows (or, with no rows, what the pane shows instead). The
// table's selection is the model's selection, both ways; a row's context
// menu holds the compact form of its update's actions. Main thread.
#include <QWidget>

#include "app/model/AppModel.h"

class QHBoxLayout;
class QLabel;
class QPushButton;
class QStackedWidget;
class QTableView;

namespace larkvale {

namespace ui {
class ClampedLabel;
}

class UpdateTableModel;
class UpdatesEmptyView;

class UpdateList : public QWidget {
  Q_OBJECT

 public:
  UpdateList(AppModel& model, QWidget* parent = nullptr);
  ~UpdateList() override;

  QTableView* table() const { return table_; }
  UpdateTableModel* tableModel() const { return rows_; }

  // The header's subtitle for a pane, the report's date told relative to
  // `now`.
  static QString subtitle(Pane pane, const AppState& state, Date now);

 protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void refreshSoon();
  void refresh();
  void refreshHeader();
  void refreshSubtitle();  // on the model's clock
  void refreshCounts();
  void refreshRows();
  void showSelection();
  void takeSelection();
  void showRowMenu(const QPoint& position);
  void applyColours();

  AppModel& model_;
  QLabel* title_;
  ui::ClampedLabel* subtitle_;
  QPushButton* safeButton_;
  QPushButton* caskButton_;
  QHBoxLayout* counts_;
  QStackedWidget* body_;
  QTableView* table_;
  UpdateTableModel* rows_;
  UpdatesEmptyView* empty_;
  bool syncing_ = false;  // the table is being set from the model
  bool stale_ = false;    // the model changed while this page was hidden
};

}  // namespace larkvale
