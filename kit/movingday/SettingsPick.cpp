#include "kit/movingday/SettingsPick.h"

#include "kit/model/Hash.h"

namespace larkvale {

nlohmann::json toJson(const SettingsPick& pick) {
  return {{"tildePath", pick.tildePath}, {"appName", pick.appName}, {"bundleID", pick.bundleID}};
}

std::optional<SettingsPick> settingsPickFromJson(const nlohmann::json& json) {
  if (!json.is_object()) return std::nullopt;
  SettingsPick pick;
  for (auto [key, field] :
       {std::pair{"tildePath", &pick.tildePath}, std::pair{"appName", &pick.appName},
        std::pair{"bundleID", &pick.bundleID}}) {
    auto it = json.find(key);
    if (it == json.end() || !it->is_string()) return std::nullopt;
    *field = it->get<std::string>();
  }
  return pick;
}

}  // namespace larkvale

size_t std::hash<larkvale::SettingsPick>::operator()(
    const larkvale::SettingsPick& p) const noexcept {
  size_t seed = 0;
  larkvale::hashCombine(seed, p.tildePath);
  larkvale::hashCombine(seed, p.appName);
  larkvale::hashCombine(seed, p.bundleID);
  return seed;
}
