// A status-notifier watcher for the tests, as a program of its own: it owns
// org.kde.StatusNotifierWatcher on the session bus, says that a host is
// registered, and writes "ready" on stdout, then "registered <item>" for
// each item registered with it. A test stops it (SIGSTOP) to have a watcher
// that keeps its name and answers nothing, and lets it go on (SIGCONT).
//
// "--slow <ms>": a watcher that answers every call, but each one only after
// that long, one call at a time, as a busy one does. SIGUSR1 makes it answer
// at once from then on.
//
// "--tell-calls": writes "asked" on stdout for each read of
// IsStatusNotifierHostRegistered, as it answers.
#include <signal.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QEvent>
#include <QStringList>
#include <QThread>
#include <atomic>
#include <cstdio>

namespace {

std::atomic<int> answerDelayMs{0};
bool tellCalls = false;

void answerQuickly(int) {
  answerDelayMs.store(0);
}

// Every call to an exported object reaches it as a meta-call event on its
// thread, the introspection and the property reads included: holding those
// holds every answer.
class SlowAnswers : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    const int delay = answerDelayMs.load();
    if (event->type() == QEvent::MetaCall && delay > 0) QThread::msleep(delay);
    return false;
  }
};

}  // namespace

class FakeTrayWatcher : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
  Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
  Q_PROPERTY(int ProtocolVersion READ protocolVersion)
  Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)

 public:
  bool hostRegistered() const {
    if (tellCalls) {
      std::printf("asked\n");
      std::fflush(stdout);
    }
    return true;
  }
  int protocolVersion() const { return 0; }
  QStringList items() const { return items_; }

 public slots:
  void RegisterStatusNotifierItem(const QString& item) {
    items_ << item;
    std::printf("registered %s\n", qPrintable(item));
    std::fflush(stdout);
    emit StatusNotifierItemRegistered(item);
  }
  void RegisterStatusNotifierHost(const QString&) {}

 signals:
  void StatusNotifierItemRegistered(const QString& item);
  void StatusNotifierHostRegistered();

 private:
  QStringList items_;
};

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList arguments = QCoreApplication::arguments();
  if (const qsizetype slow = arguments.indexOf(QStringLiteral("--slow"));
      slow > 0 && slow + 1 < arguments.size()) {
    answerDelayMs.store(arguments.at(slow + 1).toInt());
  }
  tellCalls = arguments.contains(QStringLiteral("--tell-calls"));
  struct sigaction quick {};
  quick.sa_handler = answerQuickly;
  sigemptyset(&quick.sa_mask);
  quick.sa_flags = SA_RESTART;
  sigaction(SIGUSR1, &quick, nullptr);

  FakeTrayWatcher watcher;
  SlowAnswers slowAnswers;
  watcher.installEventFilter(&slowAnswers);
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                          QDBusConnection::ExportAllContents) ||
      !bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher"))) {
    std::fprintf(stderr, "can't own the watcher's name: %s\n",
                 qPrintable(bus.lastError().message()));
    return 1;
  }
  std::printf("ready\n");
  std::fflush(stdout);
  return QCoreApplication::exec();
}

#include "FakeTrayWatcher.moc"
