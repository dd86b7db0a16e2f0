#include "kit/model/Settings.h"

#include "kit/model/Hash.h"

namespace larkvale {

Json toJson(const Settings& s) {
  return {{"dailyCheck", s.dailyCheck},
          {"country", s.country},
          {"showUpToDate", s.showUpToDate},
          {"weeklyNotice", s.weeklyNotice}};
}

template <>
Settings fromJson<Settings>(const JsonIn& in) {
  Settings s;
  s.dailyCheck = in.optionalBoolean("dailyCheck").value_or(s.dailyCheck);
  s.country = in.optionalString("country").value_or(s.country);
  s.showUpToDate = in.optionalBoolean("showUpToDate").value_or(s.showUpToDate);
  s.weeklyNotice = in.optionalBoolean("weeklyNotice").value_or(s.weeklyNotice);
  return s;
}

Json toJson(const Hold& h) {
  return {{"reason", h.reason}, {"since", JsonCoding::date(h.since)}};
}

template <>
Hold fromJson<Hold>(const JsonIn& in) {
  return Hold{in.string("reason"), in.date("since")};
}

}  // namespace larkvale

size_t std::hash<larkvale::Settings>::operator()(const larkvale::Settings& s) const noexcept {
  return larkvale::hashValues(s.dailyCheck, s.country, s.showUpToDate, s.weeklyNotice);
}

size_t std::hash<larkvale::Hold>::operator()(const larkvale::Hold& h) const noexcept {
  return larkvale::hashValues(h.reason, h.since);
}
