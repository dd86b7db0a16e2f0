#pragma once
// Larkvale's own updates. It never installs anything: it reads the app's own
// appcast and, when a newer version is offered, shows that version and its
// release notes with a button that opens its page in the browser.
//
// checkForUpdates() (the user's request) first sends one HEAD request to the
// feed and answers a missing feed or an unreachable server itself with an
// alert; otherwise it reads the feed. Once started, the updater also reads
// the feed on its own about once a day and speaks up only to offer a newer
// version.
//
// Main thread only; the web requests run on the updater's own worker thread.
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>
#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "app/model/AppServices.h"
#include "app/shell/FeedProbe.h"
#include "app/shell/OwnRelease.h"
#include "platform/HttpSession.h"

namespace larkvale {

// What the app says about itself (name and version), as the updater's texts
// use them.
struct AppInfo {
  std::optional<QString> displayName;
  std::optional<QString> name;
  std::optional<QString> shortVersion;

  // The running application's name, display name and version.
  static AppInfo running();
  // The display name, else the name, else "This app".
  QString appDisplayName() const;
  // The short version, else "".
  QString appShortVersion() const;
};

// How the updater speaks to the user. Each call returns at once; the dialog
// stays until the user closes it.
class UpdaterPrompts {
 public:
  virtual ~UpdaterPrompts() = default;
  // An informational alert with one "OK" button.
  virtual void alert(const QString& title, const QString& text) = 0;
  // A newer version: its version, notes and a button that opens its page.
  virtual void offer(const OwnRelease& release, const AppInfo& app) = 0;
};

// The alerts' texts, exact.
namespace UpdaterTexts {
QString upToDateTitle();
QString upToDateText(const AppInfo& app);
QString failedTitle();
QString failedText(const AppInfo& app);
}  // namespace UpdaterTexts

class Updater : public QObject, public OwnUpdater {
  Q_OBJECT
 public:
  struct Options {
    std::optional<std::string> feedURL;  // nothing: there is no feed to probe
    AppInfo app;
    std::chrono::milliseconds probeTimeout = std::chrono::seconds(15);
    std::chrono::milliseconds feedTimeout = std::chrono::seconds(30);
    // The checks the updater makes on its own: the first this long after
    // start(), then one every `scheduledInterval`.
    std::chrono::milliseconds firstScheduledCheck = std::chrono::minutes(10);
    std::chrono::milliseconds scheduledInterval = std::chrono::hours(24);
  };

  Updater(std::shared_ptr<HttpSession> session, std::shared_ptr<UpdaterPrompts> prompts,
          Options options, QObject* parent = nullptr);
  ~Updater() override;  // waits for a request in flight

  // Starts the checks made on the updater's own schedule.
  void start();
  // The user's request. Returns at once while a probe runs.
  void checkForUpdates() override;
  // True while the feed probe runs.
  bool checking() const { return checking_; }

 signals:
  // A user's request or a scheduled check has been answered (with an alert,
  // an offer, or silence); for tests and the demo.
  void finished();

 private:
  void readFeed(bool userAsked);
  void answerFeed(bool userAsked, std::optional<OwnRelease> release, bool failed);

  std::shared_ptr<HttpSession> session_;
  std::shared_ptr<UpdaterPrompts> prompts_;
  Options options_;
  bool checking_ = false;
  bool readingFeed_ = false;
  QTimer schedule_;
  QThreadPool pool_;
};

}  // namespace larkvale
