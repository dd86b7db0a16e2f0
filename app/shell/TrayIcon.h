#pragma once
// The app's permanent presence: an icon in the desktop's tray that carries
// the number of waiting updates, a tool tip that says it in words, and the
// menu of TrayMenu, rebuilt from the model once after every change it shows
// (or when it is about to show first, if that comes sooner). Where the desktop has no tray nothing
// shows, and the app runs on all the same. Main thread only.
#include <QFont>
#include <QIcon>
#include <QObject>
#include <memory>

#include "app/model/AppModel.h"
#include "app/shell/ShellActions.h"

class QMenu;
class QSystemTrayIcon;

namespace larkvale {

class TrayIcon : public QObject {
  Q_OBJECT
 public:
  TrayIcon(AppModel& model, ShellActions& shell, QObject* parent = nullptr);
  ~TrayIcon() override;

  // Puts the icon into the tray (now, or once the desktop offers one).
  void show();

  QMenu& menu() { return *menu_; }

  // The icon for `count` waiting updates: an arrow in a circle; filled and
  // carrying the number in a badge when there is at least one. Below
  // kBadgeFromSize pixels a badge would be too small to read, so there the
  // number alone fills the circle. Drawn in 16 to 64 pixels when first
  // asked for a picture.
  static QIcon iconFor(int count);
  static constexpr int kBadgeFromSize = 32;

  // The bold font a small icon of `size` pixels writes `text` in: as large
  // as fits across the icon.
  static QFont countFont(int size, const QString& text);
  // The bold font the badge of a larger icon writes `text` in: as large as
  // keeps the badge (the text and a margin of 0.4 of its height, at least
  // as wide as high) within the icon, up to about half the icon's height.
  // Both give 7 pixels where nothing fits.
  static QFont badgeFont(int size, const QString& text);

 private:
  void refresh();
  void scheduleRebuild();
  void rebuildMenu();

  AppModel& model_;
  ShellActions& shell_;
  std::unique_ptr<QMenu> menu_;
  QSystemTrayIcon* tray_ = nullptr;
  int shownCount_ = -1;
  bool rebuildPending_ = false;
  bool menuStale_ = true;  // a change the menu doesn't show yet
};

}  // namespace larkvale
