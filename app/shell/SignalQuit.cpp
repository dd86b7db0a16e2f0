#include "app/shell/SignalQuit.h"

#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <csignal>

namespace larkvale {
namespace {

int gWriteEnd = -1;

void onSignal(int) {
  char byte = 1;
  // Only an async-signal-safe write here; the main thread does the rest.
  [[maybe_unused]] ssize_t n = ::write(gWriteEnd, &byte, 1);
}

}  // namespace

void quitOnTerminationSignals() {
  int ends[2];
  if (gWriteEnd >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return;
  gWriteEnd = ends[1];
  auto* notifier =
      new QSocketNotifier(ends[0], QSocketNotifier::Read, QCoreApplication::instance());
  QObject::connect(notifier, &QSocketNotifier::activated, notifier, [notifier] {
    char byte;
    [[maybe_unused]] ssize_t n = ::read(static_cast<int>(notifier->socket()), &byte, 1);
    // In the main loop, quit() closes the windows and ends it. Before that
    // loop runs (a message box at start-up) quit() does nothing, and a
    // window that refuses to close would keep the app up: exit() ends every
    // loop that runs, whichever it is.
    QCoreApplication::quit();
    QCoreApplication::exit(0);
  });
  struct sigaction action = {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

}  // namespace larkvale
