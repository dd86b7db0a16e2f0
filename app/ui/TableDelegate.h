#pragma once
// The base of the painted tables (the update table, the inventory): rows of
// one fixed height, cells padded at the sides, the view's own background and
// selection drawn under every cell, and the cell's content painted by the
// subclass with the helpers here. Application icons come through one
// IconSource; iconLoaded() asks the view to repaint. Main thread.
#include <QStyledItemDelegate>

#include "app/ui/ItemPainting.h"
#include "app/ui/Tints.h"

class QTableView;

namespace larkvale::ui {

class TableDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  static constexpr int iconSize = 20;
  static constexpr int rowHeight = 28;
  static constexpr int cellPadding = 6;
  static constexpr int appSpacing = 8;  // between the icon and the name

  explicit TableDelegate(QObject* parent = nullptr);

  // Makes this the table's delegate and gives the table the look both
  // tables share: whole single rows selected, alternating rows of this
  // height, no grid, no editing, no wrapping, the row header hidden and the
  // column titles at the leading edge.
  void install(QTableView* table);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const final;
  // The style's width at the fixed row height.
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 signals:
  // An icon has been read; the view should repaint.
  void iconLoaded();

 protected:
  // Paints the cell's content into `cell` (the row's rectangle less the
  // padding); the painter is saved and antialiased around the call.
  virtual void paintCell(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index, const QRect& cell) const = 0;

  static QColor textColour(const QStyleOptionViewItem& option);
  static QColor secondaryColour(const QStyleOptionViewItem& option);
  // A chip's colour: the tint, or on a selected row the selection's text
  // colour, which the highlight never hides.
  static QColor chipColour(const QStyleOptionViewItem& option, Tint tint);
  // One line of text at the leading edge of the box, cut off with "…".
  static void paintLine(QPainter* painter, const QRect& box, const QString& text, const QFont& font,
                        const QColor& colour);
  // The app's icon centred vertically at the cell's leading edge (the dashed
  // placeholder when the bundle is missing); answers where it went.
  QRect paintIcon(QPainter* painter, const QStyleOptionViewItem& option, const QRect& cell,
                  const QString& path) const;

 private:
  mutable IconSource icons_;
};

}  // namespace larkvale::ui
