#pragma once
// The icons of the window frame, by the symbol names the rest of the app
// uses ("arrow.down.circle" …). One place maps them, so the frame follows
// whatever icon table the app settles on.
#include <QIcon>
#include <string_view>

namespace larkvale {

// The icon for a symbol name; a null icon for a name the table doesn't know
// or the theme doesn't have.
QIcon frameIcon(std::string_view symbol);

}  // namespace larkvale
