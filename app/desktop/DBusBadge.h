#pragma once
// The count of waiting updates on the app's launcher icon, through the
// launcher-entry signal that Ubuntu's dock, KDE Plasma's task manager and
// other docks listen to (com.canonical.Unity.LauncherEntry.Update on the
// session bus, for the app's desktop file).
//
// Threads: main thread (the connection's thread). Never blocks: the signal
// is sent and forgotten; without a bus, or a dock listening, nothing shows.
#include <QDBusConnection>
#include <QString>

#include "app/model/AppServices.h"

namespace larkvale {

class DBusBadge final : public Badge {
 public:
  static constexpr const char* kAppUri = "application://larkvale.desktop";
  static constexpr const char* kInterface = "com.canonical.Unity.LauncherEntry";
  static constexpr const char* kObjectPath = "/com/canonical/unity/launcherentry/larkvale";

  explicit DBusBadge(QDBusConnection bus = QDBusConnection::sessionBus());

  // Shows `count` on the icon; 0 (or less) hides the badge.
  void setCount(int count) override;

 private:
  QDBusConnection bus_;
};

}  // namespace larkvale
