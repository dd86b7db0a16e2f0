#pragma once
// The updater's dialogs on screen: the alert with one "OK" button and the
// offer of a newer version. Each is shown without blocking and deletes
// itself when closed; a new offer replaces one still open. The offer is a
// window of its own and, as the app's other windows, closes with "Close
// Window" (Ctrl+W) as well as Escape. Main thread only.
#include <QPointer>
#include <QUrl>
#include <functional>

#include "app/shell/Updater.h"

class QDialog;
class QMessageBox;

namespace larkvale {

class UpdaterDialogs : public UpdaterPrompts {
 public:
  // `openUrl` opens the offered version's page. By default the shared
  // model (AppModel::shared()) opens it, so that a page the desktop can't
  // open is said in the notice as every other failed open; while no model
  // is shared the button does nothing.
  explicit UpdaterDialogs(std::function<void(const QUrl&)> openUrl = {});
  ~UpdaterDialogs() override;

  void alert(const QString& title, const QString& text) override;
  void offer(const OwnRelease& release, const AppInfo& app) override;

 private:
  std::function<void(const QUrl&)> openUrl_;
  QPointer<QMessageBox> alert_;
  QPointer<QDialog> offer_;
};

}  // namespace larkvale
