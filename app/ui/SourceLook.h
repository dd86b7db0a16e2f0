#pragma once
// How each update source looks wherever a screen shows it (the Source column
// of the update table, the source card of the update detail, the "Came from"
// column of the inventory): one symbol and one tint per case. The label and
// symbol name come from UpdateSource itself; the tint belongs to the screens.
#include <QString>

#include "app/ui/Tints.h"
#include "kit/model/UpdateSource.h"

namespace larkvale::SourceLook {

struct Look {
  QString label;   // UpdateSource::label, translated
  QString symbol;  // UpdateSource::symbol
  ui::Tint tint;
};

// sparkle purple, homebrew orange, github indigo, appStore blue, apple gray,
// unknown in the secondary colour.
ui::Tint tint(UpdateSource::Kind kind);

Look of(const UpdateSource& source);

}  // namespace larkvale::SourceLook
