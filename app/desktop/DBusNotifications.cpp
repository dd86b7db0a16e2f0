#include "app/desktop/DBusNotifications.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QPromise>
#include <QStringList>
#include <QVariantMap>
#include <memory>
#include <utility>

namespace larkvale {
namespace {

QDBusMessage serviceCall(const char* method) {
  return QDBusMessage::createMethodCall(QString::fromLatin1(DBusNotifications::kService),
                                        QString::fromLatin1(DBusNotifications::kPath),
                                        QString::fromLatin1(DBusNotifications::kService),
                                        QString::fromLatin1(method));
}

// The body as the service will show it. A service that said it reads markup
// gets it escaped, one that said it doesn't gets it as it is. One that hasn't
// said (its answer came too late, or not at all) may be either: escaped, a
// plain reader would show "&lt;"; as it is, a markup reader would render a
// tag from outside text. So the three characters markup reads go as their
// fullwidth forms, which no markup reader reads and every reader shows much
// as the user would expect.
QString bodyFor(const QString& body, std::optional<bool> markup) {
  if (markup) return *markup ? body.toHtmlEscaped() : body;
  QString inert = body;
  inert.replace(QLatin1Char('&'), QChar(0xFF06))
      .replace(QLatin1Char('<'), QChar(0xFF1C))
      .replace(QLatin1Char('>'), QChar(0xFF1E));
  return inert;
}

}  // namespace

// The answer to a permission request or a post; one that is dropped
// unanswered (the object went away first) answers "no" rather than leaving
// the future cancelled without a result.
class DBusNotifications::Answer {
 public:
  Answer() { promise_.start(); }
  ~Answer() { finish(false); }
  Answer(const Answer&) = delete;
  Answer& operator=(const Answer&) = delete;

  QFuture<bool> future() { return promise_.future(); }
  void finish(bool yes) {
    if (done_) return;
    done_ = true;
    promise_.addResult(yes);
    promise_.finish();
  }

 private:
  QPromise<bool> promise_;
  bool done_ = false;
};

DBusNotifications::DBusNotifications(QDBusConnection bus, QObject* parent)
    : QObject(parent), bus_(std::move(bus)) {
  bus_.connect(QString::fromLatin1(kService), QString::fromLatin1(kPath),
               QString::fromLatin1(kService), QStringLiteral("ActionInvoked"), this,
               SLOT(onActionInvoked(uint, QString)));
}

QFuture<bool> DBusNotifications::requestPermission() {
  auto answer = std::make_shared<Answer>();
  QFuture<bool> future = answer->future();
  if (!bus_.isConnected()) {
    answer->finish(false);
    return future;
  }
  auto* watcher = new QDBusPendingCallWatcher(
      bus_.asyncCall(serviceCall("GetCapabilities"), kCallTimeoutMs), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [answer](QDBusPendingCallWatcher* call) {
            QDBusPendingReply<QStringList> reply = *call;
            answer->finish(reply.isValid());
            call->deleteLater();
          });
  return future;
}

QFuture<bool> DBusNotifications::post(const std::string& identifier, const std::string& title,
                                      const std::string& body) {
  auto answer = std::make_shared<Answer>();
  QFuture<bool> future = answer->future();
  if (!bus_.isConnected()) {
    answer->finish(false);
    return future;
  }
  Posted& entry = posted_[identifier];
  entry.closeWhenSent = false;  // this post replaces the one in flight instead
  entry.waiting = Content{QString::fromStdString(title), QString::fromStdString(body)};
  entry.waitingAnswers.push_back(std::move(answer));
  // Asked afresh for each post: the daemon that takes this one may not be
  // the one that answered last time (another took the name, or it reloaded
  // its settings), and posts are few.
  askCapabilities();
  return future;
}

void DBusNotifications::askCapabilities() {
  if (askingCapabilities_) return;
  askingCapabilities_ = true;
  auto* watcher = new QDBusPendingCallWatcher(
      bus_.asyncCall(serviceCall("GetCapabilities"), kCallTimeoutMs), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
    QDBusPendingReply<QStringList> reply = *call;
    // Without an answer (none in time, or an error) what an earlier service
    // said holds no more: the waiting posts go in the form both kinds show
    // alike.
    markup_ = reply.isValid() ? std::optional(reply.value().contains(QStringLiteral("body-markup")))
                              : std::nullopt;
    askingCapabilities_ = false;
    for (const auto& [identifier, entry] : posted_) {
      if (entry.waiting) flush(identifier);
    }
    call->deleteLater();
  });
}

void DBusNotifications::flush(const std::string& identifier) {
  Posted& entry = posted_[identifier];
  if (entry.inFlight || !entry.waiting || askingCapabilities_) return;
  Content content = *std::exchange(entry.waiting, std::nullopt);
  notify(identifier, content, std::exchange(entry.waitingAnswers, {}));
}

void DBusNotifications::notify(const std::string& identifier, const Content& content,
                               Answers answers) {
  Posted& entry = posted_[identifier];
  entry.inFlight = true;
  QDBusMessage call = serviceCall("Notify");
  QVariantMap hints;
  hints.insert(QStringLiteral("desktop-entry"), QString::fromLatin1(kDesktopEntry));
  call << QString::fromLatin1(kAppName) << entry.id << QString()  // no icon of its own
       << content.title << bodyFor(content.body, markup_)
       << QStringList{QStringLiteral("default"), tr("Show")} << hints << -1;
  auto* watcher = new QDBusPendingCallWatcher(bus_.asyncCall(call, kCallTimeoutMs), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this,
          [this, identifier, answers = std::move(answers)](QDBusPendingCallWatcher* reply) {
            QDBusPendingReply<uint> answer = *reply;
            Posted& entry = posted_[identifier];
            if (answer.isValid()) entry.id = answer.value();
            for (const auto& owed : answers) owed->finish(answer.isValid());
            entry.inFlight = false;
            if (std::exchange(entry.closeWhenSent, false)) close(entry);
            flush(identifier);
            reply->deleteLater();
          });
}

void DBusNotifications::withdraw(const std::string& identifier) {
  const auto found = posted_.find(identifier);
  if (found == posted_.end()) return;
  Posted& entry = found->second;
  // Not sent yet: it goes unsent, as nothing of it holds any more.
  entry.waiting.reset();
  for (const auto& owed : std::exchange(entry.waitingAnswers, {})) owed->finish(true);
  if (entry.inFlight) {
    entry.closeWhenSent = true;
    return;
  }
  close(entry);
}

void DBusNotifications::close(Posted& entry) {
  if (entry.id == 0) return;
  QDBusMessage call = serviceCall("CloseNotification");
  call << std::exchange(entry.id, 0U);
  // Nothing is owed to anyone for this: the reply isn't waited for.
  bus_.send(call);
}

void DBusNotifications::onActionInvoked(uint id, const QString& action) {
  if (action != QLatin1String("default") || id == 0) return;
  for (const auto& [identifier, entry] : posted_) {
    if (entry.id == id) {
      emit activated(QString::fromStdString(identifier));
      return;
    }
  }
}

}  // namespace larkvale
