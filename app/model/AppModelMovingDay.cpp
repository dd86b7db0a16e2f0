// The Moving day actions: inventory, checklist ticks, Copy Settings, New Mac
// Check, the exported document and copied commands.
#include <QDateTime>
#include <algorithm>

#include "app/model/AppModel.h"
#include "app/model/ShownText.h"
#include "app/model/WorkRunner.h"
#include "kit/movingday/CarryError.h"
#include "kit/movingday/Checklist.h"
#include "kit/movingday/MovingDayDocument.h"
#include "kit/movingday/SettingsLocator.h"
#include "platform/Collation.h"
#include "platform/FileSystem.h"

namespace larkvale {

using Lane = WorkRunner::Lane;

namespace {

QString text(const std::string& utf8) {
  return QString::fromStdString(utf8);
}

// The chosen items among the offered ones, in offer order.
std::vector<SettingsPick> chosenPicks(const Inventory& inventory, const TextSet& chosen) {
  std::vector<SettingsPick> picks;
  for (SettingsPick& pick : SettingsCopier::settingsPicks(inventory)) {
    if (chosen.contains(pick.tildePath)) picks.push_back(std::move(pick));
  }
  return picks;
}

}  // namespace

QFuture<void> AppModel::loadInventory() {
  if (inventoryLoading_ || !inventory_.empty() || runner_->isStopped()) {
    return QtFuture::makeReadyFuture();
  }
  setInventoryLoading(true);
  return buildInventory();
}

QFuture<void> AppModel::buildInventory() {
  std::vector<AppUpdate> updates;
  if (state_->lastReport) updates = state_->lastReport->updates;
  const uint64_t generation = reportGeneration_;
  auto work = [updates = std::move(updates), home = services_.folders.home,
               scanner = services_.scanner,
               checker = services_.checker](std::stop_token stop) mutable {
    if (updates.empty()) updates = checker->listSources(scanner->scan(stop), stop);
    const SettingsLocator locator(home);
    Inventory entries;
    entries.reserve(updates.size());
    for (const AppUpdate& update : updates) {
      Cancelled::check(stop);
      entries.push_back(locator.inventoryEntry(update, scanner->isSandboxed(update.app.path)));
    }
    std::stable_sort(entries.begin(), entries.end(), [](const auto& a, const auto& b) {
      return Collation::less(a.app.name, b.app.name);
    });
    return entries;
  };
  return runner_->run(Lane::user, std::move(work))
      .then(this,
            [this, generation](Outcome<Inventory> outcome) {
              if (runner_->isStopped()) return QtFuture::makeReadyFuture();
              // A check replaced the report while the entries were built: they
              // describe apps as they were, so build them again.
              if (generation != reportGeneration_) return buildInventory();
              if (outcome.ok()) setInventory(*outcome.value);
              setInventoryLoading(false);
              return QtFuture::makeReadyFuture();
            })
      .unwrap();
}

void AppModel::toggleTick(const std::string& id) {
  mutateState([&id](AppState& state) {
    if (!state.ticked.erase(id)) state.ticked.insert(id);
  });
  save();
}

void AppModel::clearTicks() {
  mutateState([](AppState& state) { state.ticked.clear(); });
  save();
}

QFuture<void> AppModel::measureCarrySizes() {
  std::vector<std::string> paths;
  for (const SettingsPick& pick : SettingsCopier::settingsPicks(inventory_)) {
    if (!carrySizes_.contains(pick.tildePath)) paths.push_back(pick.tildePath);
  }
  if (paths.empty()) return QtFuture::makeReadyFuture();
  auto work = [this, paths = std::move(paths), home = services_.folders.home,
               runner = runner_.get()](std::stop_token stop) {
    const SettingsCopier copier(home);
    for (const std::string& path : paths) {
      // Each size shows as soon as it is known.
      runner->post(
          [this, path, size = copier.measureSetting(path, stop)] { storeCarrySize(path, size); });
    }
  };
  return runner_->run(Lane::background, std::move(work)).then(this, [](Outcome<Done>) {});
}

QFuture<void> AppModel::refreshRunningChosenApps() {
  if (runner_->isStopped()) return QtFuture::makeReadyFuture();
  const uint64_t walk = ++runningWalk_;
  auto work = [picks = chosenPicks(inventory_, carryChosen_),
               workspace = services_.workspace](std::stop_token) {
    if (picks.empty()) return AppNames{};
    std::set<QString> running;
    for (const std::string& id : workspace->runningBundleIdentifiers()) {
      if (!id.empty()) running.insert(text(id).toLower());
    }
    std::set<std::string> names;
    for (const SettingsPick& pick : picks) {
      if (running.contains(text(pick.bundleID).toLower())) names.insert(pick.appName);
    }
    return AppNames(names.begin(), names.end());
  };
  return runner_->run(Lane::user, std::move(work))
      .then(this, [this, walk](Outcome<AppNames> outcome) {
        // A walk for ticks the user has changed since would warn about the
        // wrong apps.
        if (runner_->isStopped() || walk != runningWalk_ || !outcome.ok()) return;
        setRunningChosenApps(*outcome.value);
      });
}

QFuture<void> AppModel::copySettings() {
  if (carryBusy_ || runner_->isStopped()) return QtFuture::makeReadyFuture();
  std::vector<SettingsPick> picks = chosenPicks(inventory_, carryChosen_);
  if (picks.empty()) return QtFuture::makeReadyFuture();
  Panels::Open request;
  request.folders = true;
  request.files = false;
  request.canCreateFolders = true;
  request.prompt = tr("Copy Here");
  request.message =
      tr("Choose a folder on a drive (or a cloud folder) that goes with you. Larkvale makes a new "
         "folder inside it and never overwrites anything.");
  const auto destination = services_.panels->chooseOpen(request);
  if (!destination) return QtFuture::makeReadyFuture();

  setCarryBusy(true);
  setCarryProgress({0, static_cast<int>(picks.size())});
  const bool internal = services_.volumes->isInternal(*destination).value_or(false);
  auto work = [this, picks = std::move(picks), apps = MovingManifest::manifestApps(inventory_),
               destination = *destination, home = services_.folders.home, mac = macName(),
               version = systemVersion().value_or(""), date = services_.clock->now(),
               runner = runner_.get()](std::stop_token stop) {
    auto progress = [this, runner](WorkProgress next) {
      runner->post([this, next] { setCarryProgress(next); });
    };
    return SettingsCopier(home).copy(picks, apps, destination, mac, version, date, progress, stop);
  };
  return runner_->run(Lane::user, std::move(work))
      .then(this, [this, internal](Outcome<SettingsCopier::Result> outcome) {
        if (runner_->isStopped()) return;
        if (outcome.ok()) {
          finishCopy(*outcome.value, internal);
        } else {
          note(text(outcome.errorText()), true);
        }
        setCarryBusy(false);
      });
}

void AppModel::finishCopy(const SettingsCopier::Result& result, bool internalDisk) {
  // The warning belongs to the copy that was made, so it changes with it.
  setCarryOnInternalDisk(internalDisk);
  setCarryResult(result);
  note(tr("Copied %1 settings to %2.")
           .arg(QString::number(result.manifest.settings.size()),
                shown::path(result.folder.filename())));
}

QFuture<void> AppModel::newMacCheck() {
  if (runner_->isStopped()) return QtFuture::makeReadyFuture();
  Panels::Open request;
  request.folders = true;
  request.files = true;
  request.fileSuffixes = {"json"};
  request.prompt = tr("Compare");
  request.message =
      tr("Choose the \u201cLarkvale Moving Day \u2026\u201d folder (or its manifest.json) that "
         "Copy Settings made on the old Mac.");
  const auto choice = services_.panels->chooseOpen(request);
  if (!choice) return QtFuture::makeReadyFuture();

  const uint64_t run = ++newMacRun_;
  setNewMacLoading(true);
  // The manifest is outside data of any size: it is read on the worker, with
  // the comparison. A folder that can't be read comes back as its sentence.
  struct Compared {
    std::optional<NewMacDiff> diff;
    QString failure;
  };
  auto work = [choice = *choice, home = services_.folders.home,
               scanner = services_.scanner](std::stop_token stop) {
    std::optional<MovingManifest::Read> read;
    try {
      read = MovingManifest::readManifest(choice);
    } catch (const CarryError& e) {
      return Compared{std::nullopt, text(e.what())};
    } catch (const std::exception& e) {
      return Compared{
          std::nullopt,
          tr("That isn't a Moving day folder Larkvale can read (%1).").arg(text(e.what()))};
    }
    return Compared{NewMacDiff(read->manifest, read->folder, scanner->scan(stop), home, stop), {}};
  };
  return runner_->run(Lane::user, std::move(work))
      .then(this, [this, run](Outcome<Compared> outcome) {
        // Only the last-started check may show: an older one finishing late
        // would put back a comparison (or a failure) the user has moved on
        // from.
        if (runner_->isStopped() || run != newMacRun_) return;
        if (outcome.ok() && outcome.value->diff) setNewMacDiff(*outcome.value->diff);
        if (outcome.ok() && !outcome.value->failure.isEmpty()) {
          note(outcome.value->failure, true, NewMacFailure{run});
        }
        setNewMacLoading(false);
      });
}

std::vector<DocBlock> AppModel::movingDayDocument() const {
  return MovingDayDocument::blocks(inventory_, Checklist::items(inventory_), state_->ticked,
                                   macName(), services_.clock->now());
}

void AppModel::exportMovingDay(bool pdf) {
  const QString extension = pdf ? "pdf" : "md";
  const auto now = services_.clock->now();
  const QString day = QDateTime::fromSecsSinceEpoch(std::chrono::system_clock::to_time_t(now))
                          .toString("yyyy-MM-dd");
  Panels::Save request;
  // The host's name is outside text: one line, and no folder of its own.
  const QString mac = shown::line(macName()).trimmed().replace(u'/', u'-');
  request.proposedName = tr("Moving day %1 %2.%3").arg(mac, day, extension);
  request.fileSuffixes = {extension.toStdString()};
  const auto file = services_.panels->chooseSave(request);
  if (!file) return;

  const auto blocks = movingDayDocument();
  try {
    if (pdf) {
      auto bytes = MovingDayDocument::renderPDF(blocks);
      if (!bytes) throw FileError(tr("The PDF couldn't be drawn.").toStdString());
      FileSystem::writeAtomically(*file, *bytes);
    } else {
      FileSystem::writeAtomically(*file, MovingDayDocument::renderMarkdown(blocks));
    }
  } catch (const std::exception& e) {
    note(tr("Couldn't save: %1").arg(text(e.what())), true);
    return;
  }
  mutateState([](AppState& state) { state.ticked.insert("before:export"); });
  note(tr("Saved %1.").arg(shown::path(file->filename())));
  save();
}

void AppModel::copyCommand(const std::string& command) {
  // The clipboard gets the text itself (a path that names its file); the
  // notice shows it with whatever would hide in it written out.
  services_.clipboard->setText(text(command));
  note(tr("Copied: %1").arg(shown::path(command)));
}

}  // namespace larkvale
