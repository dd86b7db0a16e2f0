#include "kit/sources/UpdateChecker.h"

#include <algorithm>
#include <chrono>

#include "kit/model/OwnApp.h"
#include "kit/model/Version.h"
#include "kit/sources/AppStoreLookup.h"
#include "kit/sources/Appcast.h"
#include "kit/sources/BoundedParallel.h"
#include "kit/sources/BrewError.h"
#include "kit/sources/FetchError.h"
#include "kit/sources/GitHubReleases.h"
#include "kit/sources/GitHubRepos.h"
#include "kit/sources/Homebrew.h"
#include "kit/sources/SystemBrew.h"
#include "platform/Strings.h"
#include "platform/TextTrim.h"
#include "platform/WebURL.h"

namespace larkvale {
namespace {

// What stands for an app whose judgement failed in a way no source foresaw.
AppUpdate failedJudgement(AppUpdate update, std::exception_ptr error) {
  std::string what = "an unexpected error";
  if (error) {
    try {
      std::rethrow_exception(error);
    } catch (const std::exception& e) {
      what = TextTrim::oneLine(e.what());
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
    problems.push_back("Homebrew didn't list its casks (" + TextTrim::oneLine(e.what()) +
                       "); cask apps are checked by their other sources.");
    return std::nullopt;
  }
  if (!wantOutdated) return report;
  try {
    report.outdated = Homebrew::parseOutdated(brew_->run(SystemBrew::outdatedArguments()));
    report.outdatedRan = true;
  } catch (const std::exception& e) {
    problems.push_back("brew outdated didn't answer (" + TextTrim::oneLine(e.what()) +
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

// How one app is judged against the source its plan chose. Every failure
// becomes the app's notChecked reason; advice that goes with a verdict
// becomes its remark.
namespace {

UpdateStatus verdict(int comparison) {
  return comparison > 0 ? UpdateStatus::updateAvailable() : UpdateStatus::upToDate();
}

}  // namespace

AppUpdate UpdateChecker::checkAppStore(const Plan& plan, const CheckOptions& options) const {
  const InstalledApp& app = plan.app;
  AppUpdate update = baseRecord(plan);
  update.storeTrackID = app.storeID;
  const std::string url = app.storeID
                              ? AppStoreLookup::idLookupURL(*app.storeID, options.country, hosts_)
                              : AppStoreLookup::bundleLookupURL(app.bundleID, options.country,
                                                                app.isWrappedIOSApp, hosts_);
  std::optional<StoreListing> listing;
  try {
    const FetchResult answer = fetcher_.fetch(
        url, std::max<std::chrono::seconds>(options.maxAge, AppStoreLookup::answerAge));
    if (answer.status != 200) {
      update.status = UpdateStatus::notChecked("App Store not checked (the lookup answered " +
                                               std::to_string(answer.status) + ").");
      return update;
    }
    listing = AppStoreLookup::decodeLookup(answer.data, app.bundleID, app.storeID);
  } catch (const std::exception& e) {
    update.status =
        UpdateStatus::notChecked("App Store not checked (" + TextTrim::oneLine(e.what()) + ").");
    return update;
  }
  if (!listing) {
    if (app.comesWithSystem()) {
      update.status = UpdateStatus::noSource();
      update.remark =
          "Apple's public lookup doesn't list this Apple app; the App Store app's Updates page "
          "shows its updates.";
    } else {
      update.status =
          UpdateStatus::notChecked("Not found in the " + Strings::asciiUppercased(options.country) +
                                   " App Store (removed, or sold in another country).");
    }
    return update;
  }
  update.latestVersion = listing->version;
  update.notes = listing->releaseNotes;
  update.released = listing->releaseDate;
  update.storeTrackID = listing->trackID;
  update.status = verdict(Version::compare(listing->version, app.version));
  if (update.hasUpdate() && listing->minimumOS &&
      !Appcast::meetsMinimum(options.systemVersion.value_or(""), *listing->minimumOS)) {
    update.status = UpdateStatus::upToDate();
    update.remark = "Version " + listing->version + " needs macOS " + *listing->minimumOS +
                    "; this Mac can't install it.";
  }
  return update;
}

AppUpdate UpdateChecker::checkSparkle(const Plan& plan, const std::string& feedURL,
                                      const CheckOptions& options) const {
  const InstalledApp& app = plan.app;
  AppUpdate update = baseRecord(plan);
  std::vector<AppcastItem> items;
  try {
    const FetchResult answer = fetcher_.fetch(feedURL, options.maxAge);
    if (answer.status < 200 || answer.status > 299) {
      update.status = UpdateStatus::notChecked("The app's feed answered " +
                                               std::to_string(answer.status) + ".");
      return update;
    }
    items = Appcast::parseAppcast(answer.data);
  } catch (const AppcastError&) {
    update.status = UpdateStatus::notChecked("The feed address doesn't return an appcast.");
    return update;
  } catch (const std::exception& e) {
    update.status =
        UpdateStatus::notChecked("Feed not read (" + TextTrim::oneLine(e.what()) + ").");
    return update;
  }
  const auto item = Appcast::bestItem(items, options.systemVersion.value_or(""));
  if (!item) {
    update.status =
        UpdateStatus::notChecked(items.empty() ? "The feed lists no versions."
                                               : "The feed has nothing for this version of macOS.");
    return update;
  }
  update.latestVersion = item->shortVersion ? *item->shortVersion : item->version;
  update.notes = item->notes;
  update.notesURL = item->notesURL ? item->notesURL : item->link;
  update.downloadURL = item->informational ? item->link : item->downloadURL;
  update.released = item->pubDate;
  update.critical = item->critical;

  // The build decides first; the short version only tells a new build of the
  // same version from a real update.
  const int byBuild = Version::compare(item->version, app.build);
  if (byBuild <= 0) {
    update.status = UpdateStatus::upToDate();
  } else if (!item->shortVersion) {
    update.status = UpdateStatus::updateAvailable();
  } else {
    update.status = Version::compare(*item->shortVersion, app.version) == 0
                        ? UpdateStatus::upToDate()
                        : UpdateStatus::updateAvailable();
  }
  if (update.hasUpdate() && item->informational)
    update.remark = "The developer posts this one as a web page, not a download.";
  if (OwnApp::isOwn(app.bundleID)) update.remark = std::string(OwnApp::selfUpdateNote);
  return update;
}

AppUpdate UpdateChecker::checkGitHub(const Plan& plan, const std::string& repo,
                                     const CheckOptions& options, GitHubGate& gate) const {
  const InstalledApp& app = plan.app;
  AppUpdate update = baseRecord(plan);
  // A repository text that makes no link (it is checked as a name below)
  // leaves the record without one.
  const std::optional<std::string> releasesPage =
      WebURL::keepable(GitHubReleases::releasesPageURL(repo, hosts_));
  update.notesURL = releasesPage;
  if (app.selfUpdater) update.remark = "It also updates itself with " + *app.selfUpdater + ".";

  if (!GitHubReleases::isRepoName(repo)) {
    update.status = UpdateStatus::notChecked(repo + " isn't a GitHub repository name.");
    return update;
  }
  if (!gate.takeTurn()) {
    update.status = UpdateStatus::notChecked(
        gate.tripped()
            ? "Left for later: GitHub asked Larkvale to wait (60 unsigned lookups an hour)."
            : "Left for the next check (at most 40 GitHub lookups per check).");
    return update;
  }
  try {
    const FetchResult answer =
        fetcher_.fetch(GitHubReleases::latestReleaseURL(repo, hosts_),
                       std::max<std::chrono::seconds>(options.maxAge, GitHubReleases::answerAge));
    if (answer.fromCache) gate.giveBack();
    switch (answer.status) {
      case 200:
        break;
      case 403:
      case 429:
        gate.trip();
        update.status = UpdateStatus::notChecked(
            "GitHub asked Larkvale to wait (60 unsigned lookups an hour); the next check tries "
            "again.");
        return update;
      case 404:
        update.status =
            UpdateStatus::notChecked("GitHub has no published release for " + repo + ".");
        return update;
      default:
        update.status =
            UpdateStatus::notChecked("GitHub answered " + std::to_string(answer.status) + ".");
        return update;
    }
    const GitHubRelease release = GitHubReleases::parseRelease(answer.data);
    const auto version = release.version();
    if (!version) {
      update.status =
          UpdateStatus::notChecked("The newest release's tag (" + TextTrim::oneLine(release.tag) +
                                   ") has no version number.");
      return update;
    }
    const auto asset = GitHubReleases::pickMacAsset(release, GitHubReleases::builtForAppleSilicon);
    update.latestVersion = *version;
    update.notes = release.body;
    update.notesURL = release.pageURL ? release.pageURL : releasesPage;
    update.downloadURL = asset ? asset : release.pageURL;
    update.released = release.published;
    update.status = verdict(Version::compare(*version, app.version));
    if (update.hasUpdate() && !asset) {
      const std::string noDownload =
          "The release has no Mac download Larkvale recognises; its page lists the files.";
      update.remark = update.remark ? *update.remark + " " + noDownload : noDownload;
    }
  } catch (const GitHubError&) {
    update.status = UpdateStatus::notChecked("GitHub's answer wasn't a release.");
  } catch (const std::exception& e) {
    update.status =
        UpdateStatus::notChecked("GitHub not checked (" + TextTrim::oneLine(e.what()) + ").");
  }
  return update;
}

AppUpdate UpdateChecker::checkHomebrew(const Plan& plan) {
  const InstalledApp& app = plan.app;
  AppUpdate update = baseRecord(plan);
  if (!plan.cask) return update;  // a homebrew plan always carries its cask
  const BrewCask& cask = *plan.cask;
  update.latestVersion = cask.latest;
  update.caskAutoUpdates = cask.autoUpdates;
  update.alsoSparkle = app.feedURL.has_value();
  if (!Version::hasNumber(cask.latest)) {
    update.status =
        UpdateStatus::notChecked("The cask has no version number (" + cask.latest + ").");
    return update;
  }
  if (plan.brewOutdated && plan.brewOutdated->pinned) update.remark = "Pinned in Homebrew.";
  if (Version::compare(app.version, cask.latest) < 0) {
    // Older by version: a good outdated answer that leaves the cask out says
    // it is current after all.
    if (!plan.brewOutdated && plan.brewOutdatedRan) {
      update.status = UpdateStatus::upToDate();
      update.remark = "Homebrew says it's current (its version reads " + cask.latest + ").";
    } else {
      update.status = UpdateStatus::updateAvailable();
    }
  } else {
    update.status = UpdateStatus::upToDate();
    if (plan.brewOutdated)
      update.remark = "Updated itself to " + app.version + "; Homebrew's record (" +
                      cask.installed.value_or("older") + ") is behind. Nothing to do.";
  }
  return update;
}

}  // namespace larkvale
