#pragma once
// Labels of the update screens. All show their text verbatim (plain text,
// never rich text), whatever it holds.
#include <QLabel>

#include "app/ui/Fonts.h"

namespace larkvale {

// A plain-text label, optionally wrapping.
QLabel* plainLabel(const QString& text, QWidget* parent = nullptr, bool wraps = false);

// A label in one of the text styles; weight -1 keeps the style's own.
QLabel* styledLabel(const QString& text, ui::TextStyle style, int weight = -1,
                    QWidget* parent = nullptr);

}  // namespace larkvale
