#pragma once
// A list view for rows inside a card of a scrolling pane: exactly as tall as
// all its rows at its current width, so it never scrolls itself (the pane
// does), with a transparent background and no frame. Rows are painted by the
// view's delegate, whose size hints may depend on the width. Main thread.
#include <QHash>
#include <QListView>

#include <optional>

namespace larkvale::movingday {

class FittedListView : public QListView {
  Q_OBJECT

 public:
  explicit FittedListView(QWidget* parent = nullptr);

  void setModel(QAbstractItemModel* model) override;

  // The height of a row at a width as last worked out for the whole list;
  // nothing when not known. Delegates answer their size hints from here, so
  // each row is measured once per width.
  std::optional<int> knownRowHeight(int row, int width) const;

  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void refit();
  void rowsChanged();
  int estimatedHeight() const;

  int lastWidth_ = -1;
  // Row heights already worked out, by width; forgotten when the rows
  // change.
  mutable QHash<int, QList<int>> heights_;
};

}  // namespace larkvale::movingday
