#pragma once
// How the window frame finds the screens it hosts, without knowing them: the
// executable hands in one Screens value whose functions build each screen.
// A function left empty (or returning null) gives a placeholder.
#include <QString>
#include <functional>

#include "app/model/AppModel.h"

class QDialog;
class QWidget;

namespace larkvale {

struct Screens {
  // The content of a pane of the main window's detail column.
  std::function<QWidget*(Pane pane, AppModel& model, QWidget* parent)> pane;
  // The hold sheet for an update (shown while AppModel::holdRequest is set).
  std::function<QDialog*(const AppUpdate& update, AppModel& model, QWidget* parent)> holdSheet;
  // The "Update All That Are Safe" sheet (shown while AppModel::safeSheet).
  std::function<QDialog*(AppModel& model, QWidget* parent)> safeSheet;
  // The content of the help window.
  std::function<QWidget*(QWidget* parent)> help;
};

}  // namespace larkvale
