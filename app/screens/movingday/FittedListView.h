#pragma once
// A list view for rows inside a card of a scrolling pane: exactly as tall as
// all its rows at its current width, so it never scrolls itself (the pane
// does), with a transparent background and no frame. Rows are painted by the
// view's delegate, whose size hints may depend on the width. Main thread.
#include <QListView>

namespace larkvale::movingday {

class FittedListView : public QListView {
  Q_OBJECT

 public:
  explicit FittedListView(QWidget* parent = nullptr);

  void setModel(QAbstractItemModel* model) override;

  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void refit();
  int lastWidth_ = -1;
};

}  // namespace larkvale::movingday
