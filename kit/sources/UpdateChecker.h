#pragma once
// One update check over a list of installed apps: Homebrew is asked once,
// every app's source is chosen, the apps are judged against their sources a
// bounded number at a time, and one CheckReport comes back. Nothing here
// throws: a source that can't be asked becomes that app's reason or remark,
// a Homebrew query that fails becomes one line of the report's problems.
//
// A checker holds references to the fetcher and the Homebrew runner, which
// must outlive it; both must be safe to call from several threads at once.
// A checker keeps no state between calls; any thread may call it.
//
// check and listSources take a stop token: once a stop is requested no
// further app is started and the call throws Cancelled when the apps in
// flight have ended (each ends within its fetch's time limit; a Homebrew run
// already started ends within its own).
#include <cstddef>
#include <exception>
#include <filesystem>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "kit/model/AppUpdate.h"
#include "kit/model/CheckReport.h"
#include "kit/model/InstalledApp.h"
#include "kit/model/WorkProgress.h"
#include "kit/sources/BrewCask.h"
#include "kit/sources/BrewRunning.h"
#include "kit/sources/CheckOptions.h"
#include "kit/sources/GitHubGate.h"
#include "kit/sources/HTTPFetching.h"
#include "kit/sources/ServiceHosts.h"

namespace larkvale {

class UpdateChecker {
 public:
  // Called with (apps finished, total) on the thread that called check.
  using Progress = ProgressCallback;

  // home is the user's home folder, for the "~" in the paths Homebrew gives.
  UpdateChecker(HTTPFetching& fetcher, const BrewRunning* brew, std::filesystem::path home,
                ServiceHosts hosts = {})
      : fetcher_(fetcher), brew_(brew), home_(std::move(home)), hosts_(std::move(hosts)) {}

  // One AppUpdate per app, in the order given; progress is called exactly
  // once per app with a rising count. Throws Cancelled (see above).
  CheckReport check(const std::vector<InstalledApp>& apps, const CheckOptions& options,
                    const Progress& progress = {}, std::stop_token stop = {}) const;

  // Every app with the source a check would ask, without asking any web
  // source: notChecked "Not checked yet", or noSource for apps of the system
  // and apps without a readable source. Throws Cancelled (see above).
  std::vector<AppUpdate> listSources(const std::vector<InstalledApp>& apps,
                                     std::stop_token stop = {}) const;

 private:
  // One app's chosen source, decided before any source is asked.
  struct Plan {
    InstalledApp app;
    UpdateSource source;
    std::optional<BrewCask> cask;              // exactly when source is homebrew
    std::optional<BrewOutdated> brewOutdated;  // the cask's row in the outdated list
    bool brewOutdatedRan = false;              // homebrew only: the outdated query answered
  };

  // The Homebrew step: nothing without a tool; a failed query appends its
  // problem sentence.
  std::optional<BrewReport> readBrew(bool wantOutdated, std::vector<std::string>& problems) const;

  static Plan plan(const InstalledApp& app, const std::optional<BrewReport>& brew);

  // Judges one app. Never throws.
  AppUpdate evaluate(const Plan& plan, const CheckOptions& options, GitHubGate& gate) const;

  // Each source's judgement. An error's what() is its short text, used
  // inside the reason (a FetchError's already is the fixed wording).
  AppUpdate checkAppStore(const Plan& plan, const CheckOptions& options) const;
  AppUpdate checkSparkle(const Plan& plan, const std::string& feedURL,
                         const CheckOptions& options) const;
  AppUpdate checkGitHub(const Plan& plan, const std::string& repo, const CheckOptions& options,
                        GitHubGate& gate) const;
  static AppUpdate checkHomebrew(const Plan& plan);

  // The app and its chosen source, everything else empty.
  static AppUpdate baseRecord(const Plan& plan);

  HTTPFetching& fetcher_;
  const BrewRunning* brew_;
  std::filesystem::path home_;
  ServiceHosts hosts_;
};

}  // namespace larkvale
