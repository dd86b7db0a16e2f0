#include "app/ui/FittedListView.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyleOptionFocusRect>
#include <QWheelEvent>

#include <algorithm>
#include <numeric>

namespace larkvale::ui {

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
  connect(model, &QAbstractItemModel::modelReset, this, &FittedListView::rowsChanged);
  connect(model, &QAbstractItemModel::layoutChanged, this, &FittedListView::rowsChanged);
  connect(model, &QAbstractItemModel::rowsInserted, this, &FittedListView::rowsChanged);
  connect(model, &QAbstractItemModel::rowsRemoved, this, &FittedListView::rowsChanged);
  // Only a change of text moves rows; a tick only repaints.
  connect(model, &QAbstractItemModel::dataChanged, this,
          [this](const QModelIndex&, const QModelIndex&, const QList<int>& roles) {
            if (roles.isEmpty() || roles.contains(Qt::DisplayRole) ||
                roles.contains(Qt::SizeHintRole)) {
              rowsChanged();
            } else {
              viewport()->update();
            }
          });
  rowsChanged();
}

void FittedListView::rowsChanged() {
  heights_.clear();
  refit();
}

int FittedListView::heightForWidth(int width) const {
  const QAbstractItemModel* rows = model();
  if (!rows) return 0;
  // Off screen, layouts ask at widths the list will never have; the rows
  // are measured once it is shown.
  if (!isVisible()) return estimatedHeight();
  const int margins = 2 * frameWidth();
  const int inner = std::max(1, width - margins);
  auto known = heights_.constFind(inner);
  if (known == heights_.constEnd()) {
    QStyleOptionViewItem option;
    const_cast<FittedListView*>(this)->initViewItemOption(&option);
    option.rect = QRect(0, 0, inner, 0);
    QList<int> heights;
    heights.reserve(rows->rowCount());
    for (int row = 0; row < rows->rowCount(); ++row) {
      const QModelIndex index = rows->index(row, modelColumn());
      heights << itemDelegateForIndex(index)->sizeHint(option, index).height();
    }
    known = heights_.insert(inner, heights);
  }
  return margins + std::accumulate(known->begin(), known->end(), 0);
}

std::optional<int> FittedListView::knownRowHeight(int row, int width) const {
  auto known = heights_.constFind(width);
  if (known == heights_.constEnd() || row < 0 || row >= known->size()) return std::nullopt;
  return known->at(row);
}

int FittedListView::estimatedHeight() const {
  const int rows = model() ? model()->rowCount() : 0;
  return rows * (fontMetrics().lineSpacing() * 2 + 10);
}

QSize FittedListView::sizeHint() const {
  if (lastWidth_ > 0) return {lastWidth_, heightForWidth(lastWidth_)};
  return {400, estimatedHeight()};
}

QSize FittedListView::minimumSizeHint() const {
  return {60, sizeHint().height()};
}

void FittedListView::refit() {
  // Not on screen yet: its layout asks for the height when it is shown.
  if (isWindow() || !isVisible()) {
    updateGeometry();
    return;
  }
  lastWidth_ = width();
  setFixedHeight(heightForWidth(width()));
  updateGeometry();
  scheduleDelayedItemsLayout();
}

void FittedListView::showEvent(QShowEvent* event) {
  QListView::showEvent(event);
  refit();
}

std::optional<RowControls::Control> FittedListView::focusedControl() const {
  if (!controls_ || !currentIndex().isValid()) return std::nullopt;
  std::vector<RowControls::Control> all = controls_->controls(this, currentIndex());
  if (all.empty()) return std::nullopt;
  return all[static_cast<size_t>(std::clamp(control_, 0, static_cast<int>(all.size()) - 1))];
}

void FittedListView::focusControl(int at) {
  control_ = at;
  const auto focused = focusedControl();
  setAccessibleDescription(focused ? focused->name : QString());
  viewport()->update();
}

void FittedListView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QListView::currentChanged(current, previous);
  focusControl(0);
}

void FittedListView::focusInEvent(QFocusEvent* event) {
  QListView::focusInEvent(event);
  if (!currentIndex().isValid() && model() && model()->rowCount() > 0) {
    setCurrentIndex(model()->index(0, modelColumn()));
  }
  focusControl(control_);
}

void FittedListView::keyPressEvent(QKeyEvent* event) {
  if (controls_ && currentIndex().isValid()) {
    if (event->matches(QKeySequence::Copy)) {
      const auto texts = controls_->copyTexts(currentIndex());
      if (!texts.empty()) controls_->copy(texts.front().text);
      return;
    }
    const int count = static_cast<int>(controls_->controls(this, currentIndex()).size());
    switch (event->key()) {
      case Qt::Key_Left:
      case Qt::Key_Right:
        if (count > 0) {
          const int step = event->key() == Qt::Key_Right ? 1 : -1;
          focusControl(std::clamp(control_ + step, 0, count - 1));
        }
        return;
      case Qt::Key_Space:
      case Qt::Key_Return:
      case Qt::Key_Enter:
        if (auto focused = focusedControl(); focused && focused->press) focused->press();
        return;
      default:
        break;
    }
  }
  QListView::keyPressEvent(event);
}

QMenu* FittedListView::copyMenu(const QModelIndex& index, QWidget* parent) {
  auto* menu = new QMenu(parent);
  if (!controls_ || !index.isValid()) return menu;
  for (const RowControls::CopyText& copy : controls_->copyTexts(index)) {
    menu->addAction(copy.label, this, [this, text = copy.text] { controls_->copy(text); });
  }
  return menu;
}

void FittedListView::contextMenuEvent(QContextMenuEvent* event) {
  const QModelIndex index = event->reason() == QContextMenuEvent::Keyboard
                                ? currentIndex()
                                : indexAt(viewport()->mapFrom(this, event->pos()));
  QMenu* menu = copyMenu(index, this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  if (menu->isEmpty()) {
    delete menu;
    return;
  }
  menu->popup(event->globalPos());
}

void FittedListView::paintEvent(QPaintEvent* event) {
  QListView::paintEvent(event);
  if (!hasFocus()) return;
  const auto focused = focusedControl();
  if (!focused) return;
  QPainter painter(viewport());
  QStyleOptionFocusRect ring;
  ring.initFrom(this);
  ring.rect = focused->rect.adjusted(-2, -1, 2, 1);
  ring.backgroundColor = palette().color(QPalette::Base);
  style()->drawPrimitive(QStyle::PE_FrameFocusRect, &ring, &painter, this);
}

void FittedListView::resizeEvent(QResizeEvent* event) {
  QListView::resizeEvent(event);
  if (event->size().width() != lastWidth_) refit();
}

void FittedListView::changeEvent(QEvent* event) {
  QListView::changeEvent(event);
  if (event->type() == QEvent::FontChange) rowsChanged();
}

void FittedListView::wheelEvent(QWheelEvent* event) {
  event->ignore();
}

}  // namespace larkvale::ui
