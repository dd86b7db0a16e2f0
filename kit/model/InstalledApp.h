#pragma once
// One application bundle found on disk. Identified by its path.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "kit/model/Hash.h"
#include "platform/Json.h"

namespace larkvale {

struct InstalledApp {
  std::string path;                    // as the scan listed it, links not resolved
  std::string name;                    // shown to the user
  std::string bundleID;                // never empty
  std::string version;                 // short version, else build, else "?"
  std::string build;                   // build, else short version, else empty
  std::optional<std::string> feedURL;  // absolute http(s) URL
  bool hasAppStoreReceipt = false;
  bool isWrappedIOSApp = false;
  std::optional<std::string> selfUpdater;
  std::optional<bool> sandboxed;
  std::optional<int64_t> storeID;
  std::optional<std::string> githubRepo;  // "owner/repo"

  const std::string& id() const { return path; }

  // Apps whose identifier begins with "com.apple." come with the system.
  bool comesWithSystem() const { return bundleID.starts_with("com.apple."); }

  friend bool operator==(const InstalledApp&, const InstalledApp&) = default;
};

// An object keyed by the field names. path, name, bundleID, version, build,
// hasAppStoreReceipt and isWrappedIOSApp are always written and required on
// reading; the optionals are left out when empty and read as empty when
// missing or null. feedURL must read as a URL.
Json toJson(const InstalledApp& app);
template <>
InstalledApp fromJson<InstalledApp>(const JsonIn& in);
// fromJson's reading, for a JsonIn or a JsonStreamIn.
template <typename In>
InstalledApp readInstalledApp(const In& in);

}  // namespace larkvale

template <>
struct std::hash<larkvale::InstalledApp> {
  size_t operator()(const larkvale::InstalledApp& a) const noexcept;
};
