// The actions on waiting updates and "Update All That Are Safe".
#include "app/model/AppModel.h"
#include "app/model/WorkRunner.h"
#include "kit/model/OwnApp.h"
#include "kit/sources/Handoff.h"
#include "platform/Terminal.h"
#include "platform/TextTrim.h"

namespace larkvale {

using Lane = WorkRunner::Lane;

namespace {

QString text(const std::string& utf8) {
  return QString::fromStdString(utf8);
}

// The Homebrew updates among `updates`, with their tokens and names in order
// and whether the upgrade must be greedy.
struct Casks {
  std::vector<std::string> tokens;
  std::vector<std::string> names;
  bool greedy = false;
};

Casks casksOf(const std::vector<AppUpdate>& updates) {
  Casks casks;
  for (const AppUpdate& update : updates) {
    auto token = update.cask();
    if (!token) continue;
    casks.tokens.push_back(*token);
    casks.names.push_back(update.app.name);
    casks.greedy = casks.greedy || update.caskAutoUpdates;
  }
  return casks;
}

}  // namespace

void AppModel::skipVersion(AppUpdate update) {
  mutateState([&update](AppState& state) { state.skip(update); });
  // The outcome first, so that a failed save's notice is the one that stays.
  note(tr("Skipped %1 %2. It comes back when a newer version appears.")
           .arg(text(update.app.name), text(update.latestVersion.value_or(""))));
  save();
}

// Unskip and release say what they did, so that the status line doesn't go
// on reporting the skip or hold they undid.
void AppModel::unskip(AppUpdate update) {
  mutateState([&update](AppState& state) { state.skipped.erase(update.app.bundleID); });
  note(tr("%1 is offered again.").arg(text(update.app.name)));
  save();
}

void AppModel::holdApp(AppUpdate update, const QString& reason) {
  const std::string typed = reason.toStdString();
  Hold hold{std::string(TextTrim::whitespace(typed)), services_.clock->now()};
  mutateState([&](AppState& state) { state.holds[update.app.bundleID] = hold; });
  note(tr("%1 is on hold: it won't be offered until you release it.").arg(text(update.app.name)));
  save();
}

void AppModel::releaseHold(AppUpdate update) {
  mutateState([&update](AppState& state) { state.holds.erase(update.app.bundleID); });
  note(tr("%1 is no longer on hold.").arg(text(update.app.name)));
  save();
}

QFuture<bool> AppModel::openOwnUpdater(const AppUpdate& update) {
  if (OwnApp::isOwn(update.app.bundleID)) {
    services_.ownUpdater->checkForUpdates();
    return QtFuture::makeReadyFuture(true);
  }
  auto press = [menu = services_.menuPress, bundle = std::filesystem::path(update.app.path)](
                   std::stop_token) { return menu->press(bundle); };
  const QString name = text(update.app.name);
  return runner_->run(Lane::user, std::move(press))
      .then(this, [this, name](Outcome<MenuPressResult> outcome) {
        if (runner_->isStopped()) return false;
        const MenuPressResult result =
            outcome.ok() ? *outcome.value : MenuPressResult::failed(outcome.errorText());
        switch (result.kind) {
          case MenuPressResult::Kind::pressed:
            note(
                tr("Asked %1 to check for updates. Its own updater takes it from here.").arg(name));
            return true;
          case MenuPressResult::Kind::opened:
            note(tr("Opened %1. Choose %1 \u203a Check for Updates\u2026 in its menu bar.")
                     .arg(name));
            return true;
          case MenuPressResult::Kind::failed:
            break;
        }
        note(tr("Couldn't open %1: %2").arg(name, text(result.message)), true);
        return false;
      });
}

bool AppModel::upgradeInTerminal(const std::vector<AppUpdate>& updates, UpgradeFrom from) {
  const Casks casks = casksOf(updates);
  if (casks.tokens.empty()) return false;
  try {
    services_.terminal->openBrewScript(casks.tokens, casks.names, casks.greedy,
                                       services_.folders.caches);
  } catch (const TerminalError& e) {
    note(tr("Couldn't open a terminal window: %1 %2").arg(text(e.what()), commandElsewhere(from)),
         true, commandShownAt(from, updates));
    return false;
  } catch (const std::exception& e) {
    note(tr("Couldn't open a terminal window: %1").arg(text(e.what())), true);
    return false;
  }
  note(tr("A terminal window shows the brew command. It runs only when you press Return there."));
  return true;
}

QString AppModel::commandElsewhere(UpgradeFrom from) {
  switch (from) {
    case UpgradeFrom::caskPage:
      return tr("Choose Copy Command and paste the command into a terminal.");
    case UpgradeFrom::caskList:
      return tr(
          "Each cask's page has Copy Command for its own command; paste it into a "
          "terminal.");
    case UpgradeFrom::safeRun:
      return tr(
          "Select the command shown under the Homebrew step and paste it into a "
          "terminal.");
  }
  return {};
}

void AppModel::copyBrewCommand(const std::vector<AppUpdate>& updates) {
  const Casks casks = casksOf(updates);
  auto command = Handoff::upgradeCommand(casks.tokens, casks.greedy, "brew");
  if (!command) return;
  copyCommand(*command);
}

void AppModel::startSafeUpdates() {
  TextSet chosen;
  for (const AppUpdate& candidate : safePlan().candidates) chosen.insert(candidate.id());
  setSafeChosen(chosen);
  setSafeRun(std::nullopt);
  setSafeSheet(true);
  setPane(Pane::updates);
}

QFuture<void> AppModel::startSafeRun() {
  SafeUpdateRun run(safePlan().steps(safeChosen_));
  run.start();
  ++safeRunSerial_;
  setSafeRun(std::move(run));
  // Another run, even one that reads as the last did: what was told of the
  // last one goes, which the run's own change signal may not have set off.
  reviewNotice();
  return handOffCurrentStep();
}

QFuture<void> AppModel::handOffCurrentStep() {
  const auto step = safeRun_ ? safeRun_->current() : std::nullopt;
  if (!step) return QtFuture::makeReadyFuture();
  const uint64_t serial = safeRunSerial_;
  const std::string id = step->id();
  // The mark goes to the step that was handed off, and only while the same
  // run still stands at it, waiting: the user may have skipped or moved on,
  // or started another run, while an app was opening.
  auto mark = [this, serial, id](bool handedOff) {
    if (!handedOff || serial != safeRunSerial_ || !safeRun_) return;
    const auto current = safeRun_->current();
    if (!current || current->id() != id) return;
    if (safeRun_->mark(*current) != SafeUpdateRun::Mark::waiting) return;
    mutateSafeRun([](SafeUpdateRun& run) { run.markHandedOff(); });
  };
  if (step->kind() == SafeUpdateStep::Kind::brew) {
    mark(upgradeInTerminal(step->updates(), UpgradeFrom::safeRun));
    return QtFuture::makeReadyFuture();
  }
  return openOwnUpdater(step->updates().front()).then(this, mark);
}

QFuture<void> AppModel::skipSafeStep() {
  mutateSafeRun([](SafeUpdateRun& run) { run.skipCurrent(); });
  return handOffCurrentStep();
}

QFuture<void> AppModel::advanceSafeRun() {
  mutateSafeRun([](SafeUpdateRun& run) { run.advance(); });
  return handOffCurrentStep();
}

void AppModel::openLink(const std::string& url) {
  services_.workspace->openUrl(url).then(this, [this](DesktopWorkspace::Failure failure) {
    if (failure) note(tr("Couldn't open the link. %1").arg(text(*failure)), true);
  });
}

void AppModel::reveal(const std::filesystem::path& path) {
  services_.workspace->reveal(path).then(this, [this](DesktopWorkspace::Failure failure) {
    if (failure) note(tr("Couldn't show it in the file manager. %1").arg(text(*failure)), true);
  });
}

void AppModel::revealSetting(const std::string& path) {
  reveal(path.starts_with("~/") ? SettingsCopier(services_.folders.home).locate(path)
                                : std::filesystem::path(path));
}

}  // namespace larkvale
