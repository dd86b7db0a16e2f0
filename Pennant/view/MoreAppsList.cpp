#include "Pennant/view/MoreAppsList.h"

#include <QCoreApplication>
#include <QFutureWatcher>
#include <QThread>
#include <QtConcurrent/QtConcurrentRun>

namespace pennant {

namespace {

void onMainThread() {
  Q_ASSERT(!QCoreApplication::instance() ||
           QThread::currentThread() == QCoreApplication::instance()->thread());
}

}  // namespace

MoreAppsList::MoreAppsList(MoreAppsConfig config, MoreAppsLoader loader,
                           std::shared_ptr<MoreAppsLastResult> lastResult, QObject* parent)
    : QObject(parent),
      config_(std::move(config)),
      loader_(std::move(loader)),
      lastResult_(std::move(lastResult)) {
  onMainThread();
  if (lastResult_ && lastResult_->feed) {
    setApps(lastResult_->feed->apps, lastResult_->source);
    return;
  }
  auto [feed, source] = loader_.loadLocal();
  if (!feed) return;
  setApps(feed->apps, source);
  if (lastResult_) *lastResult_ = {std::move(feed), source};
}

void MoreAppsList::setApps(const std::vector<MoreAppsEntry>& entries, MoreAppsSource source) {
  std::vector<MoreAppsEntry> shown = filter(entries);
  if (shown != apps_) {
    apps_ = std::move(shown);
    emit appsChanged();
  }
  if (source != source_) {
    source_ = source;
    emit sourceChanged();
  }
}

std::vector<MoreAppsEntry> MoreAppsList::filter(const std::vector<MoreAppsEntry>& entries) const {
  std::vector<MoreAppsEntry> kept;
  for (const MoreAppsEntry& entry : entries) {
    if (entry.id == config_.thisApp) continue;
    if (config_.bundleID && entry.bundleId && *config_.bundleID == *entry.bundleId) continue;
    if (!config_.isDirect && !entry.isAppStore()) continue;
    kept.push_back(entry);
  }
  return kept;
}

void MoreAppsList::refresh() {
  onMainThread();
  if (!config_.allowsNetwork || refreshing_) return;
  refreshing_ = true;
  // The watcher hands the result over through the event loop, so the list
  // changes only after refresh() has returned, even when the fetch had
  // nothing to do.
  auto* watcher = new QFutureWatcher<std::optional<MoreAppsFeed>>(this);
  connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
    watcher->deleteLater();
    applyFetched(watcher->result());
  });
  watcher->setFuture(QtConcurrent::run([loader = loader_] { return loader.fetch(); }));
}

void MoreAppsList::applyFetched(const std::optional<MoreAppsFeed>& feed) {
  refreshing_ = false;
  if (feed) {
    setApps(feed->apps, MoreAppsSource::network);
    if (lastResult_) *lastResult_ = {feed, MoreAppsSource::cache};
  }
  emit refreshFinished();
}

}  // namespace pennant
