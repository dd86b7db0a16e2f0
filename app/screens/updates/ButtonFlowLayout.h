#pragma once
// A row of buttons that wraps onto further rows when the width runs out,
// each item at its preferred size, in order, leading-aligned. Main thread.
#include <QLayout>
#include <QList>

namespace larkvale {

class ButtonFlowLayout : public QLayout {
 public:
  explicit ButtonFlowLayout(int spacing, QWidget* parent = nullptr);
  ~ButtonFlowLayout() override;

  void addItem(QLayoutItem* item) override;
  int count() const override { return static_cast<int>(items_.size()); }
  QLayoutItem* itemAt(int index) const override;
  QLayoutItem* takeAt(int index) override;

  Qt::Orientations expandingDirections() const override { return {}; }
  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;
  QSize sizeHint() const override;
  QSize minimumSize() const override;
  void setGeometry(const QRect& rect) override;

 private:
  // Lays the items out in `rect` (only measuring unless `apply`); returns the
  // height used.
  int arrange(const QRect& rect, bool apply) const;

  QList<QLayoutItem*> items_;
  int gap_;
};

}  // namespace larkvale
