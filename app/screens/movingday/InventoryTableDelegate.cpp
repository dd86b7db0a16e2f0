#include "app/screens/movingday/InventoryTableDelegate.h"

#include "app/screens/movingday/InventoryTableModel.h"
#include "app/ui/Fonts.h"

namespace larkvale::movingday {

void InventoryTableDelegate::paintCell(QPainter* painter, const QStyleOptionViewItem& option,
                                       const QModelIndex& index, const QRect& cell) const {
  const QString text = index.data().toString();
  switch (index.column()) {
    case InventoryTableModel::appColumn: {
      const QRect icon =
          paintIcon(painter, option, cell, index.data(InventoryTableModel::pathRole).toString());
      paintLine(painter, cell.adjusted(icon.width() + appSpacing, 0, 0, 0), text, option.font,
                textColour(option));
      break;
    }
    case InventoryTableModel::sourceColumn: {
      const auto tint = static_cast<ui::Tint>(index.data(InventoryTableModel::tintRole).toInt());
      ui::paintChip(painter, cell, text, index.data(InventoryTableModel::symbolRole).toString(),
                    chipColour(option, tint), option.font);
      break;
    }
    case InventoryTableModel::versionColumn:
      paintLine(painter, cell, text, ui::Fonts::equalWidthDigits(option.font), textColour(option));
      break;
    default: {
      const bool secondary = index.data(InventoryTableModel::secondaryRole).toBool();
      paintLine(painter, cell, text, option.font,
                secondary ? secondaryColour(option) : textColour(option));
      break;
    }
  }
}

}  // namespace larkvale::movingday
