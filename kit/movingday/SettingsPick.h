#pragma once
// One settings item that Copy Settings offers: a path below the home folder
// and the app it belongs to. Identified by tildePath in lists.
#include <functional>
#include <string>

#include "platform/Json.h"

namespace larkvale {

struct SettingsPick {
  std::string tildePath;  // "~/" first, e.g. "~/Library/Preferences/x.plist"
  std::string appName;
  std::string bundleID;

  const std::string& id() const { return tildePath; }

  friend bool operator==(const SettingsPick&, const SettingsPick&) = default;
};

// {"appName", "bundleID", "tildePath"}; reading needs all three as strings.
Json toJson(const SettingsPick& pick);
template <>
SettingsPick fromJson<SettingsPick>(const JsonIn& in);

}  // namespace larkvale

template <>
struct std::hash<larkvale::SettingsPick> {
  size_t operator()(const larkvale::SettingsPick& p) const noexcept;
};
