#pragma once
// The content of the help window (objectName "helpView"): a scroll area
// holding the header, five cards on the app's features (updates and their
// hand-offs, skip and hold, Moving day, the tray, the app's own updates)
// and the catalogue's credit footer. Fixed texts only; it reads no model.
// Every text wraps at any width. Main thread.
#include <QScrollArea>

namespace pennant {
class MoreAppsCatalogue;
}

namespace larkvale {

class HelpView : public QScrollArea {
  Q_OBJECT

 public:
  explicit HelpView(pennant::MoreAppsCatalogue& catalogue, QWidget* parent = nullptr);
};

}  // namespace larkvale
