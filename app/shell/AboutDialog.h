#pragma once
// The About panel: the app's icon, name and version, and the credits in the
// small font and the secondary text colour. Main thread only.
#include <QDialog>
#include <QIcon>

#include "app/shell/Updater.h"

namespace larkvale {

class AboutDialog : public QDialog {
  Q_OBJECT
 public:
  AboutDialog(const AppInfo& app, const QIcon& icon, QWidget* parent = nullptr);

  // The credits, line breaks included.
  static QString credits();
};

}  // namespace larkvale
