#include "app/ui/FrameIcons.h"

#include <QString>

namespace larkvale {
namespace {

struct Mapping {
  std::string_view symbol;
  const char* themeName;  // freedesktop icon naming
};

constexpr Mapping kMappings[] = {
    {"arrow.down.circle", "software-update-available"},
    {"square.grid.2x2", "view-app-grid"},
    {"pause.circle", "media-playback-pause"},
    {"clock.arrow.circlepath", "document-open-recent"},
    {"shippingbox", "package-x-generic"},
    {"checklist", "view-list-bullet"},
    {"externaldrive.badge.plus", "drive-removable-media"},
    {"desktopcomputer", "computer"},
    {"gearshape", "preferences-system"},
    {"arrow.clockwise", "view-refresh"},
    {"magnifyingglass", "edit-find"},
    {"xmark", "window-close"},
    {"exclamationmark.triangle.fill", "dialog-warning"},
    {"checkmark.circle.fill", "emblem-ok"},
};

}  // namespace

QIcon frameIcon(std::string_view symbol) {
  for (const Mapping& m : kMappings) {
    if (m.symbol == symbol) return QIcon::fromTheme(QString::fromLatin1(m.themeName));
  }
  return {};
}

}  // namespace larkvale
