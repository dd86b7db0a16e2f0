#pragma once
// The user's settings and a hold on an app, parts of the saved state. Plain
// values; any thread may read or copy them.
#include <functional>
#include <string>

#include "platform/Dates.h"
#include "platform/Json.h"

namespace larkvale {

struct Settings {
  bool dailyCheck = true;      // check once a day while the app runs
  std::string country = "us";  // App Store country code of store lookups
  bool showUpToDate = true;    // stored and saved; read by the screens only
  bool weeklyNotice = false;   // post the weekly summary notification

  friend bool operator==(const Settings&, const Settings&) = default;
};

// All four keys are written; on reading each is optional on its own and a
// missing or null one keeps its default.
Json toJson(const Settings& settings);
template <>
Settings fromJson<Settings>(const JsonIn& in);

struct Hold {
  std::string reason;  // the user's note; may be empty
  Date since;          // when the hold was made

  friend bool operator==(const Hold&, const Hold&) = default;
};

// "reason" and "since" are both required on reading.
Json toJson(const Hold& hold);
template <>
Hold fromJson<Hold>(const JsonIn& in);

}  // namespace larkvale

template <>
struct std::hash<larkvale::Settings> {
  size_t operator()(const larkvale::Settings& s) const noexcept;
};
template <>
struct std::hash<larkvale::Hold> {
  size_t operator()(const larkvale::Hold& h) const noexcept;
};
