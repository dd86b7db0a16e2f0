#pragma once
// The capsule that names an update's effective status, in the update table
// and in the update detail.
#include <QString>

#include "app/ui/Tints.h"
#include "kit/model/AppState.h"

namespace larkvale::ui {
class Chip;
}

class QWidget;

namespace larkvale::StatusChip {

struct Look {
  QString text;
  QString symbol;
  ui::Tint tint;
};

// "Update", "Skipped", "On hold", "Up to date", "Couldn't check", and for
// noSource "With macOS" (apple), "See App Store" (appStore) or "No feed".
Look look(AppState::Effective effective, const UpdateSource& source);

// The chip for an update, its status worked out on the given state.
ui::Chip* make(const AppState& state, const AppUpdate& update, QWidget* parent = nullptr);

}  // namespace larkvale::StatusChip
