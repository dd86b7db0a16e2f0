#pragma once
// A button's symbol drawn in the colour of the button's own text, for its
// enabled and disabled states, and drawn again whenever the button's palette
// or style changes: the symbol reads on dark palettes as the label beside it
// does, instead of keeping the dark strokes of the bundled image. Main
// thread.
#include <QString>

class QAbstractButton;

namespace larkvale::ui {

// Gives the button the symbol (a name of the symbol table) at the button's
// icon size. Calling it again replaces the symbol; the tint stays with the
// button (a child object) for its lifetime.
void setButtonSymbol(QAbstractButton* button, const QString& symbol);

}  // namespace larkvale::ui
