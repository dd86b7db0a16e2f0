#pragma once
// One running Larkvale per user. The first launch holds a lock file and
// listens on a local socket, both in the user's runtime folder
// ($XDG_RUNTIME_DIR, else a private folder of the user's under the
// temporary folder); a later launch hands its request to the first over
// that socket and ends. Two copies would otherwise both write the state
// file. Main thread only.
#include <QByteArray>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <chrono>
#include <memory>

class QLocalServer;

namespace larkvale {

class SingleInstance : public QObject {
  Q_OBJECT
 public:
  // What a later launch asks of the running one.
  static constexpr const char* openRequest = "open";             // a launch by the user
  static constexpr const char* loginItemRequest = "login-item";  // a launch at log-in

  // The user's runtime folder.
  static QString defaultFolder();

  explicit SingleInstance(QString folder = defaultFolder(), QObject* parent = nullptr);
  ~SingleInstance() override;

  // Becomes the running instance when no other holds the lock, and from then
  // on emits requested() for each later launch. False when another instance
  // runs. Without a usable folder there is no guard and this answers true.
  bool claim();

  // A later launch: hands `request` to the running instance, waiting at most
  // `timeout` for it to answer. True once it has taken the request.
  bool handOver(const QByteArray& request,
                std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;

  QString socketPath() const;

 signals:
  void requested(const QByteArray& request);

 private:
  void serve();

  QString folder_;
  std::unique_ptr<QLockFile> lock_;
  QLocalServer* server_ = nullptr;
};

}  // namespace larkvale
