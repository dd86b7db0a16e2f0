#pragma once
// The help window (objectName "help", 760 × 580 by default): a plain window
// around the help content the executable hands in, or a placeholder. The
// shell decides when it opens; closing it only hides it.
//
// Main thread only.
#include <QWidget>

#include "app/window/Screens.h"

namespace larkvale {

class HelpWindow : public QWidget {
  Q_OBJECT

 public:
  static constexpr QSize kDefaultSize{760, 580};

  explicit HelpWindow(const Screens& screens, QWidget* parent = nullptr);
};

}  // namespace larkvale
