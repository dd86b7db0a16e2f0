#pragma once
// The app's own icon: the icon theme's "larkvale" (installed with the app),
// else the copy compiled into the program. Needs a QGuiApplication.
#include <QIcon>

namespace larkvale {

QIcon larkvaleIcon();

}  // namespace larkvale
