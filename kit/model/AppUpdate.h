#pragma once
// The result of checking one installed app. A plain value: construction
// stores what it is given, and the derived values are worked out on each
// read. Any thread may read or copy it.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "kit/model/InstalledApp.h"
#include "kit/model/UpdateSource.h"
#include "kit/model/UpdateStatus.h"
#include "platform/Dates.h"
#include "platform/Json.h"

namespace larkvale {

struct AppUpdate {
  InstalledApp app;
  UpdateSource source;
  UpdateStatus status;
  std::optional<std::string> latestVersion;  // as the source writes it
  std::optional<std::string> notes;          // release notes as text
  std::optional<std::string> notesURL;
  std::optional<std::string> downloadURL;
  std::optional<Date> released;
  std::optional<int64_t> storeTrackID;
  bool caskAutoUpdates = false;
  bool critical = false;
  std::optional<std::string> remark;  // a one-line note shown with the update
  bool alsoSparkle = false;           // checked through Homebrew but names a feed too

  // Two results for the same bundle path are the same row.
  const std::string& id() const { return app.path; }

  // The sparkle source's feed; for every other source the app's own feed.
  std::optional<std::string> feedURL() const;
  // The homebrew source's cask token; nothing for other sources.
  std::optional<std::string> cask() const;
  // The github source's repository; nothing for other sources (the app's own
  // repository is not a fallback).
  std::optional<std::string> githubRepo() const;
  // Whether the status is updateAvailable, skipped or held alike.
  bool hasUpdate() const { return status.kind() == UpdateStatus::Kind::updateAvailable; }
  // "macappstore://apps.apple.com/app/id<storeTrackID>" whatever the source;
  // nothing without a store identifier.
  std::optional<std::string> storeURL() const;

  friend bool operator==(const AppUpdate&, const AppUpdate&) = default;
};

// An object keyed by the field names; empty optionals are left out. app,
// source, status, caskAutoUpdates, critical and alsoSparkle are required on
// reading; notesURL and downloadURL must read as URLs, released as a date.
Json toJson(const AppUpdate& update);
template <>
AppUpdate fromJson<AppUpdate>(const JsonIn& in);
// fromJson's reading, for a JsonIn or a JsonStreamIn.
template <typename In>
AppUpdate readAppUpdate(const In& in);

}  // namespace larkvale

template <>
struct std::hash<larkvale::AppUpdate> {
  size_t operator()(const larkvale::AppUpdate& u) const noexcept;
};
