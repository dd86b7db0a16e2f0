#pragma once
// Draws the History pane's rows as one card per day (the look of ui::Card:
// rounded box in the accent tint, 14 px inside, a "calendar" heading): the
// title row draws the card's top and heading, each entry row its piece of
// the card below with the arrow symbol, the sentence with the app's name in
// bold (cut off with "…" when the row is too narrow) and the source's chip.
// Row heights depend on the fonts only, never on the width. Main thread.
#include <QHash>
#include <QPixmap>
#include <QStyledItemDelegate>

namespace larkvale {

class HistoryViewDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  static constexpr int kCardGap = 16;     // between two day cards
  static constexpr int kRowSpacing = 8;   // between two entries of a day
  static constexpr int kItemSpacing = 8;  // inside a row

  using QStyledItemDelegate::QStyledItemDelegate;

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;

 private:
  int entryLineHeight(const QFont& font) const;
  void paintCardPiece(QPainter* painter, const QStyleOptionViewItem& option,
                      const QModelIndex& index) const;
  void paintDay(QPainter* painter, const QStyleOptionViewItem& option,
                const QModelIndex& index) const;
  void paintEntry(QPainter* painter, const QStyleOptionViewItem& option,
                  const QModelIndex& index) const;
  // Returns the chip's width.
  int paintChip(QPainter* painter, const QStyleOptionViewItem& option, const QString& text,
                int right, int centreY) const;
  QPixmap symbol(const char* name, const QColor& color, int size, qreal ratio) const;

  mutable QHash<QString, QPixmap> symbols_;
};

}  // namespace larkvale
