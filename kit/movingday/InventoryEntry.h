#pragma once
// One app's row of the Moving day inventory: how to install it again, where
// its settings live, its licence note and the files that look like licences.
// A plain value, built by SettingsLocator; any thread may read or copy it.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "kit/model/InstalledApp.h"
#include "kit/model/UpdateSource.h"
#include "kit/movingday/DocText.h"
#include "platform/Json.h"

namespace larkvale {

struct InventoryEntry {
  InstalledApp app;
  UpdateSource source;
  std::optional<std::string> caskToken;  // the homebrew source's token
  std::optional<int64_t> storeTrackID;   // the check's, else the app's
  std::vector<std::string> settings;     // existing locations, tilde form
  std::optional<std::string> container;  // tilde form, when sandboxed
  std::string licence;                   // always a note
  std::optional<std::string> tip;
  std::vector<std::string> licenceFiles;    // absolute, at most six
  std::optional<std::string> downloadHint;  // the feed's host without "www."

  const std::string& id() const { return app.path; }

  // The one line that says how to get the app on the new Mac.
  std::string installHow() const;
  // The same line with its cask token, repository or host marked as outside
  // text, for the exported document.
  DocText installHowText() const;
  // The github source's repository; nothing for other sources.
  std::optional<std::string> githubRepo() const;

  friend bool operator==(const InventoryEntry&, const InventoryEntry&) = default;
};

// An object keyed by the field names; empty optionals are left out. app,
// source, settings, licence and licenceFiles are required on reading.
Json toJson(const InventoryEntry& entry);
template <>
InventoryEntry fromJson<InventoryEntry>(const JsonIn& in);

}  // namespace larkvale

template <>
struct std::hash<larkvale::InventoryEntry> {
  size_t operator()(const larkvale::InventoryEntry& e) const noexcept;
};
