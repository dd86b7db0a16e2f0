#pragma once
// Draws the cells of the Inventory table: the app's icon and name, the
// source chip, and the install and settings texts in the secondary colour.
// Main thread.
#include <QStyledItemDelegate>

#include "app/screens/movingday/ItemPainting.h"

namespace larkvale::movingday {

class InventoryTableDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  static constexpr int iconSize = 20;
  static constexpr int rowHeight = 28;
  static constexpr int cellPadding = 6;

  explicit InventoryTableDelegate(QObject* parent = nullptr);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 signals:
  // An icon has been read; the view should repaint.
  void iconLoaded();

 private:
  mutable IconSource icons_;
};

}  // namespace larkvale::movingday
