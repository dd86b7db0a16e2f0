#pragma once
// Draws a catalogue row: the entry's symbol in white on a rounded square of
// its tint, its name over its detail, and the link mark at the trailing
// edge. Main thread.
#include <QHash>
#include <QStyledItemDelegate>

#include "Pennant/view/MoreAppsLook.h"

namespace pennant {

class MoreAppsRowDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  static constexpr int iconSize = 36;
  static constexpr int iconRadius = 8;
  static constexpr int spacing = 12;
  static constexpr int textSpacing = 2;
  static constexpr int inset = 12;   // on either side of the row
  static constexpr int padding = 8;  // above and below the content

  explicit MoreAppsRowDelegate(std::function<QIcon(const QString&)> symbol,
                               QObject* parent = nullptr);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  // The symbol a row shows for a name: the name's own when it has an image,
  // else "app.fill".
  QIcon symbolFor(const QString& name) const;

 private:
  struct Layout {
    QRect icon;
    QRect name;
    QRect detail;
    QRect mark;
  };
  Layout layout(const QStyleOptionViewItem& option, const QModelIndex& index,
                const QRect& rect) const;
  int textWidth(const QStyleOptionViewItem& option, const QRect& rect) const;
  // The symbol drawn in a colour, made once per name, colour and size.
  QPixmap symbolPixmap(const QString& name, const QColor& color, int size, qreal dpr) const;

  std::function<QIcon(const QString&)> symbol_;
  mutable QHash<QString, QPixmap> pixmaps_;
};

}  // namespace pennant
