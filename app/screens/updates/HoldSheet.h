#pragma once
// Asks for a note before Larkvale stops offering updates for one app. "Hold"
// (Return) hands the update and the typed reason to the model and closes the
// sheet; "Cancel" (Escape) closes it and records nothing. The typed reason
// lives only as long as the sheet. Shift-Return starts a new line. The
// window that shows the sheet clears the model's hold request when it
// closes. Main thread.
#include <QDialog>

#include "app/model/AppModel.h"

class QPlainTextEdit;
class QPushButton;

namespace larkvale {

class HoldSheet : public QDialog {
  Q_OBJECT

 public:
  static constexpr int width = 460;
  static constexpr int minLines = 2;
  static constexpr int maxLines = 4;

  HoldSheet(const AppUpdate& update, AppModel& model, QWidget* parent = nullptr);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void hold();
  void fitReason();

  AppModel& model_;
  AppUpdate update_;
  QPlainTextEdit* reason_;
};

}  // namespace larkvale
