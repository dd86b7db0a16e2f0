#pragma once
// The desktop's notifications through org.freedesktop.Notifications on the
// session bus.
//
// Permission: this desktop asks nobody; the app may post when a notification
// service answers on the bus. requestPermission asks the service for its
// capabilities without blocking and finishes with true when it answers,
// false when no service is there or the call fails.
//
// Posting: each notification is sent with the app name "Larkvale", its title
// and body and a default action. A later post with the same identifier
// replaces the earlier notification (its id goes as replaces_id); a post made
// while the previous one with that identifier still waits for its id is sent
// once that id is known, so it replaces instead of piling up. The body is
// escaped for a service that says it reads markup in it, sent as it is to
// one that says it doesn't, and sent with '&', '<' and '>' in their
// fullwidth forms, which neither kind reads as markup, when the service
// doesn't say (no answer in time); it is asked before each post. A post's
// future gives true once the service has taken it (or the later post with
// that identifier that replaced it before it went), false when no service is
// there, the call fails or this object goes away first.
//
// Withdrawing: a posted notification is closed (CloseNotification with its
// id); one whose Notify call is under way is closed once its id comes back,
// unless a later post with that identifier is to replace it by then; one
// that waits to be sent is dropped, its future giving true.
//
// When the user clicks one of the notifications this object posted, it emits
// activated with that notification's identifier.
//
// Threads: main thread. Never blocks.
#include <QDBusConnection>
#include <QFuture>
#include <QObject>
#include <QString>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/model/AppServices.h"

namespace larkvale {

class DBusNotifications final : public QObject, public Notifications {
  Q_OBJECT

 public:
  static constexpr const char* kService = "org.freedesktop.Notifications";
  static constexpr const char* kPath = "/org/freedesktop/Notifications";
  static constexpr const char* kAppName = "Larkvale";
  static constexpr const char* kDesktopEntry = "larkvale";
  static constexpr int kCallTimeoutMs = 10000;

  explicit DBusNotifications(QDBusConnection bus = QDBusConnection::sessionBus(),
                             QObject* parent = nullptr);

  QFuture<bool> requestPermission() override;
  QFuture<bool> post(const std::string& identifier, const std::string& title,
                     const std::string& body) override;
  void withdraw(const std::string& identifier) override;

 signals:
  // The user chose a notification's default action (clicked it).
  void activated(const QString& identifier);

 private slots:
  void onActionInvoked(uint id, const QString& action);

 private:
  class Answer;
  using Answers = std::vector<std::shared_ptr<Answer>>;
  struct Content {
    QString title;
    QString body;
  };
  // One identifier's notification: the id the service gave it, and the post
  // that waits while a call is under way, with the answers owed to it and
  // to the posts it replaced.
  struct Posted {
    uint id = 0;
    bool inFlight = false;
    bool closeWhenSent = false;  // withdrawn while its Notify call was under way
    std::optional<Content> waiting;
    Answers waitingAnswers;
  };

  void askCapabilities();
  void flush(const std::string& identifier);
  void notify(const std::string& identifier, const Content& content, Answers answers);
  void close(Posted& entry);

  QDBusConnection bus_;
  std::map<std::string, Posted> posted_;
  // Whether the service reads markup in bodies, as its latest answer said;
  // nothing when the latest question got no answer.
  std::optional<bool> markup_;
  bool askingCapabilities_ = false;
};

}  // namespace larkvale
