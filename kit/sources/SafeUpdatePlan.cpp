#include "kit/sources/SafeUpdatePlan.h"

#include <algorithm>

#include "kit/model/OwnApp.h"
#include "kit/sources/Homebrew.h"
#include "platform/Collation.h"

namespace larkvale {
namespace {

// Why a waiting update can't be handed off; null when it can.
const char* reasonLeftOut(const AppUpdate& update) {
  if (OwnApp::isOwn(update.app.bundleID)) return SafeUpdatePlan::kOwnApp;
  switch (update.source.kind()) {
    case UpdateSource::Kind::sparkle:
      return nullptr;
    case UpdateSource::Kind::homebrew:
      if (Homebrew::isCaskToken(update.source.payload())) return nullptr;
      return SafeUpdatePlan::kUnsafeCask;
    case UpdateSource::Kind::github:
      return SafeUpdatePlan::kGitHub;
    case UpdateSource::Kind::appStore:
      return SafeUpdatePlan::kAppStore;
    case UpdateSource::Kind::apple:
    case UpdateSource::Kind::unknown:
      break;
  }
  return SafeUpdatePlan::kNoHandoff;
}

bool listedBefore(const AppUpdate& a, const AppUpdate& b) {
  if (a.critical != b.critical) return a.critical;
  return Collation::compare(a.app.name, b.app.name) < 0;
}

}  // namespace

SafeUpdatePlan::SafeUpdatePlan(const std::vector<AppUpdate>& updates, const AppState& state) {
  for (auto& update : state.actionableUpdates(updates)) {
    if (const char* reason = reasonLeftOut(update)) {
      leftOut.push_back({std::move(update), reason});
    } else {
      candidates.push_back(std::move(update));
    }
  }
  std::stable_sort(candidates.begin(), candidates.end(), listedBefore);
  std::stable_sort(leftOut.begin(), leftOut.end(), [](const LeftOut& a, const LeftOut& b) {
    return listedBefore(a.update, b.update);
  });
}

bool SafeUpdatePlan::hasCandidates(const std::vector<AppUpdate>& updates, const AppState& state) {
  return std::any_of(updates.begin(), updates.end(), [&state](const AppUpdate& update) {
    return state.effective(update) == AppState::Effective::update && !reasonLeftOut(update);
  });
}

std::vector<SafeUpdateStep> SafeUpdatePlan::steps(const std::set<std::string>& chosen) const {
  std::vector<SafeUpdateStep> result;
  std::vector<AppUpdate> casks;
  for (const auto& update : candidates) {
    if (!chosen.contains(update.app.path)) continue;
    if (update.source.kind() == UpdateSource::Kind::homebrew) {
      casks.push_back(update);
    } else {
      result.push_back(SafeUpdateStep::sparkle(update));
    }
  }
  if (!casks.empty()) result.push_back(SafeUpdateStep::brew(std::move(casks)));
  return result;
}

}  // namespace larkvale
