#pragma once
// What a launch says about itself. The autostart entry that starts the app
// at log-in carries one marker argument; the app takes no other options and
// ignores arguments it doesn't know.
#include <QStringList>

namespace larkvale::LaunchOptions {

// The marker of a launch at log-in. The autostart entry writes the same text.
inline constexpr const char* loginItemMarker = "--login-item";

// Whether the arguments (the program's name first) mark a launch at log-in.
inline bool launchedAsLoginItem(const QStringList& arguments) {
  return arguments.mid(1).contains(QLatin1String(loginItemMarker));
}

}  // namespace larkvale::LaunchOptions
