#include "app/screens/updates/UpdateTableDelegate.h"

#include <QPainter>

#include "app/screens/updates/UpdateTableModel.h"
#include "app/ui/Fonts.h"
#include "app/ui/Symbols.h"

namespace larkvale {

void UpdateTableDelegate::paintCell(QPainter* painter, const QStyleOptionViewItem& option,
                                    const QModelIndex& index, const QRect& cell) const {
  switch (index.column()) {
    case UpdateTableModel::appColumn:
      paintApp(painter, option, index, cell);
      break;
    case UpdateTableModel::sourceColumn:
    case UpdateTableModel::statusColumn: {
      const auto tint = static_cast<ui::Tint>(index.data(UpdateTableModel::tintRole).toInt());
      ui::paintChip(painter, cell, index.data().toString(),
                    index.data(UpdateTableModel::symbolRole).toString(), chipColour(option, tint),
                    option.font);
      break;
    }
    default:
      paintText(painter, option, index, cell);
      break;
  }
}

void UpdateTableDelegate::paintApp(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index, const QRect& cell) const {
  const QRect iconBox =
      paintIcon(painter, option, cell, index.data(UpdateTableModel::pathRole).toString());
  const QString mark = index.data(UpdateTableModel::symbolRole).toString();
  const int markSize = option.fontMetrics.height();
  int room = cell.right() - iconBox.right() - appSpacing;
  if (!mark.isEmpty()) room -= markSize + appSpacing;
  const QString name =
      option.fontMetrics.elidedText(index.data().toString(), Qt::ElideRight, std::max(0, room));
  QRect nameBox(iconBox.right() + 1 + appSpacing, cell.top(), std::max(0, room), cell.height());
  paintLine(painter, nameBox, name, option.font, textColour(option));
  if (mark.isEmpty()) return;
  const int x = nameBox.left() + option.fontMetrics.horizontalAdvance(name) + appSpacing;
  ui::paintSymbol(painter,
                  QRect(x, cell.top() + (cell.height() - markSize) / 2, markSize, markSize), mark,
                  ui::Tints::color(ui::Tint::red, option.palette));
}

void UpdateTableDelegate::paintText(QPainter* painter, const QStyleOptionViewItem& option,
                                    const QModelIndex& index, const QRect& cell) const {
  QFont font = option.font;
  QColor colour = textColour(option);
  switch (index.column()) {
    case UpdateTableModel::installedColumn:
      font = ui::Fonts::equalWidthDigits(font);
      break;
    case UpdateTableModel::latestColumn:
      font = ui::Fonts::equalWidthDigits(font);
      if (index.data(UpdateTableModel::emphasisRole).toBool()) {
        font.setWeight(QFont::DemiBold);
        if (!(option.state & QStyle::State_Selected)) {
          colour = ui::Tints::color(ui::Tint::accent, option.palette);
        }
      } else {
        colour = secondaryColour(option);
      }
      break;
    case UpdateTableModel::releasedColumn:
      colour = secondaryColour(option);
      break;
    default:
      break;
  }
  paintLine(painter, cell, index.data().toString(), font, colour);
}

QSize UpdateTableDelegate::sizeHint(const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
  const QFontMetrics& metrics = option.fontMetrics;
  const QString text = index.data().toString();
  int width = 2 * cellPadding;
  switch (index.column()) {
    case UpdateTableModel::appColumn:
      width += iconSize + appSpacing + metrics.horizontalAdvance(text);
      if (!index.data(UpdateTableModel::symbolRole).toString().isEmpty()) {
        width += appSpacing + metrics.height();
      }
      break;
    case UpdateTableModel::sourceColumn:
    case UpdateTableModel::statusColumn:
      width += ui::chipSize(text, index.data(UpdateTableModel::symbolRole).toString(), option.font)
                   .width();
      break;
    case UpdateTableModel::installedColumn:
    case UpdateTableModel::latestColumn:
      width += QFontMetrics(ui::Fonts::equalWidthDigits(option.font)).horizontalAdvance(text);
      break;
    default:
      width += metrics.horizontalAdvance(text);
      break;
  }
  return {width, rowHeight};
}

}  // namespace larkvale
