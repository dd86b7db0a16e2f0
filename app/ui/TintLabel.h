#pragma once
// Text in a tint: a keeper that holds any widget's text colour to a tint,
// the plain-text label built on it, and a row of a symbol before such a
// label. The colour is worked out from the palette the widget inherits and
// again whenever that changes (a dark theme, a new parent), so the contrast
// holds. Texts are shown verbatim unless a label is made rich. Main thread.
#include <QLabel>

#include <optional>

#include "app/ui/Fonts.h"
#include "app/ui/Tints.h"

namespace larkvale::ui {

// Keeps the widget's text (WindowText and Text) in the tint from now on;
// nothing gives it back the ordinary colour. Calling it again changes the
// tint.
void tintText(QWidget* widget, std::optional<Tint> tint);

// A label in a text style (the ordinary font when none is given) and a
// tint (the ordinary text colour when none). Plain text unless rich() is
// called; wraps when asked.
class TintLabel : public QLabel {
  Q_OBJECT

 public:
  TintLabel(const QString& text, std::optional<Tint> tint = std::nullopt,
            QWidget* parent = nullptr);
  TintLabel(const QString& text, TextStyle style, std::optional<Tint> tint = std::nullopt,
            QWidget* parent = nullptr);

  TintLabel* wrapping();
  TintLabel* rich();
  void setTint(std::optional<Tint> tint) { tintText(this, tint); }
};

// A row of a symbol and a wrapping text after it, both in the tint; the
// symbol is as tall as a line of the text. The row's objectName is `name`;
// the text, selectable with the mouse, is its child "<name>Text".
QWidget* symbolLine(const QString& name, const QString& symbol, const QString& text, Tint tint,
                    TextStyle style, QWidget* parent = nullptr);

}  // namespace larkvale::ui
