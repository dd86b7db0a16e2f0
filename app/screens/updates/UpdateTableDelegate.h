#pragma once
// Draws the cells of the update table: the app's icon and name (with the
// important-update mark), versions, the source and status chips and the
// release date. Application icons are read off the main thread into the
// shared pixmap cache; until one arrives the desktop's generic application
// icon stands in, and an app missing from disk gets the dashed placeholder.
// Main thread.
#include <QSet>
#include <QStyledItemDelegate>

namespace larkvale {

class UpdateTableDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  static constexpr int iconSize = 20;
  static constexpr int rowHeight = 28;
  static constexpr int cellPadding = 6;

  explicit UpdateTableDelegate(QObject* parent = nullptr);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 signals:
  // An icon has been read into the cache; the view should repaint.
  void iconLoaded();

 private:
  void paintApp(QPainter* painter, const QStyleOptionViewItem& option,
                const QModelIndex& index) const;
  void paintChip(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const;
  void paintText(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const;
  QPixmap icon(const QString& path, qreal devicePixelRatio) const;
  void startLoading(const QString& path, int pixels, qreal devicePixelRatio) const;

  mutable QSet<QString> loading_;  // cache keys being read
  mutable QSet<QString> missing_;  // bundle paths found missing from disk
};

}  // namespace larkvale
