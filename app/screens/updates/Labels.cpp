#include "app/screens/updates/Labels.h"

namespace larkvale {

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

}  // namespace larkvale
