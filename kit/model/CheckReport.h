#pragma once
// One whole check, and a count of a list of results. Plain values; any
// thread may read or copy them.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "kit/model/AppUpdate.h"
#include "platform/Dates.h"
#include "platform/Json.h"

namespace larkvale {

struct CheckReport {
  Date date;                          // when the check finished
  std::vector<AppUpdate> updates;     // in the order of the scanned apps
  bool brewAvailable = false;         // the Homebrew tool listed its casks
  std::vector<std::string> problems;  // sentences about whole sources that failed

  friend bool operator==(const CheckReport&, const CheckReport&) = default;
};

// An object with all four keys, every one required on reading. One update
// that doesn't read fails the whole report.
Json toJson(const CheckReport& report);
template <>
CheckReport fromJson<CheckReport>(const JsonIn& in);

// How many results of a list have each status, and each source key. Uses the
// status as the check reported it: skips and holds play no part. total equals
// the sum of the four status counts and the sum of bySource.
struct CheckCounts {
  int64_t total = 0;
  int64_t updates = 0;
  int64_t upToDate = 0;
  int64_t notChecked = 0;
  int64_t noSource = 0;
  std::map<std::string, int64_t> bySource;  // UpdateSource::key → count; never 0

  CheckCounts() = default;
  explicit CheckCounts(const std::vector<AppUpdate>& list);

  friend bool operator==(const CheckCounts&, const CheckCounts&) = default;
};

}  // namespace larkvale
