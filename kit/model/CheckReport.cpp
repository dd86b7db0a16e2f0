#include "kit/model/CheckReport.h"

namespace larkvale {

Json toJson(const CheckReport& report) {
  Json updates = Json::array();
  for (const AppUpdate& u : report.updates) updates.push_back(toJson(u));
  return {{"date", JsonCoding::date(report.date)},
          {"updates", std::move(updates)},
          {"brewAvailable", report.brewAvailable},
          {"problems", report.problems}};
}

template <>
CheckReport fromJson<CheckReport>(const JsonIn& in) {
  CheckReport report;
  report.date = in.date("date");
  report.updates = in.at("updates").array([](const JsonIn& e) { return fromJson<AppUpdate>(e); });
  report.brewAvailable = in.boolean("brewAvailable");
  report.problems = in.strings("problems");
  return report;
}

CheckCounts::CheckCounts(const std::vector<AppUpdate>& list)
    : total(static_cast<int64_t>(list.size())) {
  for (const AppUpdate& u : list) {
    ++bySource[std::string(u.source.key())];
    switch (u.status.kind()) {
      case UpdateStatus::Kind::updateAvailable:
        ++updates;
        break;
      case UpdateStatus::Kind::upToDate:
        ++upToDate;
        break;
      case UpdateStatus::Kind::notChecked:
        ++notChecked;
        break;
      case UpdateStatus::Kind::noSource:
        ++noSource;
        break;
    }
  }
}

}  // namespace larkvale
