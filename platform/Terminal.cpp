#include "platform/Terminal.h"

#include <cstdlib>

#include "platform/WorkspaceLaunch.h"

namespace larkvale {

std::vector<TerminalProgram> SystemTerminal::commonPrograms() {
  // Each with the one option it documents for "run this program": several
  // treat -e as a command line to split, which a path with spaces would break.
  return {
      {"x-terminal-emulator", {"-e"}},
      {"gnome-terminal", {"--"}},
      {"konsole", {"-e"}},
      {"xfce4-terminal", {"-x"}},
      {"mate-terminal", {"-x"}},
      {"kitty", {}},
      {"alacritty", {"-e"}},
      {"foot", {}},
      {"xterm", {"-e"}},
  };
}

SystemTerminal::SystemTerminal() : programs_(commonPrograms()) {
  const char* path = std::getenv("PATH");
  searchPath_ = path ? path : "/usr/local/bin:/usr/bin:/bin";
}

SystemTerminal::SystemTerminal(std::vector<TerminalProgram> programs, std::string searchPath)
    : programs_(std::move(programs)), searchPath_(std::move(searchPath)) {}

void SystemTerminal::openScript(const std::filesystem::path& script) {
  for (const auto& program : programs_) {
    auto found = WorkspaceLaunch::findInSearchPath(program.name, searchPath_);
    if (!found) continue;
    auto arguments = program.argumentsBeforeScript;
    arguments.insert(arguments.end(), {"/bin/sh", "-c", kHoldOpen, "sh", script.string()});
    try {
      WorkspaceLaunch::launchDetached(*found, arguments);
      return;
    } catch (const LaunchError&) {
      // A broken or foreign binary under a common name: try the next one.
    }
  }
  throw TerminalError(kNoTerminal);
}

}  // namespace larkvale
