#pragma once
// The History pane (objectName "history"): the version changes that checks
// have seen, one card per day in the user's time zone, latest day first,
// narrowed by the main window's search text (app names only). Read-only: it
// has no controls and changes nothing.
//
// The days are rows of one list view (objectName "historyList") over a
// HistoryListModel, drawn by HistoryViewDelegate; the list is as tall as its
// rows and leaves scrolling to the window's scroll area. With nothing to
// show, the empty state (objectName "historyEmpty") stands in its place.
// At most 860 px wide, at the leading edge. Main thread.
#include <QWidget>

#include "app/model/AppModel.h"
#include "app/screens/updates/ViewBlocks.h"

namespace larkvale {

class HistoryListModel;

namespace ui {
class FittedListView;
}

class HistoryView : public viewblocks::CappedColumn {
  Q_OBJECT

 public:
  static constexpr int kMaxWidth = 860;
  static constexpr int kEmptyHeight = 240;

  explicit HistoryView(AppModel& model, QWidget* parent = nullptr);

  HistoryListModel* rows() const { return rows_; }

 private:
  void refresh();

  AppModel& model_;
  HistoryListModel* rows_;
  ui::FittedListView* list_;
  QWidget* empty_;
};

}  // namespace larkvale
