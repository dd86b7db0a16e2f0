#pragma once
// A plain text as a menu item's title: an "&" in it (an app named "Salt &
// Pepper", the pane "Skipped & Held") shows as itself instead of marking the
// next letter as the item's mnemonic.
#include <QString>

namespace larkvale {

inline QString plainMenuText(QString text) {
  return text.replace(QLatin1Char('&'), QLatin1String("&&"));
}

}  // namespace larkvale
