#pragma once
// The main window's content for the Updates, All Apps and Skipped & Held
// panes: the welcome page until a check report exists (or a check runs),
// then the update list above the detail of the selected app. Each of the two
// pages is built when it is first shown. Main thread.
#include <QWidget>

#include "app/model/AppModel.h"

class QScrollArea;
class QSplitter;
class QStackedWidget;

namespace larkvale {

class UpdateDetail;
class UpdateList;

class UpdatesPane : public QWidget {
  Q_OBJECT

 public:
  UpdatesPane(AppModel& model, QWidget* parent = nullptr);

  bool showsWelcome() const;
  // Null until the list page has first been shown.
  UpdateList* list() const { return list_; }
  UpdateDetail* detail() const { return detail_; }

 private:
  void refresh();
  QWidget* welcomePage();
  QWidget* listPage();

  AppModel& model_;
  QStackedWidget* pages_;
  QScrollArea* welcomePage_ = nullptr;
  QSplitter* split_ = nullptr;
  UpdateList* list_ = nullptr;
  UpdateDetail* detail_ = nullptr;
};

}  // namespace larkvale
