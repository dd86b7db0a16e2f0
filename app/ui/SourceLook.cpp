#include "app/ui/SourceLook.h"

#include <QCoreApplication>

namespace larkvale::SourceLook {

ui::Tint tint(UpdateSource::Kind kind) {
  switch (kind) {
    case UpdateSource::Kind::sparkle:
      return ui::Tint::purple;
    case UpdateSource::Kind::homebrew:
      return ui::Tint::orange;
    case UpdateSource::Kind::github:
      return ui::Tint::indigo;
    case UpdateSource::Kind::appStore:
      return ui::Tint::blue;
    case UpdateSource::Kind::apple:
      return ui::Tint::gray;
    case UpdateSource::Kind::unknown:
      break;
  }
  return ui::Tint::secondary;
}

Look of(const UpdateSource& source) {
  const std::string label(source.label());
  return {
      QCoreApplication::translate("UpdateSource", label.c_str()),
      QString::fromLatin1(source.symbol().data(), static_cast<qsizetype>(source.symbol().size())),
      tint(source.kind())};
}

}  // namespace larkvale::SourceLook
