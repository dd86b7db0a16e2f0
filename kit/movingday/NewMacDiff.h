#pragma once
// A Moving Day folder compared with this Mac: which of the old Mac's apps are
// missing, older or present here, and which copied settings are not yet in
// place below the home folder. Installs and copies nothing.
//
// The manifest is outside data: a setting whose stored or tilde path is not a
// plain relative path has no copy and counts as missing, so no path of a
// diff ever lies outside the folder or the home folder.
//
// A plain value; building one only tests whether paths exist and may run on
// any thread.
#include <filesystem>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "kit/model/InstalledApp.h"
#include "kit/movingday/MovingManifest.h"

namespace larkvale {

struct NewMacDiff {
  struct AppLine {
    MovingManifest::App app;
    std::optional<std::string> installed;  // the version here; nothing when missing

    const std::string& id() const { return app.bundleID; }
    friend bool operator==(const AppLine&, const AppLine&) = default;
  };

  struct SettingLine {
    MovingManifest::Setting setting;
    // The stored copy inside the folder; nothing when the manifest's stored
    // path is not a plain path below "Settings/".
    std::optional<std::filesystem::path> copy;
    bool copyExists = false;  // something is at copy (links followed) when the diff was made

    const std::string& id() const { return setting.tildePath; }
    friend bool operator==(const SettingLine&, const SettingLine&) = default;
  };

  MovingManifest manifest;
  std::filesystem::path folder;
  std::vector<AppLine> missingApps;
  std::vector<AppLine> olderApps;
  std::vector<AppLine> presentApps;  // same or newer here, or a manifest version without digits
  std::vector<SettingLine> missingSettings;
  std::vector<SettingLine> presentSettings;

  // Compares; every list keeps the manifest's order. A test the file system
  // can't answer counts as "not there". Throws Cancelled once `stop` is
  // requested (tested before every app and setting).
  NewMacDiff(MovingManifest manifest, std::filesystem::path folder,
             const std::vector<InstalledApp>& installed, const std::filesystem::path& home,
             std::stop_token stop = {});

  // Nothing missing, nothing older, no setting missing.
  bool isComplete() const;

  // "brew install --cask " and the usable cask tokens of the missing apps, in
  // order; nothing when none is usable.
  std::optional<std::string> brewInstallCommand() const;

  friend bool operator==(const NewMacDiff&, const NewMacDiff&) = default;
};

}  // namespace larkvale
