#pragma once
// "Update All That Are Safe": which waiting updates can be handed off (apps
// with their own Sparkle updater, and Homebrew casks whose token may stand in
// a Terminal command) and, for every other waiting update, the sentence that
// says why it is left out. A plain value built by a pure function; any thread
// may build or read it.
#include <set>
#include <string>
#include <vector>

#include "kit/model/AppState.h"
#include "kit/model/AppUpdate.h"
#include "kit/sources/SafeUpdateStep.h"

namespace larkvale {

struct SafeUpdatePlan {
  struct LeftOut {
    AppUpdate update;
    std::string reason;

    // Rows are identified by the app's path.
    const std::string& id() const { return update.app.path; }

    friend bool operator==(const LeftOut&, const LeftOut&) = default;
  };

  // The reasons, one per kind of update that can't be handed off.
  static constexpr const char* kOwnApp =
      "Larkvale itself: choose Check for Updates\u2026 in its menu once the others are done.";
  static constexpr const char* kUnsafeCask =
      "Its cask name has characters Larkvale won't put in a terminal command.";
  static constexpr const char* kGitHub =
      "A GitHub download you install by hand: open its release page.";
  static constexpr const char* kAppStore =
      "App Store apps update only in the App Store app: open its page and press Update.";
  static constexpr const char* kNoHandoff = "No hand-off Larkvale can start for it.";

  std::vector<AppUpdate> candidates;
  std::vector<LeftOut> leftOut;

  SafeUpdatePlan() = default;
  // Sorts the waiting updates among `updates` (state.actionableUpdates: not
  // held, not skipped at their version) into candidates and left-out rows.
  // Each list has critical updates first, then goes by app name in the
  // localized case-insensitive order; ties keep the order of `updates`.
  SafeUpdatePlan(const std::vector<AppUpdate>& updates, const AppState& state);

  // Whether SafeUpdatePlan(updates, state) has any candidate, found without
  // building the plan.
  static bool hasCandidates(const std::vector<AppUpdate>& updates, const AppState& state);

  // The hand-offs for the candidates whose app path is in `chosen`, in plan
  // order: one sparkle step per app, then one brew step holding every chosen
  // cask. No steps for an empty choice.
  std::vector<SafeUpdateStep> steps(const std::set<std::string>& chosen) const;

  friend bool operator==(const SafeUpdatePlan&, const SafeUpdatePlan&) = default;
};

}  // namespace larkvale
