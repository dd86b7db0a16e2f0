#include "kit/sources/Handoff.h"

#include <algorithm>
#include <array>

#include "kit/sources/Homebrew.h"
#include "platform/Collation.h"
#include "platform/FileSystem.h"
#include "platform/Strings.h"
#include "platform/TextTrim.h"

namespace larkvale::Handoff {
namespace {

void removeAll(std::string& text, std::string_view piece) {
  std::string out;
  out.reserve(text.size());
  size_t from = 0;
  for (size_t at; (at = text.find(piece, from)) != std::string::npos; from = at + piece.size()) {
    out.append(text, from, at - from);
  }
  out.append(text, from);
  text = std::move(out);
}

// The heading sits inside double quotes in the script. Quotes, "$", "`" and
// "\" are all zsh would act on there; control characters go too, so that a
// name can neither break the script's line structure nor move the cursor and
// paint over the command the user is asked to approve.
std::string shownName(std::string name) {
  for (std::string_view piece : {"\"", "$", "`", "\\"}) removeAll(name, piece);
  std::string kept;
  kept.reserve(name.size());
  for (size_t i = 0; i < name.size(); ++i) {
    auto byte = static_cast<unsigned char>(name[i]);
    if (byte < 0x20 || byte == 0x7F) continue;
    // U+0080–U+009F (C2 80–C2 9F): a terminal may act on these as on ESC.
    auto next = i + 1 < name.size() ? static_cast<unsigned char>(name[i + 1]) : 0;
    if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {
      ++i;
      continue;
    }
    kept += name[i];
  }
  return kept;
}

}  // namespace

std::optional<std::string> upgradeCommand(const std::vector<std::string>& tokens, bool greedy,
                                          std::string_view brew) {
  if (tokens.empty()) return std::nullopt;
  for (const auto& token : tokens) {
    if (!Homebrew::isCaskToken(token)) return std::nullopt;
  }
  std::string command(brew);
  command += greedy ? " upgrade --cask --greedy" : " upgrade --cask";
  for (const auto& token : tokens) (command += ' ') += token;
  return command;
}

bool isSafeBrewPath(std::string_view path) {
  // An allow-list rather than a list of dangerous characters: zsh gives
  // meaning to far more than quotes and separators (globs, "#", "~", "=",
  // "!", braces, parentheses, tabs, carriage returns).
  auto allowed = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::string_view("/._+@-").find(c) != std::string_view::npos;
  };
  // Absolute, too: a bare word would be looked up as a command or shell
  // built-in ("eval", "exec", "."), or taken as an option ("-").
  if (!path.starts_with('/') || !std::all_of(path.begin(), path.end(), allowed)) return false;
  // And Homebrew itself: not any program ("/usr/bin/env") nor a folder.
  return path.ends_with("/brew") && FileSystem::isExecutableFile(std::string(path));
}

std::optional<std::string> terminalScript(const std::vector<std::string>& tokens,
                                          const std::vector<std::string>& names, bool greedy,
                                          std::string_view brewPath) {
  auto command = upgradeCommand(tokens, greedy, brewPath);
  if (!command || !isSafeBrewPath(brewPath)) return std::nullopt;
  auto shownCommand = upgradeCommand(tokens, greedy, "brew");

  std::vector<std::string> cleaned;
  cleaned.reserve(names.size());
  for (const auto& name : names) cleaned.push_back(shownName(name));

  const std::array<std::string, 14> lines = {
      "#!/bin/zsh",
      "# Written by Larkvale. Nothing runs until you press Return in this window.",
      "clear",
      "print -r -- \"Larkvale: Homebrew update for " + Strings::join(cleaned, ", ") + "\"",
      "print",
      "print -r -- \"This will run:  " + *shownCommand + "\"",
      "print -r -- \"(Homebrew may ask for your password for some apps; it asks in this window.)\"",
      "print",
      // Without "|| exit", end of input (Control-D, a closed pipe) would let
      // the command run although Return was never pressed.
      "read -r \"?Press Return to run it, or close this window to cancel. \" || exit 1",
      *command,
      "code=$?",
      "print",
      "if (( code == 0 )); then print \"Done. In Larkvale, press Check Now to see the new "
      "version.\"; else print \"brew stopped with code $code (see above).\"; fi",
      "rm -f -- \"$0\"",
  };
  std::string script;
  for (const auto& line : lines) (script += line) += '\n';
  return script;
}

bool isCheckForUpdatesTitle(std::string_view title) {
  std::string text = Collation::lowercased(title);
  removeAll(text, "\u2026");
  removeAll(text, "...");
  static constexpr std::array<std::string_view, 5> kTitles = {
      "check for updates", "check for update", "check for updates now", "check for new version",
      "check for new versions"};
  return std::find(kTitles.begin(), kTitles.end(), TextTrim::spaces(text)) != kTitles.end();
}

}  // namespace larkvale::Handoff
