#pragma once
// One hand-off of "Update All That Are Safe": one app opened so that its own
// updater runs, or one Terminal command that upgrades all chosen casks
// together. A plain value; any thread may read or copy it.
#include <optional>
#include <string>
#include <vector>

#include "kit/model/AppUpdate.h"

namespace larkvale {

class SafeUpdateStep {
 public:
  enum class Kind { sparkle, brew };

  static SafeUpdateStep sparkle(AppUpdate update) { return {Kind::sparkle, {std::move(update)}}; }
  static SafeUpdateStep brew(std::vector<AppUpdate> updates) {
    return {Kind::brew, std::move(updates)};
  }

  Kind kind() const { return kind_; }
  // The one app of a sparkle step, or the casks of the brew step in order.
  const std::vector<AppUpdate>& updates() const { return updates_; }

  // "sparkle:<app path>", or "brew" for the Homebrew step.
  std::string id() const;
  // "<name> <installed> → <latest or ?>"; "Homebrew: <name>" for one cask,
  // "Homebrew: <count> casks" for any other count.
  std::string title() const;
  std::string detail() const;
  // "brew upgrade --cask [--greedy] <tokens>" (greedy when any cask updates
  // itself); nothing for a sparkle step or when a token can't stand in a
  // command.
  std::optional<std::string> brewCommand() const;

  friend bool operator==(const SafeUpdateStep&, const SafeUpdateStep&) = default;

 private:
  SafeUpdateStep(Kind kind, std::vector<AppUpdate> updates)
      : kind_(kind), updates_(std::move(updates)) {}

  Kind kind_;
  std::vector<AppUpdate> updates_;
};

}  // namespace larkvale
