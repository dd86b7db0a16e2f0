#pragma once
// The desktop's clipboard through Qt. Main thread; needs the application
// object of a graphical Qt application (without one nothing is copied).
#include "app/model/AppServices.h"

namespace larkvale {

class QtClipboard final : public Clipboard {
 public:
  void setText(const QString& text) override;
};

}  // namespace larkvale
