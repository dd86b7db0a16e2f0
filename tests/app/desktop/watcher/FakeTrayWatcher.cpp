// A status-notifier watcher for the tests, as a program of its own: it owns
// org.kde.StatusNotifierWatcher on the session bus, says that a host is
// registered, and writes "ready" on stdout, then "registered <item>" for
// each item registered with it. A test stops it (SIGSTOP) to have a watcher
// that keeps its name and answers nothing, and lets it go on (SIGCONT).
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QStringList>
#include <cstdio>

class FakeTrayWatcher : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
  Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
  Q_PROPERTY(int ProtocolVersion READ protocolVersion)
  Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)

 public:
  bool hostRegistered() const { return true; }
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
  FakeTrayWatcher watcher;
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
