#include "app/ui/Symbols.h"

#include <QFile>
#include <QImage>
#include <QPixmapCache>

#include <algorithm>

#include "Pennant/view/MoreAppsLook.h"

// Outside any namespace, as Q_INIT_RESOURCE requires.
static void initSymbolResources() {
  Q_INIT_RESOURCE(symbols);
}

namespace larkvale::ui::Symbols {

namespace {

// Theme names follow the freedesktop icon naming specification where it
// has a fitting icon; the rest are drawn from the bundled images only. A
// theme icon that would change what a symbol says stays out, as the common
// themes draw them: the important-update mark is no "low security" shield,
// the raised hand (hold, never does) no "stop" sign, the Updates arrow and
// the "Update" chip no gear ("software-update-available"), an app no gear
// ("application-x-executable"), a licence-looking file no spanner
// ("document-properties"), and the download and history arrows no chevrons
// that read as fold and unfold ("go-bottom", "go-up"). Nor is "Show in File
// Manager" or a hand-off that failed a bare chevron ("go-next"), a remark
// the tip's light bulb ("dialog-information"), the safe-update shield one
// without its check ("security-high"), Copy Settings' drive a monitor like
// New Mac Check's ("drive-removable-media"), or the servers on the
// internet that the welcome says it asks a computer on a local network
// ("network-workgroup"), nor an unknown source a bare question mark that
// reads at chip size as a character the font couldn't draw
// ("dialog-question").
const std::vector<Entry> kTable = {
    {"app.badge", ""},
    {"app.dashed", ""},
    {"app.fill", ""},
    {"applelogo", ""},
    {"arrow.clockwise", "view-refresh"},
    {"arrow.down.app", ""},
    {"arrow.down.circle", ""},
    {"arrow.down.circle.fill", ""},
    {"arrow.down.to.line", ""},
    {"arrow.right.circle", ""},
    {"arrow.right.circle.fill", ""},
    {"arrow.triangle.2.circlepath", ""},
    {"arrow.triangle.branch", ""},
    {"arrow.up.circle.fill", ""},
    {"arrow.up.forward.app", ""},
    {"arrow.uturn.backward", "edit-undo"},
    {"bag", "system-software-install"},
    {"bell.badge", ""},
    {"bell.slash", "notifications-disabled"},
    {"calendar", "x-office-calendar"},
    {"camera.viewfinder", "camera-photo"},
    {"checklist", ""},
    {"checkmark", "object-select"},
    {"checkmark.circle", ""},
    {"checkmark.circle.fill", "emblem-default"},
    {"checkmark.seal.fill", ""},
    {"checkmark.shield", ""},
    {"circle", ""},
    {"clock", ""},
    {"clock.arrow.circlepath", "document-open-recent"},
    {"desktopcomputer", "computer"},
    {"doc.badge.ellipsis", ""},
    {"doc.on.doc", "edit-copy"},
    {"doc.plaintext", "text-x-generic"},
    {"doc.richtext", "x-office-document"},
    {"doc.text", "text-x-generic"},
    {"dot.radiowaves.up.forward", "application-rss+xml"},
    {"exclamationmark.bubble", ""},
    {"exclamationmark.shield.fill", ""},
    {"exclamationmark.triangle", "dialog-warning"},
    {"exclamationmark.triangle.fill", "dialog-warning"},
    {"externaldrive.badge.plus", ""},
    {"flag.checkered", ""},
    {"folder", "folder"},
    {"folder.badge.questionmark", ""},
    {"forward", "media-skip-forward"},
    {"forward.circle", "media-skip-forward"},
    {"gear", "emblem-system"},
    {"gearshape", "preferences-system"},
    {"hand.raised", ""},
    {"hand.tap", ""},
    {"info.circle", ""},
    {"key", "dialog-password"},
    {"lightbulb", ""},
    {"list.bullet.rectangle", ""},
    {"list.number", ""},
    {"lock.shield", ""},
    {"menubar.rectangle", ""},
    {"minus.circle", "list-remove"},
    {"mug", ""},
    {"network", ""},
    {"pause.circle", "media-playback-pause"},
    {"play.circle", "media-playback-start"},
    {"questionmark.circle", ""},
    {"safari", "web-browser"},
    {"shippingbox", "package-x-generic"},
    {"square.grid.2x2", "view-grid"},
    {"square.grid.2x2.fill", "view-grid"},
    {"suitcase", ""},
    {"terminal", "utilities-terminal"},
    {"timer", ""},
    {"tray", ""},
    {"xmark", "window-close"},
};

const Entry* find(std::string_view name) {
  auto it = std::lower_bound(kTable.begin(), kTable.end(), name,
                             [](const Entry& e, std::string_view n) { return e.name < n; });
  return it != kTable.end() && it->name == name ? &*it : nullptr;
}

QString resourcePath(std::string_view name) {
  static const bool loaded = (initSymbolResources(), true);
  (void)loaded;
  return QStringLiteral(":/larkvale/symbols/") + QString::fromUtf8(name.data(), name.size()) +
         QStringLiteral(".svg");
}

}  // namespace

const std::vector<Entry>& table() {
  return kTable;
}

bool knows(std::string_view name) {
  return find(name) != nullptr;
}

QIcon bundled(std::string_view name) {
  if (!find(name)) return {};
  return QIcon(resourcePath(name));
}

QIcon icon(std::string_view name) {
  const Entry* entry = find(name);
  if (!entry) return {};
  QIcon fallback(resourcePath(name));
  if (entry->theme.empty()) return fallback;
  QString theme = QString::fromUtf8(entry->theme.data(), entry->theme.size());
  return QIcon::fromTheme(theme + QStringLiteral("-symbolic"), QIcon::fromTheme(theme, fallback));
}

QPixmap tinted(std::string_view name, const QColor& color, int size, qreal devicePixelRatio) {
  if (!find(name)) return {};
  QString key = QStringLiteral("larkvale.symbol:%1:%2:%3:%4:")
                    .arg(color.rgba())
                    .arg(size)
                    .arg(devicePixelRatio)
                    .arg(QIcon::themeName()) +
                QString::fromUtf8(name.data(), name.size());
  QPixmap out;
  if (QPixmapCache::find(key, &out)) return out;
  // The catalogue draws its symbols the same way; one recolouring serves both.
  out = pennant::MoreAppsLook::tinted(icon(name), color, size, devicePixelRatio);
  if (!out.isNull()) QPixmapCache::insert(key, out);
  return out;
}

}  // namespace larkvale::ui::Symbols
