#include "app/screens/updates/ButtonFlowLayout.h"

#include <QWidget>

namespace larkvale {

ButtonFlowLayout::ButtonFlowLayout(int spacing, QWidget* parent) : QLayout(parent), gap_(spacing) {
  setContentsMargins(0, 0, 0, 0);
}

ButtonFlowLayout::~ButtonFlowLayout() {
  qDeleteAll(items_);
}

void ButtonFlowLayout::addItem(QLayoutItem* item) {
  items_.append(item);
}

QLayoutItem* ButtonFlowLayout::itemAt(int index) const {
  return index >= 0 && index < items_.size() ? items_.at(index) : nullptr;
}

QLayoutItem* ButtonFlowLayout::takeAt(int index) {
  return index >= 0 && index < items_.size() ? items_.takeAt(index) : nullptr;
}

int ButtonFlowLayout::heightForWidth(int width) const {
  return arrange(QRect(0, 0, width, 0), false);
}

QSize ButtonFlowLayout::sizeHint() const {
  // Preferred: everything on one row.
  int width = 0;
  int height = 0;
  for (QLayoutItem* item : items_) {
    if (item->isEmpty()) continue;
    width += (width > 0 ? gap_ : 0) + item->sizeHint().width();
    height = std::max(height, item->sizeHint().height());
  }
  return {width, height};
}

QSize ButtonFlowLayout::minimumSize() const {
  // At the least, the widest single item.
  QSize size;
  for (QLayoutItem* item : items_) size = size.expandedTo(item->minimumSize());
  return size;
}

void ButtonFlowLayout::setGeometry(const QRect& rect) {
  QLayout::setGeometry(rect);
  arrange(rect, true);
}

int ButtonFlowLayout::arrange(const QRect& rect, bool apply) const {
  int x = rect.x();
  int y = rect.y();
  int rowHeight = 0;
  for (QLayoutItem* item : items_) {
    if (item->isEmpty()) continue;
    const QSize size = item->sizeHint();
    if (x > rect.x() && x + size.width() > rect.right() + 1) {
      x = rect.x();
      y += rowHeight + gap_;
      rowHeight = 0;
    }
    if (apply) item->setGeometry(QRect(QPoint(x, y), size));
    x += size.width() + gap_;
    rowHeight = std::max(rowHeight, size.height());
  }
  return y + rowHeight - rect.y();
}

}  // namespace larkvale
