#pragma once
// Opening a script in a new window of the system's terminal emulator, where
// the user watches it run and answers its questions.
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Error.h"

namespace larkvale {

// No terminal emulator could be started. what() is SystemTerminal::kNoTerminal.
class TerminalError : public Error {
 public:
  using Error::Error;
};

class Terminal {
 public:
  virtual ~Terminal() = default;

  // Starts a terminal window that runs the executable script at `script`, and
  // returns without waiting for the window or the script. Once the script has
  // ended the window stays until the user presses Return, so that its last
  // lines can be read (terminal emulators here close when their command
  // ends). Throws TerminalError when no terminal program could be started.
  // What happens inside the window (the user closing it, the script failing)
  // is not seen.
  virtual void openScript(const std::filesystem::path& script) = 0;
};

// One terminal program and the arguments that make it run a command: the
// program is started with `argumentsBeforeScript` followed by /bin/sh, "-c",
// kHoldOpen, "sh" and the script path, each as one argument (never a command
// line to be split).
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
  // What the window runs: the script (the argument after it), then a prompt
  // that holds the window open until Return (or the end of input).
  static constexpr const char* kHoldOpen =
      "\"$1\"; printf '\\n%s' 'Press Return to close this window. '; read -r _";
  static constexpr const char* kNoTerminal = "No terminal program could be started.";

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
