#pragma once
// One symbol image drawn in a tint, as a small fixed-size widget. It
// follows palette changes (a dark theme changes the tint's shade). It is
// decoration: it takes no focus and no clicks. Main thread.
#include <QWidget>

#include "app/ui/Tints.h"

namespace larkvale::ui {

class SymbolView : public QWidget {
  Q_OBJECT

 public:
  SymbolView(const QString& symbol, Tint tint, int size, QWidget* parent = nullptr);

  QString symbol() const { return symbol_; }
  QSize sizeHint() const override { return {size_, size_}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString symbol_;
  Tint tint_;
  int size_;
};

}  // namespace larkvale::ui
