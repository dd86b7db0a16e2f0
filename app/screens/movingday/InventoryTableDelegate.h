#pragma once
// Draws the cells of the Inventory table: the app's icon and name, the
// source chip, and the install and settings texts in the secondary colour.
// Main thread.
#include "app/ui/TableDelegate.h"

namespace larkvale::movingday {

class InventoryTableDelegate : public ui::TableDelegate {
  Q_OBJECT

 public:
  using TableDelegate::TableDelegate;

 protected:
  void paintCell(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index,
                 const QRect& cell) const override;
};

}  // namespace larkvale::movingday
