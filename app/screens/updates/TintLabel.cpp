#include "app/screens/updates/TintLabel.h"

#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>

#include "app/ui/SymbolView.h"

namespace larkvale {

TintLabel::TintLabel(const QString& text, ui::Tint tint, QWidget* parent)
    : QLabel(text, parent), tint_(tint) {
  setTextFormat(Qt::PlainText);
  applyTint();
}

void TintLabel::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ParentChange) applyTint();
}

void TintLabel::applyTint() {
  // The tint is worked out on the inherited palette: this label's own has
  // the tint in it already.
  const QPalette inherited = parentWidget() ? parentWidget()->palette() : QApplication::palette();
  const QColor want = ui::Tints::color(tint_, inherited);
  if (palette().color(QPalette::WindowText) == want) return;
  QPalette own = palette();
  own.setColor(QPalette::WindowText, want);
  own.setColor(QPalette::Text, want);
  setPalette(own);
}

QLabel* plainLabel(const QString& text, QWidget* parent, bool wraps) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(wraps);
  return label;
}

QLabel* styledLabel(const QString& text, ui::TextStyle style, int weight, QWidget* parent) {
  QLabel* label = plainLabel(text, parent);
  label->setFont(weight < 0
                     ? ui::Fonts::font(style, label->font())
                     : ui::Fonts::font(style, label->font(), static_cast<QFont::Weight>(weight)));
  return label;
}

QWidget* symbolLine(const QString& name, const QString& symbol, const QString& text, ui::Tint tint,
                    QWidget* parent) {
  auto* line = new QWidget(parent);
  line->setObjectName(name);
  auto* row = new QHBoxLayout(line);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(6);
  auto* label = new TintLabel(text, tint, line);
  label->setObjectName(name + QStringLiteral("Text"));
  label->setWordWrap(true);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  row->addWidget(new ui::SymbolView(symbol, tint, label->fontMetrics().height(), line), 0,
                 Qt::AlignTop);
  row->addWidget(label, 1);
  return line;
}

}  // namespace larkvale
