#include "app/ui/SymbolView.h"

#include <QPainter>

#include "app/ui/Symbols.h"

namespace larkvale::ui {

SymbolView::SymbolView(const QString& symbol, Tint tint, int size, QWidget* parent)
    : QWidget(parent), symbol_(symbol), tint_(tint), size_(size) {
  setFixedSize(size, size);
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void SymbolView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  QPixmap pixmap = Symbols::tinted(symbol_.toStdString(), Tints::color(tint_, palette()), size_,
                                   devicePixelRatioF());
  if (!pixmap.isNull()) painter.drawPixmap(rect(), pixmap);
}

}  // namespace larkvale::ui
