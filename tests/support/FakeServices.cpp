#include "tests/support/FakeServices.h"

#include "platform/Error.h"
#include "platform/Terminal.h"
#include "tests/support/FutureWait.h"

namespace larkvale::test {

void Gate::arm() {
  std::lock_guard lock(mutex_);
  armed_ = true;
  opened_ = false;
  held_ = false;
}

void Gate::open() {
  {
    std::lock_guard lock(mutex_);
    opened_ = true;
  }
  changed_.notify_all();
}

bool Gate::pass(std::stop_token stop) {
  std::unique_lock lock(mutex_);
  if (!armed_) return false;
  armed_ = false;
  held_ = true;
  changed_.notify_all();
  changed_.wait(lock, stop, [this] { return opened_; });
  return true;
}

bool Gate::waitUntilHeld() {
  return waitUntil([this] {
    std::lock_guard lock(mutex_);
    return held_;
  });
}

void FakeStore::save(const AppState& state) {
  if (failSave) throw FileError(*failSave);
  saved.push_back(state);
}

std::vector<InstalledApp> FakeScanner::apps() const {
  std::lock_guard lock(mutex_);
  return apps_;
}

void FakeScanner::setApps(std::vector<InstalledApp> apps) {
  std::lock_guard lock(mutex_);
  apps_ = std::move(apps);
}

std::vector<InstalledApp> FakeScanner::scan(std::stop_token stop) {
  ++scans_;
  scanGate.pass(stop);
  return apps();
}

void FakeScanner::setSandboxed(std::set<std::filesystem::path> bundles) {
  std::lock_guard lock(mutex_);
  sandboxed_ = std::move(bundles);
}

std::optional<bool> FakeScanner::isSandboxed(const std::filesystem::path& bundle) {
  sandboxGate.pass();
  std::lock_guard lock(mutex_);
  return sandboxed_.contains(bundle);
}

void FakeChecker::setReport(CheckReport report) {
  std::lock_guard lock(mutex_);
  report_ = std::move(report);
}

void FakeChecker::setProgressScript(std::vector<WorkProgress> script) {
  std::lock_guard lock(mutex_);
  script_ = std::move(script);
}

void FakeChecker::setSources(std::vector<AppUpdate> sources) {
  std::lock_guard lock(mutex_);
  sources_ = std::move(sources);
}

std::optional<CheckOptions> FakeChecker::lastOptions() const {
  std::lock_guard lock(mutex_);
  return lastOptions_;
}

std::vector<std::chrono::seconds> FakeChecker::prunes() const {
  std::lock_guard lock(mutex_);
  return prunes_;
}

CheckReport FakeChecker::check(const std::vector<InstalledApp>&, const CheckOptions& options,
                               const Progress& progress, std::stop_token stop) {
  ++checks_;
  if (checkGate.pass(stop) && stop.stop_requested()) {
    sawStop = true;
    throw Error("stopped");
  }
  std::lock_guard lock(mutex_);
  lastOptions_ = options;
  for (const auto& step : script_) progress(step);
  return report_;
}

std::vector<AppUpdate> FakeChecker::listSources(const std::vector<InstalledApp>& apps,
                                                std::stop_token) {
  std::lock_guard lock(mutex_);
  if (!sources_.empty()) return sources_;
  std::vector<AppUpdate> out;
  for (const auto& app : apps) {
    AppUpdate update;
    update.app = app;
    update.status = UpdateStatus::notChecked("Not checked yet");
    out.push_back(update);
  }
  return out;
}

void FakeChecker::pruneSaved(std::chrono::seconds age) {
  std::lock_guard lock(mutex_);
  prunes_.push_back(age);
}

void FakeChecker::clearSaved() {
  ++clears;
  if (failClear) throw FileError(*failClear);
}

QFuture<bool> FakeNotifications::requestPermission() {
  ++requests;
  open_ = std::make_unique<QPromise<bool>>();
  open_->start();
  QFuture<bool> future = open_->future();
  if (nextAnswer) answer(nextAnswer);
  return future;
}

void FakeNotifications::answer(std::optional<bool> granted) {
  if (!open_) return;
  if (granted) {
    open_->addResult(*granted);
  } else {
    open_->setException(std::make_exception_ptr(std::runtime_error("no notification service")));
  }
  open_->finish();
  open_.reset();
}

QFuture<bool> FakeNotifications::post(const std::string& identifier, const std::string& title,
                                      const std::string& body) {
  posted.push_back({identifier, title, body});
  return QtFuture::makeReadyFuture(bool(serviceThere));
}

void FakeLoginItem::setEnabled(bool on) {
  if (refuse) throw LoginItemError(*refuse);
  enabled = on;
}

std::optional<std::filesystem::path> FakePanels::chooseOpen(const Open& request) {
  opens.push_back(request);
  if (nextOpen.empty()) return std::nullopt;
  auto answer = nextOpen.front();
  nextOpen.pop_front();
  return answer;
}

std::optional<std::filesystem::path> FakePanels::chooseSave(const Save& request) {
  saves.push_back(request);
  if (nextSave.empty()) return std::nullopt;
  auto answer = nextSave.front();
  nextSave.pop_front();
  return answer;
}

void FakeTerminal::openBrewScript(const std::vector<std::string>& tokens,
                                  const std::vector<std::string>& names, bool greedy,
                                  const std::filesystem::path& cacheFolder) {
  calls.push_back({tokens, names, greedy, cacheFolder});
  if (fail) throw Error(*fail);
  if (noTerminal) throw TerminalError(SystemTerminal::kNoTerminal);
}

void FakeMenuPress::setNext(MenuPressResult result) {
  std::lock_guard lock(mutex_);
  next_ = std::move(result);
}

std::vector<std::filesystem::path> FakeMenuPress::presses() const {
  std::lock_guard lock(mutex_);
  return presses_;
}

MenuPressResult FakeMenuPress::press(const std::filesystem::path& bundle) {
  {
    std::lock_guard lock(mutex_);
    presses_.push_back(bundle);
  }
  gate.pass();
  std::lock_guard lock(mutex_);
  return next_;
}

AppServices Fakes::services() const {
  return AppServices{folders, clock,         store,     scanner,   checker, host,
                     badge,   notifications, loginItem, clipboard, panels,  workspace,
                     volumes, terminal,      menuPress, ownUpdater};
}

}  // namespace larkvale::test
