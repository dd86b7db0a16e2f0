#pragma once
// How the catalogue looks and reaches the world: the colours of the feed's
// tint names, the symbol images, the text styles, and opening a link. The
// host can hand in its own symbol table, link opener and window keys
// (MoreAppsHooks); tests hand in a recorder instead of the desktop's
// browser. Main thread.
#include <QColor>
#include <QFont>
#include <QIcon>
#include <QPalette>
#include <QString>
#include <QUrl>

#include <functional>

class QWidget;

namespace pennant {

struct MoreAppsHooks {
  // The image of a system symbol name, or a null icon when there is none of
  // that name. By default the few symbols this module ships.
  std::function<QIcon(const QString& symbol)> symbol;
  // Opens a link in the App Store or the default browser. By default the
  // desktop's handler for the URL.
  std::function<void(const QUrl& url)> openURL;
  // Called once with the catalogue's window when it is made, before it is
  // first shown, so that the host can give it the keys its other windows
  // have. By default nothing.
  std::function<void(QWidget& window)> windowMade;

  MoreAppsHooks();
};

namespace MoreAppsLook {

// The colour of a tint name of the feed; any name not known, "blue"
// included, is blue. Slightly lighter variants on a dark palette.
QColor tintColor(const QString& tint, const QPalette& palette);

// The symbols this module ships: "app.fill" (an entry whose symbol is
// unknown), "square.grid.2x2.fill" (the see-all row) and
// "arrow.up.forward.app" (the link mark). Null icon for any other name.
QIcon bundledSymbol(const QString& name);

// An icon drawn in one colour at a size in device-independent pixels; its
// light parts (the mark inside a filled shape) are left transparent.
QPixmap tinted(const QIcon& icon, const QColor& color, int size, qreal devicePixelRatio);

// Text styles relative to the application's font: headline (bold body),
// callout and caption (smaller).
QFont headline(const QFont& base);
QFont callout(const QFont& base);
QFont caption(const QFont& base);

// Dimmed text for secondary lines.
QColor secondaryText(const QPalette& palette);

}  // namespace MoreAppsLook
}  // namespace pennant
