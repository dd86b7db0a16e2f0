#pragma once
// One settings item that Copy Settings offers: a path below the home folder
// and the app it belongs to. Identified by tildePath in lists.
#include <functional>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace larkvale {

struct SettingsPick {
  std::string tildePath;  // "~/" first, e.g. "~/Library/Preferences/x.plist"
  std::string appName;
  std::string bundleID;

  const std::string& id() const { return tildePath; }

  friend bool operator==(const SettingsPick&, const SettingsPick&) = default;
};

nlohmann::json toJson(const SettingsPick& pick);
// Nothing unless the value is an object with the three keys, each a string.
std::optional<SettingsPick> settingsPickFromJson(const nlohmann::json& json);

}  // namespace larkvale

template <>
struct std::hash<larkvale::SettingsPick> {
  size_t operator()(const larkvale::SettingsPick& p) const noexcept;
};
