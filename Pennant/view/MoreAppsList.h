#pragma once
// The model behind one catalogue view. It is full from the moment it is
// made (the run's last result, else the cache, else the shipped copy, else
// empty with source none), and a refresh asks the feed off the main thread
// for a newer catalogue. Entries that must not be offered are dropped: the
// host app itself, and in an App Store build everything that does not lead
// to the App Store. It shows no errors: whatever fails leaves what it shows.
//
// Main thread only, apart from the fetch, which runs on Qt's global thread
// pool on a copy of the loader; its result is applied back on the main
// thread, even when no view shows the list any more.
#include <QObject>

#include <memory>
#include <optional>
#include <vector>

#include "Pennant/MoreAppsConfig.h"
#include "Pennant/MoreAppsFeed.h"
#include "Pennant/MoreAppsLoader.h"

namespace pennant {

// The last catalogue any list of the run found, shared by the lists of one
// run: set by the first list that found a local one, replaced after every
// successful refresh, never cleared.
struct MoreAppsLastResult {
  std::optional<MoreAppsFeed> feed;
  MoreAppsSource source = MoreAppsSource::none;
};

class MoreAppsList : public QObject {
  Q_OBJECT
  Q_PROPERTY(std::vector<pennant::MoreAppsEntry> apps READ apps NOTIFY appsChanged)
  Q_PROPERTY(pennant::MoreAppsSource source READ source NOTIFY sourceChanged)

 public:
  // Filled at once, from disk when need be. With `lastResult` (reuse on) a
  // catalogue held there is taken without reading the disk, and a local one
  // found here is put there; without it, nothing is shared.
  MoreAppsList(MoreAppsConfig config, MoreAppsLoader loader,
               std::shared_ptr<MoreAppsLastResult> lastResult, QObject* parent = nullptr);

  // The entries to show, filtered, in feed order.
  const std::vector<MoreAppsEntry>& apps() const { return apps_; }
  // Where they came from.
  MoreAppsSource source() const { return source_; }
  const MoreAppsConfig& config() const { return config_; }
  const MoreAppsLoader& loader() const { return loader_; }

  // Shows the entries that pass filter() as coming from the source. Each
  // signal fires only when its value really changes.
  void setApps(const std::vector<MoreAppsEntry>& entries, MoreAppsSource source);
  // The entries this host may offer, in their order.
  std::vector<MoreAppsEntry> filter(const std::vector<MoreAppsEntry>& entries) const;

  // Asks the loader's fetch (which decides itself whether a request is due)
  // unless the host forbids the network or a refresh is already under way.
  // A new catalogue is shown with source network and becomes the run's last
  // result with source cache. Returns at once; refreshFinished follows.
  void refresh();
  bool isRefreshing() const { return refreshing_; }

 signals:
  void appsChanged();
  void sourceChanged();
  // A refresh that was started has ended, whatever it brought.
  void refreshFinished();

 private:
  void applyFetched(const std::optional<MoreAppsFeed>& feed);

  std::vector<MoreAppsEntry> apps_;
  MoreAppsSource source_ = MoreAppsSource::none;
  MoreAppsConfig config_;
  MoreAppsLoader loader_;
  std::shared_ptr<MoreAppsLastResult> lastResult_;
  bool refreshing_ = false;
};

}  // namespace pennant
