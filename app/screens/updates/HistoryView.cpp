#include "app/screens/updates/HistoryView.h"

#include <QVBoxLayout>
#include <QWheelEvent>

#include "app/screens/updates/HistoryListModel.h"
#include "app/screens/updates/HistoryViewDelegate.h"
#include "app/screens/updates/ViewBlocks.h"
#include "app/ui/PaneHeader.h"

namespace larkvale {

HistoryList::HistoryList(QWidget* parent) : QListView(parent) {
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  setSelectionMode(QAbstractItemView::NoSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setResizeMode(QListView::Adjust);
  setUniformItemSizes(false);
  setMouseTracking(false);
  viewport()->setAutoFillBackground(false);
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void HistoryList::fitHeight() {
  // Row heights depend on the fonts only, so the sum holds at any width.
  QStyleOptionViewItem option;
  initViewItemOption(&option);
  int height = 0;
  const int count = model() ? model()->rowCount() : 0;
  for (int row = 0; row < count; ++row) {
    height += itemDelegate()->sizeHint(option, model()->index(row, 0)).height();
  }
  setFixedHeight(height);
}

void HistoryList::wheelEvent(QWheelEvent* event) {
  // Nothing to scroll here: the pane's scroll area takes the wheel.
  event->ignore();
}

void HistoryList::changeEvent(QEvent* event) {
  QListView::changeEvent(event);
  if (event->type() == QEvent::FontChange) fitHeight();
}

HistoryView::HistoryView(AppModel& model, QWidget* parent)
    : CappedColumn(kMaxWidth, parent),
      model_(model),
      rows_(new HistoryListModel(QLocale(), this)),
      list_(new HistoryList(body())),
      empty_(new viewblocks::EmptyState(
          QStringLiteral("clock"), tr("No updates seen yet"),
          tr("After you update an app, the next check records it here."), body())) {
  setObjectName(QStringLiteral("history"));
  auto* layout = new QVBoxLayout(body());
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(16);
  layout->addWidget(new ui::PaneHeader(
      tr("History"),
      tr("Each time a check finds an app at a newer version than the check before, it's written "
         "here."),
      body()));
  empty_->setObjectName(QStringLiteral("historyEmpty"));
  empty_->setMinimumHeight(kEmptyHeight);
  layout->addWidget(empty_);
  list_->setObjectName(QStringLiteral("historyList"));
  list_->setItemDelegate(new HistoryViewDelegate(list_));
  list_->setModel(rows_);
  layout->addWidget(list_);

  connect(&model_, &AppModel::stateChanged, this, &HistoryView::refresh);
  connect(&model_, &AppModel::searchChanged, this, &HistoryView::refresh);
  refresh();
}

void HistoryView::refresh() {
  rows_->setHistory(model_.state().history, model_.search(), QTimeZone::systemTimeZone());
  list_->fitHeight();
  const bool none = rows_->rowCount() == 0;
  empty_->setVisible(none);
  list_->setVisible(!none);
}

}  // namespace larkvale
