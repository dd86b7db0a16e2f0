#include "app/ui/Card.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include "app/ui/Fonts.h"
#include "app/ui/SymbolView.h"

namespace larkvale::ui {

Card::Card(const QString& title, std::optional<QString> symbol, Tint tint, QWidget* content,
           QWidget* parent)
    : QWidget(parent), title_(title), tint_(tint), layout_(new QVBoxLayout(this)) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);
  layout_->setContentsMargins(padding, padding, padding, padding);
  layout_->setSpacing(contentSpacing);

  auto* heading = new QHBoxLayout;
  heading->setSpacing(headingSpacing);
  QFont headline = Fonts::font(TextStyle::headline, font());
  if (symbol) {
    int size = QFontMetrics(headline).height();
    heading->addWidget(new SymbolView(*symbol, tint, size, this), 0, Qt::AlignVCenter);
  }
  auto* label = new QLabel(title, this);
  label->setObjectName(QStringLiteral("cardTitle"));
  label->setTextFormat(Qt::PlainText);
  label->setFont(headline);
  heading->addWidget(label, 1, Qt::AlignVCenter);
  layout_->addLayout(heading);
  setContent(content);
}

void Card::setContent(QWidget* content) {
  if (content_) delete content_;
  content_ = content;
  if (content_) layout_->addWidget(content_);
}

void Card::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  QColor tint = Tints::color(tint_, palette());
  // The border lies inside the edge: its centre line half a pixel in.
  QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  QPainterPath path;
  path.addRoundedRect(box, radius - 0.5, radius - 0.5);
  painter.fillPath(path, Tints::withOpacity(tint, fillOpacity));
  QPen pen(Tints::withOpacity(tint, borderOpacity), 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
  painter.strokePath(path, pen);
}

}  // namespace larkvale::ui
