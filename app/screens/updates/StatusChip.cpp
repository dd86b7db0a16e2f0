#include "app/screens/updates/StatusChip.h"

#include <QCoreApplication>

#include "app/ui/Chip.h"

namespace larkvale::StatusChip {
namespace {

QString tr(const char* text) {
  return QCoreApplication::translate("StatusChip", text);
}

}  // namespace

Look look(AppState::Effective effective, const UpdateSource& source) {
  using E = AppState::Effective;
  switch (effective) {
    case E::update:
      return {tr("Update"), "arrow.down.circle.fill", ui::Tint::accent};
    case E::skipped:
      return {tr("Skipped"), "forward", ui::Tint::gray};
    case E::held:
      return {tr("On hold"), "pause.circle", ui::Tint::gray};
    case E::current:
      return {tr("Up to date"), "checkmark", ui::Tint::green};
    case E::notChecked:
      return {tr("Couldn't check"), "exclamationmark.triangle", ui::Tint::orange};
    case E::noSource:
      break;
  }
  QString text = source.kind() == UpdateSource::Kind::apple      ? tr("With macOS")
                 : source.kind() == UpdateSource::Kind::appStore ? tr("See App Store")
                                                                 : tr("No feed");
  return {text, "minus.circle", ui::Tint::gray};
}

ui::Chip* make(const AppState& state, const AppUpdate& update, QWidget* parent) {
  Look chip = look(state.effective(update), update.source);
  return new ui::Chip(chip.text, chip.symbol, chip.tint, parent);
}

}  // namespace larkvale::StatusChip
