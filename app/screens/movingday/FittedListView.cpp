#include "app/screens/movingday/FittedListView.h"

#include <QResizeEvent>
#include <QScrollBar>

namespace larkvale::movingday {

FittedListView::FittedListView(QWidget* parent) : QListView(parent) {
  setFrameShape(QFrame::NoFrame);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setSelectionMode(QAbstractItemView::NoSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  setResizeMode(QListView::Adjust);
  setUniformItemSizes(false);
  setWordWrap(true);
  setMouseTracking(true);
  viewport()->setAutoFillBackground(false);
  setAutoFillBackground(false);
  QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  policy.setHeightForWidth(true);
  setSizePolicy(policy);
}

void FittedListView::setModel(QAbstractItemModel* model) {
  if (QAbstractItemModel* old = this->model()) disconnect(old, nullptr, this, nullptr);
  QListView::setModel(model);
  if (!model) return;
  connect(model, &QAbstractItemModel::modelReset, this, &FittedListView::refit);
  connect(model, &QAbstractItemModel::layoutChanged, this, &FittedListView::refit);
  connect(model, &QAbstractItemModel::rowsInserted, this, &FittedListView::refit);
  connect(model, &QAbstractItemModel::rowsRemoved, this, &FittedListView::refit);
  // Only a change of text moves rows; a tick only repaints.
  connect(model, &QAbstractItemModel::dataChanged, this,
          [this](const QModelIndex&, const QModelIndex&, const QList<int>& roles) {
            if (roles.isEmpty() || roles.contains(Qt::DisplayRole) ||
                roles.contains(Qt::SizeHintRole)) {
              refit();
            } else {
              viewport()->update();
            }
          });
  refit();
}

int FittedListView::heightForWidth(int width) const {
  const QAbstractItemModel* rows = model();
  if (!rows) return 0;
  QStyleOptionViewItem option;
  const_cast<FittedListView*>(this)->initViewItemOption(&option);
  const int margins = 2 * frameWidth();
  option.rect = QRect(0, 0, std::max(1, width - margins), 0);
  int height = margins;
  for (int row = 0; row < rows->rowCount(); ++row) {
    const QModelIndex index = rows->index(row, modelColumn());
    height += itemDelegateForIndex(index)->sizeHint(option, index).height();
  }
  return height;
}

QSize FittedListView::sizeHint() const {
  const int width = lastWidth_ > 0 ? lastWidth_ : 400;
  return {width, heightForWidth(width)};
}

QSize FittedListView::minimumSizeHint() const {
  return {60, sizeHint().height()};
}

void FittedListView::refit() {
  lastWidth_ = width();
  setFixedHeight(heightForWidth(width()));
  updateGeometry();
  scheduleDelayedItemsLayout();
}

void FittedListView::resizeEvent(QResizeEvent* event) {
  QListView::resizeEvent(event);
  if (event->size().width() != lastWidth_) refit();
}

}  // namespace larkvale::movingday
