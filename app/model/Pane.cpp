#include "app/model/Pane.h"

#include <QCoreApplication>

namespace larkvale::Panes {
namespace {
struct Row {
  Pane pane;
  std::string_view raw;
  const char* title;
  std::string_view symbol;
};
constexpr Row kRows[] = {
    {Pane::updates, "updates", QT_TRANSLATE_NOOP("Pane", "Updates"), "arrow.down.circle"},
    {Pane::allApps, "allApps", QT_TRANSLATE_NOOP("Pane", "All Apps"), "square.grid.2x2"},
    {Pane::held, "held", QT_TRANSLATE_NOOP("Pane", "Skipped & Held"), "pause.circle"},
    {Pane::history, "history", QT_TRANSLATE_NOOP("Pane", "History"), "clock.arrow.circlepath"},
    {Pane::inventory, "inventory", QT_TRANSLATE_NOOP("Pane", "Inventory"), "shippingbox"},
    {Pane::checklist, "checklist", QT_TRANSLATE_NOOP("Pane", "Restore Checklist"), "checklist"},
    {Pane::carry, "carry", QT_TRANSLATE_NOOP("Pane", "Copy Settings"), "externaldrive.badge.plus"},
    {Pane::newMac, "newMac", QT_TRANSLATE_NOOP("Pane", "New Mac Check"), "desktopcomputer"},
    {Pane::settings, "settings", QT_TRANSLATE_NOOP("Pane", "Settings"), "gearshape"},
};
const Row& row(Pane pane) {
  return kRows[static_cast<size_t>(pane)];
}
}  // namespace

std::string_view rawValue(Pane pane) {
  return row(pane).raw;
}

std::optional<Pane> fromRawValue(std::string_view raw) {
  for (const Row& r : kRows) {
    if (r.raw == raw) return r.pane;
  }
  return std::nullopt;
}

QString title(Pane pane) {
  return QCoreApplication::translate("Pane", row(pane).title);
}

std::string_view symbol(Pane pane) {
  return row(pane).symbol;
}

}  // namespace larkvale::Panes
