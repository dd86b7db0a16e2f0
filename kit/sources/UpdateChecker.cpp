#include "kit/sources/UpdateChecker.h"

#include <chrono>

#include "kit/model/OwnApp.h"
#include "kit/sources/BoundedParallel.h"
#include "kit/sources/BrewError.h"
#include "kit/sources/FetchError.h"
#include "kit/sources/GitHubRepos.h"
#include "kit/sources/Homebrew.h"
#include "kit/sources/SystemBrew.h"

namespace larkvale {
namespace {

// What stands for an app whose judgement failed in a way no source foresaw.
AppUpdate failedJudgement(AppUpdate update, std::exception_ptr error) {
  std::string what = "an unexpected error";
  if (error) {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& e) {
      what = e.what();
    } catch (...) {
    }
  }
  update.status = UpdateStatus::notChecked("Not checked (" + what + ").");
  return update;
}

}  // namespace

AppUpdate UpdateChecker::baseRecord(const Plan& plan) {
  AppUpdate update;
  update.app = plan.app;
  update.source = plan.source;
  return update;
}

std::optional<BrewReport> UpdateChecker::readBrew(bool wantOutdated,
                                                  std::vector<std::string>& problems) const {
  if (!brew_ || !brew_->brewPath()) return std::nullopt;
  BrewReport report;
  try {
    report.casks = Homebrew::parseInfo(brew_->run(SystemBrew::infoArguments()), home_.native());
  } catch (const std::exception& e) {
    problems.push_back("Homebrew didn't list its casks (" + std::string(e.what()) +
                       "); cask apps are checked by their other sources.");
    return std::nullopt;
  }
  if (!wantOutdated) return report;
  try {
    report.outdated = Homebrew::parseOutdated(brew_->run(SystemBrew::outdatedArguments()));
    report.outdatedRan = true;
  } catch (const std::exception& e) {
    problems.push_back("brew outdated didn't answer (" + std::string(e.what()) +
                       "); versions were compared directly.");
  }
  return report;
}

UpdateChecker::Plan UpdateChecker::plan(const InstalledApp& app,
                                        const std::optional<BrewReport>& brew) {
  Plan plan{app, UpdateSource::unknown(), std::nullopt, std::nullopt, false};
  if (OwnApp::isOwn(app.bundleID)) {
    // The program is never judged by a receipt, a cask or a repository.
    if (app.feedURL) plan.source = UpdateSource::sparkle(*app.feedURL);
    return plan;
  }
  if (app.hasAppStoreReceipt) {
    plan.source = UpdateSource::appStore();
    return plan;
  }
  if (brew) {
    if (auto cask = Homebrew::caskForApp(app, brew->casks)) {
      plan.source = UpdateSource::homebrew(cask->token);
      if (auto row = brew->outdated.find(cask->token); row != brew->outdated.end())
        plan.brewOutdated = row->second;
      plan.brewOutdatedRan = brew->outdatedRan;
      plan.cask = std::move(cask);
      return plan;
    }
  }
  if (app.feedURL) {
    plan.source = UpdateSource::sparkle(*app.feedURL);
  } else if (auto repo =
                 app.githubRepo ? app.githubRepo : GitHubReleases::knownRepo(app.bundleID)) {
    plan.source = UpdateSource::github(*repo);
  } else if (app.comesWithSystem()) {
    plan.source = UpdateSource::apple();
  }
  return plan;
}

AppUpdate UpdateChecker::evaluate(const Plan& plan, const CheckOptions& options,
                                  GitHubGate& gate) const {
  try {
    switch (plan.source.kind()) {
      case UpdateSource::Kind::appStore:
        return checkAppStore(plan, options);
      case UpdateSource::Kind::sparkle:
        return checkSparkle(plan, plan.source.payload(), options);
      case UpdateSource::Kind::github:
        return checkGitHub(plan, plan.source.payload(), options, gate);
      case UpdateSource::Kind::homebrew:
        return checkHomebrew(plan);
      case UpdateSource::Kind::apple: {
        AppUpdate update = baseRecord(plan);
        update.status = UpdateStatus::noSource();
        update.remark =
            "Comes with macOS: System Settings \u203a General \u203a Software Update updates it.";
        return update;
      }
      case UpdateSource::Kind::unknown: {
        AppUpdate update = baseRecord(plan);
        update.status = UpdateStatus::noSource();
        update.remark =
            plan.app.selfUpdater
                ? "No feed Larkvale can read; it updates with " + *plan.app.selfUpdater + "."
                : "No update feed found. Check the developer's website.";
        return update;
      }
    }
  } catch (...) {
    return failedJudgement(baseRecord(plan), std::current_exception());
  }
  return failedJudgement(baseRecord(plan), nullptr);
}

CheckReport UpdateChecker::check(const std::vector<InstalledApp>& apps, const CheckOptions& options,
                                 const Progress& progress, std::stop_token stop) const {
  Cancelled::check(stop);
  std::vector<std::string> problems;
  const auto brew = readBrew(true, problems);
  Cancelled::check(stop);
  std::vector<Plan> plans;
  plans.reserve(apps.size());
  for (const auto& app : apps) plans.push_back(plan(app, brew));

  GitHubGate gate;
  auto updates = mapBounded<AppUpdate>(
      plans.size(), options.parallel, [&](size_t i) { return evaluate(plans[i], options, gate); },
      [&](size_t i, std::exception_ptr error) {
        return failedJudgement(baseRecord(plans[i]), error);
      },
      [&](size_t done, size_t total) {
        if (progress) progress({static_cast<int>(done), static_cast<int>(total)});
      },
      stop);
  return CheckReport{std::chrono::system_clock::now(), std::move(updates), brew.has_value(),
                     std::move(problems)};
}

std::vector<AppUpdate> UpdateChecker::listSources(const std::vector<InstalledApp>& apps,
                                                  std::stop_token stop) const {
  Cancelled::check(stop);
  std::vector<std::string> ignored;
  const auto brew = readBrew(false, ignored);
  std::vector<AppUpdate> updates;
  updates.reserve(apps.size());
  for (const auto& app : apps) {
    Cancelled::check(stop);
    const Plan p = plan(app, brew);
    AppUpdate update = baseRecord(p);
    const auto kind = p.source.kind();
    if (kind == UpdateSource::Kind::apple || kind == UpdateSource::Kind::unknown) {
      update.status = UpdateStatus::noSource();
    } else {
      update.status = UpdateStatus::notChecked("Not checked yet");
      update.storeTrackID = app.storeID;
      update.caskAutoUpdates = p.cask && p.cask->autoUpdates;
    }
    updates.push_back(std::move(update));
  }
  return updates;
}

}  // namespace larkvale
