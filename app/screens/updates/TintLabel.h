#pragma once
// Labels of the update screens. All show their text verbatim (plain text,
// never rich text), whatever it holds.
#include <QLabel>

#include "app/ui/Fonts.h"
#include "app/ui/Tints.h"

namespace larkvale {

// A plain-text label drawn in a tint (the secondary colour for dimmed
// text). It follows the palette it inherits, so a dark theme keeps the
// contrast.
class TintLabel : public QLabel {
  Q_OBJECT

 public:
  TintLabel(const QString& text, ui::Tint tint, QWidget* parent = nullptr);

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void applyTint();

  ui::Tint tint_;
};

// A plain-text label, optionally wrapping.
QLabel* plainLabel(const QString& text, QWidget* parent = nullptr, bool wraps = false);

// A label in one of the text styles; weight -1 keeps the style's own.
QLabel* styledLabel(const QString& text, ui::TextStyle style, int weight = -1,
                    QWidget* parent = nullptr);

// A row of a small symbol and a wrapping text, both in the tint. The row's
// objectName is `name`; the text label is its child "<name>Text".
QWidget* symbolLine(const QString& name, const QString& symbol, const QString& text, ui::Tint tint,
                    QWidget* parent = nullptr);

}  // namespace larkvale
