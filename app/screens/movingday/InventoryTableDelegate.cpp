#include "app/screens/movingday/InventoryTableDelegate.h"

#include <QApplication>
#include <QPainter>

#include "app/screens/movingday/InventoryTableModel.h"

namespace larkvale::movingday {
namespace {

constexpr int kAppSpacing = 8;

QColor textColour(const QStyleOptionViewItem& option) {
  return option.palette.color((option.state & QStyle::State_Selected) ? QPalette::HighlightedText
                                                                      : QPalette::Text);
}

QColor secondaryColour(const QStyleOptionViewItem& option) {
  return ui::Tints::withOpacity(textColour(option), 0.6);
}

}  // namespace

InventoryTableDelegate::InventoryTableDelegate(QObject* parent) : QStyledItemDelegate(parent) {
  connect(&icons_, &IconSource::loaded, this, &InventoryTableDelegate::iconLoaded);
}

QSize InventoryTableDelegate::sizeHint(const QStyleOptionViewItem& option,
                                       const QModelIndex& index) const {
  QSize size = QStyledItemDelegate::sizeHint(option, index);
  return {size.width(), rowHeight};
}

void InventoryTableDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const {
  QStyleOptionViewItem background(option);
  initStyleOption(&background, index);
  background.text.clear();
  background.icon = QIcon();
  const QWidget* widget = option.widget;
  QStyle* style = widget ? widget->style() : QApplication::style();
  style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);

  painter->save();
  painter->setRenderHint(QPainter::Antialiasing);
  const QRect cell = option.rect.adjusted(cellPadding, 0, -cellPadding, 0);
  const QString text = index.data().toString();
  const bool selected = option.state & QStyle::State_Selected;
  switch (index.column()) {
    case InventoryTableModel::appColumn: {
      QRect iconBox(cell.left(), cell.top() + (cell.height() - iconSize) / 2, iconSize, iconSize);
      paintAppIcon(painter, iconBox, icons_, index.data(InventoryTableModel::pathRole).toString(),
                   secondaryColour(option));
      QRect nameBox = cell.adjusted(iconSize + kAppSpacing, 0, 0, 0);
      painter->setFont(option.font);
      painter->setPen(textColour(option));
      painter->drawText(nameBox, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                        option.fontMetrics.elidedText(text, Qt::ElideRight, nameBox.width()));
      break;
    }
    case InventoryTableModel::sourceColumn: {
      const auto tint = static_cast<ui::Tint>(index.data(InventoryTableModel::tintRole).toInt());
      // On a selected row the chip takes the selection's text colour, which
      // the highlight never hides.
      const QColor colour = selected ? textColour(option) : ui::Tints::color(tint, option.palette);
      paintChip(painter, cell, text, index.data(InventoryTableModel::symbolRole).toString(), colour,
                option.font);
      break;
    }
    default: {
      const bool secondary = index.data(InventoryTableModel::secondaryRole).toBool();
      painter->setFont(option.font);
      painter->setPen(secondary ? secondaryColour(option) : textColour(option));
      painter->drawText(cell, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                        option.fontMetrics.elidedText(text, Qt::ElideRight, cell.width()));
      break;
    }
  }
  painter->restore();
}

}  // namespace larkvale::movingday
