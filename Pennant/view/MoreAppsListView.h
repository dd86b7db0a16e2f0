#pragma once
// The catalogue as a grouped list: a row per entry, the see-all row in a
// direct build, and a footer saying where the links go. Choosing a row
// opens its link through the hooks. Each time the view is shown it asks its
// list to refresh. It keeps no state beyond the list it was made with.
// Main thread.
#include <QWidget>

#include <memory>

#include "Pennant/MoreAppsConfig.h"
#include "Pennant/view/MoreAppsLook.h"

class QLabel;
class QListView;

namespace pennant {

class MoreAppsList;
class MoreAppsListModel;
struct MoreAppsLastResult;

class MoreAppsListView : public QWidget {
  Q_OBJECT

 public:
  // A list with every default of the loader, sharing the run's last result;
  // it caches in the default folder named after config.bundleID.
  MoreAppsListView(const MoreAppsConfig& config, std::shared_ptr<MoreAppsLastResult> lastResult,
                   MoreAppsHooks hooks = {}, QWidget* parent = nullptr);
  // A ready list, which the view does not own. `language` empty: the
  // module's language.
  MoreAppsListView(MoreAppsList* list, MoreAppsHooks hooks = {}, QString language = {},
                   QWidget* parent = nullptr);

  MoreAppsList* list() const { return list_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void build(const QString& language);
  void open(const QModelIndex& index);

  MoreAppsList* list_;
  MoreAppsHooks hooks_;
  MoreAppsListModel* model_ = nullptr;
  QListView* rows_ = nullptr;
  QLabel* footer_ = nullptr;
};

}  // namespace pennant
