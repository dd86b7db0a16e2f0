#include "kit/sources/SafeUpdateStep.h"

#include "kit/sources/Handoff.h"

namespace larkvale {

std::string SafeUpdateStep::id() const {
  if (kind_ == Kind::brew) return "brew";
  return "sparkle:" + updates_.front().app.path;
}

std::string SafeUpdateStep::title() const {
  if (kind_ == Kind::sparkle) {
    const AppUpdate& update = updates_.front();
    return update.app.name + " " + update.app.version + " \u2192 " +
           update.latestVersion.value_or("?");
  }
  if (updates_.size() == 1) return "Homebrew: " + updates_.front().app.name;
  return "Homebrew: " + std::to_string(updates_.size()) + " casks";
}

std::string SafeUpdateStep::detail() const {
  if (kind_ == Kind::sparkle) {
    return "Opens the app; its own updater downloads and installs (you approve it there).";
  }
  std::string names;
  for (const auto& update : updates_) {
    if (!names.empty()) names += ", ";
    names += update.app.name;
  }
  return "One terminal window shows the command for " + names + "; it runs when you press Return.";
}

std::optional<std::string> SafeUpdateStep::brewCommand() const {
  if (kind_ == Kind::sparkle) return std::nullopt;
  std::vector<std::string> tokens;
  bool greedy = false;
  for (const auto& update : updates_) {
    auto token = update.cask();
    if (!token) return std::nullopt;
    tokens.push_back(*token);
    greedy = greedy || update.caskAutoUpdates;
  }
  return Handoff::upgradeCommand(tokens, greedy, "brew");
}

}  // namespace larkvale
