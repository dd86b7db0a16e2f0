#include "app/Handoffs.h"

#include <cstdio>
#include <random>
#include <thread>

#include "kit/sources/Handoff.h"
#include "platform/FileRemoval.h"
#include "platform/FileSystem.h"
#include "platform/TextTrim.h"

namespace larkvale {
namespace {

namespace fs = std::filesystem;

// Eight upper-case hexadecimal digits, as the start of a new random UUID's
// text would give.
std::string randomTag() {
  std::random_device device;
  char text[9];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(device()));
  return text;
}

fs::path makeScriptFolder(const fs::path& terminal) {
  std::error_code ec;
  // The terminal runs the script from a working folder of its own, and the
  // script's last line removes the path it was started as.
  if (!terminal.is_absolute()) ec = std::make_error_code(std::errc::invalid_argument);
  if (!ec) fs::create_directories(terminal, ec);
  if (ec || !fs::is_directory(terminal)) {
    if (!ec) ec = std::make_error_code(std::errc::not_a_directory);
    throw FileError("Couldn't create the folder " + TextTrim::writtenOut(terminal.native()) + ": " +
                    ec.message());
  }
  return terminal;
}

fs::path newScriptPath(const fs::path& terminal) {
  // A name clash would replace a script the user may still be looking at.
  for (;;) {
    fs::path candidate = terminal / ("brew-upgrade-" + randomTag() + ".command");
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(candidate, ec))) return candidate;
  }
}

using Elements = std::vector<std::shared_ptr<AccessibilityElement>>;

Elements childrenOf(AccessibilityElement& element) {
  Elements children = element.children().value_or(Elements{});
  std::erase(children, nullptr);
  return children;
}

}  // namespace

fs::path openBrewScriptInTerminal(const std::vector<std::string>& tokens,
                                  const std::vector<std::string>& names, bool greedy,
                                  const AppFolders& folders,
                                  const std::optional<std::string>& brewPath, Terminal& terminal) {
  if (!brewPath) throw HandoffError("Homebrew isn't installed.");
  auto script = Handoff::terminalScript(tokens, names, greedy, *brewPath);
  if (!script) throw HandoffError("A cask name had unexpected characters.");
  fs::path path = newScriptPath(makeScriptFolder(folders.terminal));
  FileSystem::writeAtomically(path, *script, 0700);
  try {
    terminal.openScript(path);
  } catch (const TerminalError&) {
    // No window will ever run it, and nothing else deletes these scripts.
    (void)FileRemoval::removeInside(folders.terminal, path, FileRemoval::Reach::entry);
    throw;
  }
  return path;
}

void sleepOnSteadyClock(std::chrono::milliseconds duration) {
  // sleep_for measures on the steady clock, so a change of the wall clock
  // neither stretches nor cuts the wait.
  std::this_thread::sleep_for(duration);
}

MenuPressResult pressCheckForUpdates(const fs::path& path, Workspace& workspace,
                                     Accessibility& accessibility, const Sleeper& sleep,
                                     const LaunchWait& wait) {
  RunningApplication app;
  try {
    app = workspace.openApplication(path);
  } catch (const std::exception& error) {
    return MenuPressResult::failed(error.what());
  }
  if (!accessibility.isProcessTrusted()) return MenuPressResult::opened();

  bool finished = false;
  for (int poll = 0; poll < wait.polls; ++poll) {
    if (!finished) finished = app.isFinishedLaunching();
    if (!finished) sleep(wait.pollInterval);
  }
  sleep(wait.settle);
  return pressUpdateMenuItem(app.processIdentifier, accessibility, wait.messagingTimeout)
             ? MenuPressResult::pressed()
             : MenuPressResult::opened();
}

bool pressUpdateMenuItem(int32_t pid, Accessibility& accessibility,
                         std::chrono::milliseconds messagingTimeout) {
  auto bar = accessibility.menuBar(pid, messagingTimeout);
  if (!bar) return false;
  Elements barItems = childrenOf(*bar);
  // The first bar item is the system's own menu, never the app's.
  for (size_t i = 1; i < barItems.size(); ++i) {
    for (const auto& menu : childrenOf(*barItems[i])) {
      for (const auto& item : childrenOf(*menu)) {
        auto title = item->title();
        if (title && Handoff::isCheckForUpdatesTitle(*title)) return item->press();
      }
    }
  }
  return false;
}

}  // namespace larkvale
