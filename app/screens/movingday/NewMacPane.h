#pragma once
// The New Mac Check pane, used on the new computer: the user opens the
// Moving Day folder Copy Settings made (or its manifest.json), the model
// compares it with this computer, and the pane shows the comparison. Three
// states, from the model: comparing, a comparison, or nothing open yet. It
// starts no work when shown. Main thread.
#include <QWidget>

class QVBoxLayout;

namespace larkvale {

class AppModel;

namespace movingday {

class NewMacPane : public QWidget {
  Q_OBJECT

 public:
  explicit NewMacPane(AppModel& model, QWidget* parent = nullptr);

 private:
  void refresh();

  AppModel& model_;
  QVBoxLayout* slot_;
  QWidget* shown_ = nullptr;
};

}  // namespace movingday
}  // namespace larkvale
