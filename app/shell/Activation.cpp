#include "app/shell/Activation.h"

#include <xcb/xcb.h>

#include <QtGui/qguiapplication_platform.h>
#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cstdlib>
#include <cstring>

namespace larkvale::Activation {
namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
      nullptr);
  if (!reply) return XCB_ATOM_NONE;
  xcb_atom_t found = reply->atom;
  std::free(reply);
  return found;
}

// Asks the window manager to activate the window as the launch's own request
// (source 1, an application, with the launch's time stamp). Qt's own request
// carries the last time the app saw an event, which for an app idle in the
// tray is long past, so the window manager would refuse it.
void requestActiveWindow(QWidget& window, uint32_t time) {
#if QT_CONFIG(xcb)
  auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
  QWindow* handle = window.windowHandle();
  if (!x11 || !handle) return;
  xcb_connection_t* connection = x11->connection();
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  xcb_atom_t active = atom(connection, "_NET_ACTIVE_WINDOW");
  if (!screen || active == XCB_ATOM_NONE) return;
  xcb_client_message_event_t event{};
  event.response_type = XCB_CLIENT_MESSAGE;
  event.format = 32;
  event.window = static_cast<xcb_window_t>(handle->winId());
  event.type = active;
  event.data.data32[0] = 1;
  event.data.data32[1] = time;
  xcb_send_event(connection, 0, screen->root,
                 XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                 reinterpret_cast<const char*>(&event));
  xcb_flush(connection);
#else
  (void)window;
  (void)time;
#endif
}

}  // namespace

unsigned long startupTime(const QByteArray& token) {
  const qsizetype at = token.lastIndexOf("_TIME");
  if (at < 0) return 0;
  bool ok = false;
  const unsigned long time = token.mid(at + 5).toULong(&ok);
  return ok && time <= 0xffffffffUL ? time : 0;
}

void bringForward(QWidget& window, const QByteArray& token) {
  const QString platform = QGuiApplication::platformName();
  // Qt's Wayland activation takes the token from the environment.
  if (!token.isEmpty() && platform == QLatin1String("wayland")) {
    qputenv("XDG_ACTIVATION_TOKEN", token);
  }
  if (window.isMinimized()) window.showNormal();
  window.show();
  window.raise();
  window.activateWindow();
  const unsigned long time = platform == QLatin1String("xcb") ? startupTime(token) : 0;
  if (time == 0) return;
  requestActiveWindow(window, static_cast<uint32_t>(time));
  // A window that was hidden is mapped only once the event loop runs; ask
  // again then, when the window manager knows it.
  QTimer::singleShot(0, &window,
                     [&window, time] { requestActiveWindow(window, static_cast<uint32_t>(time)); });
}

}  // namespace larkvale::Activation
