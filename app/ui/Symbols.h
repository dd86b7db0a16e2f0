#pragma once
// The app's symbol images, by the symbol names the screens use
// ("arrow.down.circle", "gearshape", …). One table maps each name to an
// icon-theme name of the desktop; when the desktop's theme has no such icon
// the image bundled with the app is drawn instead, so the app looks the
// same without any theme. Symbols are one-colour images: draw them through
// tinted() in the colour wanted. Main thread (QIcon).
#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

#include <string_view>
#include <vector>

namespace larkvale::ui::Symbols {

struct Entry {
  std::string_view name;   // the symbol name the screens use
  std::string_view theme;  // the desktop icon-theme name; empty when none fits
};

// Every symbol the app knows, sorted by name.
const std::vector<Entry>& table();

// Whether the table has the name.
bool knows(std::string_view name);

// The image of a symbol: the theme's "<theme>-symbolic" or "<theme>" icon,
// else the bundled one. A null icon for a name the table lacks.
QIcon icon(std::string_view name);

// The bundled image alone, whatever the theme has.
QIcon bundled(std::string_view name);

// The symbol drawn in one colour, size × size device-independent pixels at
// the given pixel ratio; light parts of the image (the mark inside a filled
// circle) are left transparent. A null pixmap for an unknown name.
QPixmap tinted(std::string_view name, const QColor& color, int size, qreal devicePixelRatio = 1);

}  // namespace larkvale::ui::Symbols
