#pragma once
// What shows where there is nothing to list: a large symbol in the
// secondary colour over a title and a one-line description, centred in the
// space offered. Texts are shown verbatim. Main thread.
#include <QWidget>

#include "app/model/Pane.h"

class QLabel;

namespace larkvale {

namespace ui {
class SymbolView;
}

class UpdatesEmptyView : public QWidget {
  Q_OBJECT

 public:
  explicit UpdatesEmptyView(QWidget* parent = nullptr);

  void setContent(const QString& symbol, const QString& title, const QString& description);
  // What an update pane without rows says: that the scan found no app
  // bundles at all, when it didn't; else on the Updates pane that nothing
  // is waiting; else that the search matches nothing, when a search is
  // active; else that the pane has nothing yet.
  void showFor(Pane pane, bool searching, bool noAppsFound);
  QString title() const;
  QString description() const;
  QString symbol() const;

 private:
  QWidget* symbolHolder_;
  ui::SymbolView* symbol_ = nullptr;
  QLabel* title_;
  QLabel* description_;
};

}  // namespace larkvale
