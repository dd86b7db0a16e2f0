#include "app/ui/TableDelegate.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QTableView>

namespace larkvale::ui {

TableDelegate::TableDelegate(QObject* parent) : QStyledItemDelegate(parent) {
  connect(&icons_, &IconSource::loaded, this, &TableDelegate::iconLoaded);
}

void TableDelegate::install(QTableView* table) {
  connect(this, &TableDelegate::iconLoaded, table->viewport(), qOverload<>(&QWidget::update));
  table->setItemDelegate(this);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setAlternatingRowColors(true);
  table->setShowGrid(false);
  table->setWordWrap(false);
  table->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  table->verticalHeader()->hide();
  table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table->verticalHeader()->setDefaultSectionSize(rowHeight);
  table->horizontalHeader()->setHighlightSections(false);
  table->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void TableDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
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
  paintCell(painter, option, index, option.rect.adjusted(cellPadding, 0, -cellPadding, 0));
  painter->restore();
}

QSize TableDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
  return {QStyledItemDelegate::sizeHint(option, index).width(), rowHeight};
}

QColor TableDelegate::textColour(const QStyleOptionViewItem& option) {
  return option.palette.color((option.state & QStyle::State_Selected) ? QPalette::HighlightedText
                                                                      : QPalette::Text);
}

QColor TableDelegate::secondaryColour(const QStyleOptionViewItem& option) {
  return Tints::withOpacity(textColour(option), 0.6);
}

QColor TableDelegate::chipColour(const QStyleOptionViewItem& option, Tint tint) {
  return (option.state & QStyle::State_Selected) ? option.palette.color(QPalette::HighlightedText)
                                                 : Tints::color(tint, option.palette);
}

void TableDelegate::paintLine(QPainter* painter, const QRect& box, const QString& text,
                              const QFont& font, const QColor& colour) {
  painter->setFont(font);
  painter->setPen(colour);
  painter->drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                    QFontMetrics(font).elidedText(text, Qt::ElideRight, box.width()));
}

QRect TableDelegate::paintIcon(QPainter* painter, const QStyleOptionViewItem& option,
                               const QRect& cell, const QString& path) const {
  const QRect box(cell.left(), cell.top() + (cell.height() - iconSize) / 2, iconSize, iconSize);
  paintAppIcon(painter, box, icons_, path, secondaryColour(option));
  return box;
}

}  // namespace larkvale::ui
