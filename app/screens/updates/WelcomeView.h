#pragma once
// The first-run page, shown before the first check: what Larkvale asks and
// what it never does, and one "Check for Updates" button (also on Return).
// Main thread.
#include <QWidget>

#include "app/model/AppModel.h"

class QPushButton;

namespace larkvale {

class WelcomeView : public QWidget {
  Q_OBJECT

 public:
  static constexpr int maxWidth = 760;

  WelcomeView(AppModel& model, QWidget* parent = nullptr);

  QPushButton* checkButton() const { return check_; }

 private:
  AppModel& model_;
  QPushButton* check_;
};

}  // namespace larkvale
