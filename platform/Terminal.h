#pragma once
// Opening a script in a new window of the system's terminal emulator, where
// the user watches it run and answers its questions.
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Error.h"

namespace larkvale {

// No terminal emulator could be started. what() is "Couldn't open a terminal
// window."
class TerminalError : public Error {
 public:
  using Error::Error;
};

class Terminal {
 public:
  virtual ~Terminal() = default;

  // Starts a terminal window that runs the executable script at `script`, and
  // returns without waiting for the window or the script. Throws
  // TerminalError when no terminal program could be started. What happens
  // inside the window (the user closing it, the script failing) is not seen.
  virtual void openScript(const std::filesystem::path& script) = 0;
};

// One terminal program and the arguments that make it run a command: the
// program is started with `argumentsBeforeScript` followed by the script path
// as one argument (never a command line to be split).
struct TerminalProgram {
  std::string name;
  std::vector<std::string> argumentsBeforeScript;

  friend bool operator==(const TerminalProgram&, const TerminalProgram&) = default;
};

// Tries each program in order — the Debian alternative "x-terminal-emulator"
// first, then the common desktop terminals — and uses the first one that
// starts. Programs are looked up in a PATH-style list. Thread-safe.
class SystemTerminal final : public Terminal {
 public:
  // The common programs, looked up in this process's PATH.
  SystemTerminal();
  SystemTerminal(std::vector<TerminalProgram> programs, std::string searchPath);

  static std::vector<TerminalProgram> commonPrograms();

  void openScript(const std::filesystem::path& script) override;

 private:
  std::vector<TerminalProgram> programs_;
  std::string searchPath_;
};

}  // namespace larkvale
