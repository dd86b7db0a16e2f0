#pragma once
// The text work of handing an update to something the user can watch: the
// Homebrew cask upgrade command line, the Terminal script that runs it after
// the user presses Return, and the test that a menu item asks an app to check
// for updates. Pure functions, except that the script looks at the brew path
// it is handed; any thread may call them.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace larkvale::Handoff {

// "<brew> upgrade --cask [--greedy] <token>…", words joined by single spaces.
// Nothing when the list is empty or any token fails Homebrew::isCaskToken, so
// the tokens never need quoting. `brew` is a path or the bare word "brew"; it
// is taken as given (terminalScript checks the path it is handed).
std::optional<std::string> upgradeCommand(const std::vector<std::string>& tokens, bool greedy,
                                          std::string_view brew);

// Whether a path names Homebrew and may stand unquoted as the first word of a
// zsh command line: absolute (it begins with "/"), made only of ASCII letters,
// digits and "/._+@-", named "brew", and (links followed) a regular file this
// process may run.
bool isSafeBrewPath(std::string_view path);

// The zsh script that shows the command, waits for Return, runs it once,
// reports its exit code and deletes itself (14 lines, each ending in a line
// feed). The command runs only after a line is read: end of input exits. It
// says nothing on closing its window: the terminal window that runs it
// (Terminal::openScript) asks for Return to close once it has ended.
// `names` are shown in the heading with double quotes, dollar signs,
// backticks, backslashes and control characters (C0, DEL and C1) removed.
// Nothing when the command can't be built or `brewPath` fails isSafeBrewPath.
std::optional<std::string> terminalScript(const std::vector<std::string>& tokens,
                                          const std::vector<std::string>& names, bool greedy,
                                          std::string_view brewPath);

// True when the title, lowercased, without "…" and "...", and trimmed of
// horizontal white space (tabs and Unicode spaces, not line breaks), is one of
// the English ways of saying "check for updates".
bool isCheckForUpdatesTitle(std::string_view title);

}  // namespace larkvale::Handoff
