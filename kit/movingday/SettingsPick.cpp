#include "kit/movingday/SettingsPick.h"

#include "kit/model/Hash.h"

namespace larkvale {

Json toJson(const SettingsPick& pick) {
  return {{"tildePath", pick.tildePath}, {"appName", pick.appName}, {"bundleID", pick.bundleID}};
}

template <>
SettingsPick fromJson<SettingsPick>(const JsonIn& in) {
  return {in.string("tildePath"), in.string("appName"), in.string("bundleID")};
}

}  // namespace larkvale

size_t std::hash<larkvale::SettingsPick>::operator()(
    const larkvale::SettingsPick& p) const noexcept {
  return larkvale::hashValues(p.tildePath, p.appName, p.bundleID);
}
