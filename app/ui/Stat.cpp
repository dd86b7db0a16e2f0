#include "app/ui/Stat.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include "app/ui/ClampedLabel.h"
#include "app/ui/Fonts.h"

namespace larkvale::ui {

Stat::Stat(const QString& value, const QString& label, Tint tint, QWidget* parent)
    : QWidget(parent),
      tint_(tint),
      value_(new QLabel(value, this)),
      label_(new ClampedLabel(label, 1, this)) {
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Maximum);
  value_->setObjectName(QStringLiteral("statValue"));
  value_->setTextFormat(Qt::PlainText);
  value_->setFont(Fonts::font(TextStyle::title2, font(), QFont::DemiBold));
  // An empty value keeps its line, so the box does not shrink.
  value_->setMinimumHeight(QFontMetrics(value_->font()).height());
  label_->setObjectName(QStringLiteral("statLabel"));
  // Side by side, counters share the width evenly whatever their captions.
  label_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  label_->setFont(Fonts::font(TextStyle::caption, font()));
  applyColours();
  setAccessibleName(value + QStringLiteral(" ") + label);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(padding, padding, padding, padding);
  layout->setSpacing(spacing);
  layout->addWidget(value_);
  layout->addWidget(label_);
}

QString Stat::value() const {
  return value_->text();
}
QString Stat::label() const {
  return label_->text();
}

void Stat::applyColours() {
  QPalette valuePalette = value_->palette();
  valuePalette.setColor(QPalette::WindowText, Tints::color(tint_, palette()));
  value_->setPalette(valuePalette);
  QPalette labelPalette = label_->palette();
  labelPalette.setColor(QPalette::WindowText, Tints::secondaryText(palette()));
  label_->setPalette(labelPalette);
}

void Stat::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::PaletteChange) applyColours();
}

void Stat::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath path;
  path.addRoundedRect(QRectF(rect()), radius, radius);
  painter.fillPath(path, Tints::withOpacity(Tints::color(tint_, palette()), fillOpacity));
}

}  // namespace larkvale::ui
