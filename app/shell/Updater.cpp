#include "app/shell/Updater.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QtConcurrent>

#include "kit/sources/Appcast.h"

namespace larkvale {
namespace {

QString tr(const char* text) {
  return QCoreApplication::translate("Updater", text);
}

struct FeedAnswer {
  std::optional<OwnRelease> release;
  bool failed = false;
};

FeedAnswer readOwnFeed(HttpSession& session, const std::string& url,
                       std::chrono::milliseconds timeout, const std::string& currentVersion) {
  HttpRequest request;
  request.url = url;
  request.timeout = timeout;
  try {
    HttpResponse answer = session.get(request);
    if (answer.status < 200 || answer.status > 299) return {std::nullopt, true};
    return {newerRelease(Appcast::parseAppcast(answer.body), currentVersion), false};
  } catch (const std::exception&) {
    return {std::nullopt, true};
  }
}

}  // namespace

AppInfo AppInfo::running() {
  AppInfo info;
  auto nonEmpty = [](const QString& text) {
    return text.isEmpty() ? std::nullopt : std::optional<QString>(text);
  };
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
    info.displayName = nonEmpty(QGuiApplication::applicationDisplayName());
  }
  info.name = nonEmpty(QCoreApplication::applicationName());
  info.shortVersion = nonEmpty(QCoreApplication::applicationVersion());
  return info;
}

QString AppInfo::appDisplayName() const {
  if (displayName) return *displayName;
  if (name) return *name;
  return tr("This app");
}

QString AppInfo::appShortVersion() const {
  return shortVersion.value_or(QString());
}

namespace UpdaterTexts {

QString upToDateTitle() {
  return tr("You\u2019re up to date");
}

QString upToDateText(const AppInfo& app) {
  return tr("%1 %2 is the newest version. %1 checks for updates on its own and will let you know "
            "when there\u2019s a new one.")
      .arg(app.appDisplayName(), app.appShortVersion());
}

QString failedTitle() {
  return tr("Couldn\u2019t check for updates");
}

QString failedText(const AppInfo& app) {
  return tr("Check your internet connection and try again. %1 also checks on its own about once "
            "a day.")
      .arg(app.appDisplayName());
}

}  // namespace UpdaterTexts

Updater::Updater(std::shared_ptr<HttpSession> session, std::shared_ptr<UpdaterPrompts> prompts,
                 Options options, QObject* parent)
    : QObject(parent),
      session_(std::move(session)),
      prompts_(std::move(prompts)),
      options_(std::move(options)) {
  pool_.setMaxThreadCount(1);
  schedule_.setSingleShot(true);
  connect(&schedule_, &QTimer::timeout, this, [this] {
    schedule_.start(options_.scheduledInterval);
    readFeed(false);
  });
}

Updater::~Updater() {
  pool_.waitForDone();
}

void Updater::start() {
  if (!schedule_.isActive()) schedule_.start(options_.firstScheduledCheck);
}

void Updater::checkForUpdates() {
  if (checking_) return;
  if (!options_.feedURL) {
    readFeed(true);
    return;
  }
  checking_ = true;
  auto session = session_;
  std::string url = *options_.feedURL;
  auto timeout = options_.probeTimeout;
  QtConcurrent::run(&pool_, [session, url, timeout] {
    return probeFeed(*session, url, timeout);
  }).then(this, [this](FeedProbeOutcome outcome) {
    checking_ = false;
    switch (outcome) {
      case FeedProbeOutcome::proceed:
        readFeed(true);
        return;
      case FeedProbeOutcome::upToDate:
        prompts_->alert(UpdaterTexts::upToDateTitle(), UpdaterTexts::upToDateText(options_.app));
        break;
      case FeedProbeOutcome::failed:
        prompts_->alert(UpdaterTexts::failedTitle(), UpdaterTexts::failedText(options_.app));
        break;
    }
    emit finished();
  });
}

void Updater::readFeed(bool userAsked) {
  // One reading at a time: a second request while the feed is being read
  // would only bring a second answer to the same question.
  if (readingFeed_) return;
  if (!options_.feedURL) {
    answerFeed(userAsked, std::nullopt, true);
    return;
  }
  readingFeed_ = true;
  auto session = session_;
  std::string url = *options_.feedURL;
  auto timeout = options_.feedTimeout;
  std::string current = options_.app.appShortVersion().toStdString();
  QtConcurrent::run(&pool_, [session, url, timeout, current] {
    return readOwnFeed(*session, url, timeout, current);
  }).then(this, [this, userAsked](const FeedAnswer& answer) {
    readingFeed_ = false;
    answerFeed(userAsked, answer.release, answer.failed);
  });
}

void Updater::answerFeed(bool userAsked, std::optional<OwnRelease> release, bool failed) {
  if (release) {
    prompts_->offer(*release, options_.app);
  } else if (userAsked && failed) {
    prompts_->alert(UpdaterTexts::failedTitle(), UpdaterTexts::failedText(options_.app));
  } else if (userAsked) {
    prompts_->alert(UpdaterTexts::upToDateTitle(), UpdaterTexts::upToDateText(options_.app));
  }
  emit finished();
}

}  // namespace larkvale
