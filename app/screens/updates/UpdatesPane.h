#pragma once
// The main window's content for the Updates, All Apps and Skipped & Held
// panes: the welcome page until a check report exists (or a check runs),
// then the update list above the detail of the selected app. Main thread.
#include <QWidget>

#include "app/model/AppModel.h"

class QScrollArea;
class QSplitter;
class QStackedWidget;

namespace larkvale {

class UpdateDetail;
class UpdateList;
class WelcomeView;

class UpdatesPane : public QWidget {
  Q_OBJECT

 public:
  UpdatesPane(AppModel& model, QWidget* parent = nullptr);

  bool showsWelcome() const;
  UpdateList* list() const { return list_; }
  UpdateDetail* detail() const { return detail_; }

 private:
  void refresh();

  AppModel& model_;
  QStackedWidget* pages_;
  QScrollArea* welcomePage_;
  WelcomeView* welcome_;
  QSplitter* split_;
  UpdateList* list_;
  UpdateDetail* detail_;
};

}  // namespace larkvale
