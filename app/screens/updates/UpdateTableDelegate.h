#pragma once
// Draws the cells of the update table: the app's icon and name (with the
// important-update mark), versions, the source and status chips and the
// release date. Until an app's icon has been read the desktop's generic
// application icon stands in; an app missing from disk gets the dashed
// placeholder. Main thread.
#include "app/ui/TableDelegate.h"

namespace larkvale {

class UpdateTableDelegate : public ui::TableDelegate {
  Q_OBJECT

 public:
  using TableDelegate::TableDelegate;

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

 protected:
  void paintCell(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index,
                 const QRect& cell) const override;

 private:
  void paintApp(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index,
                const QRect& cell) const;
  void paintText(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index,
                 const QRect& cell) const;
};

}  // namespace larkvale
