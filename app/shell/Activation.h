#pragma once
// Bringing one of the app's windows to the front when another launch asks
// for it. A window manager that prevents focus stealing lets an idle app take
// the focus only on the strength of the launch's startup-notification token
// (XDG_ACTIVATION_TOKEN under Wayland, DESKTOP_STARTUP_ID under X11), which
// the later launch hands over. Main thread only.
#include <QByteArray>

class QWidget;

namespace larkvale::Activation {

// Shows the window if hidden, restores it if minimised, raises it and makes
// it active, on the strength of `token` when there is one.
void bringForward(QWidget& window, const QByteArray& token = {});

// The time stamp of an X11 startup id ("…_TIME<digits>"), 0 when none.
unsigned long startupTime(const QByteArray& token);

}  // namespace larkvale::Activation
