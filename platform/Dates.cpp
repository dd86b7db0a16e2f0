#include "platform/Dates.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <utility>

namespace larkvale::Dates {
namespace {

using namespace std::chrono;

constexpr sys_seconds kReferenceDate = sys_days{2001y / January / 1};

// The whole seconds a Date can hold: its clock counts nanoseconds in 64 bits,
// about the years 1678 to 2262. Converting anything outside would overflow.
constexpr sys_seconds kEarliest = ceil<seconds>(Date::min());
constexpr sys_seconds kLatest = floor<seconds>(Date::max());

// Reads exactly n digits at pos.
std::optional<int> digits(std::string_view s, size_t& pos, size_t n) {
  if (pos + n > s.size()) return std::nullopt;
  int value = 0;
  for (size_t i = 0; i < n; ++i) {
    char c = s[pos + i];
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  pos += n;
  return value;
}

bool expect(std::string_view s, size_t& pos, char c) {
  if (pos >= s.size() || s[pos] != c) return false;
  ++pos;
  return true;
}

// The offset east of UTC after the seconds: "Z", or with lenient "±HH:MM"
// or "±HHMM".
std::optional<seconds> readZone(std::string_view s, size_t& pos, bool lenient) {
  if (expect(s, pos, 'Z')) return seconds{0};
  if (!lenient || pos >= s.size() || (s[pos] != '+' && s[pos] != '-')) return std::nullopt;
  int sign = s[pos++] == '-' ? -1 : 1;
  auto hh = digits(s, pos, 2);
  expect(s, pos, ':');
  auto mm = digits(s, pos, 2);
  if (!hh || !mm || *hh > 23 || *mm > 59) return std::nullopt;
  return seconds{sign * (*hh * 3600 + *mm * 60)};
}

// Whole seconds since 1970 (rounded down) and the nanoseconds past them,
// without the overflow that floor<seconds> meets near the clock's ends.
std::pair<int64_t, int64_t> splitSeconds(Date date) {
  int64_t ns = duration_cast<nanoseconds>(date.time_since_epoch()).count();
  int64_t whole = ns / 1'000'000'000, rest = ns % 1'000'000'000;
  if (rest < 0) {
    whole -= 1;
    rest += 1'000'000'000;
  }
  return {whole, rest};
}

}  // namespace

std::string iso8601(Date date) {
  auto secs = sys_seconds{seconds{splitSeconds(date).first}};
  auto days = floor<std::chrono::days>(secs);
  year_month_day ymd{days};
  hh_mm_ss hms{secs - days};
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02u-%02uT%02d:%02d:%02dZ", static_cast<int>(ymd.year()),
                static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                static_cast<int>(hms.hours().count()), static_cast<int>(hms.minutes().count()),
                static_cast<int>(hms.seconds().count()));
  return buf;
}

std::optional<Date> parseIso8601(std::string_view s, bool lenient) {
  size_t pos = 0;
  auto y = digits(s, pos, 4);
  if (!y || !expect(s, pos, '-')) return std::nullopt;
  auto mo = digits(s, pos, 2);
  if (!mo || !expect(s, pos, '-')) return std::nullopt;
  auto d = digits(s, pos, 2);
  if (!d || !expect(s, pos, 'T')) return std::nullopt;
  auto h = digits(s, pos, 2);
  if (!h || !expect(s, pos, ':')) return std::nullopt;
  auto mi = digits(s, pos, 2);
  if (!mi || !expect(s, pos, ':')) return std::nullopt;
  auto sec = digits(s, pos, 2);
  if (!sec) return std::nullopt;
  if (lenient && pos < s.size() && s[pos] == '.') {
    size_t start = ++pos;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') ++pos;
    if (pos == start) return std::nullopt;
  }
  auto zone = readZone(s, pos, lenient);
  if (!zone || pos != s.size()) return std::nullopt;
  year_month_day ymd{year{*y}, month{static_cast<unsigned>(*mo)}, day{static_cast<unsigned>(*d)}};
  if (!ymd.ok() || *h > 23 || *mi > 59 || *sec > 59) return std::nullopt;
  sys_seconds t = sys_days{ymd} + hours{*h} + minutes{*mi} + seconds{*sec} - *zone;
  if (t < kEarliest || t > kLatest) return std::nullopt;
  return Date{t};
}

double secondsSince2001(Date date) {
  auto [whole, nanos] = splitSeconds(date);
  return static_cast<double>(whole - kReferenceDate.time_since_epoch().count()) +
         static_cast<double>(nanos) / 1e9;
}

Date fromSecondsSince2001(double value) {
  if (!std::isfinite(value)) return Date{kReferenceDate};
  // Keep far-off values inside what the clock can represent; a second of
  // margin absorbs the rounding of the double.
  const double earliest = static_cast<double>((kEarliest - kReferenceDate).count()) + 1;
  const double latest = static_cast<double>((kLatest - kReferenceDate).count()) - 1;
  value = std::fmax(earliest, std::fmin(latest, value));
  // Whole seconds and the fraction apart: the nanosecond count of a date
  // has more digits than a double holds.
  double whole = std::floor(value);
  auto fraction = round<nanoseconds>(duration<double>(value - whole));
  return Date{kReferenceDate + seconds{static_cast<int64_t>(whole)}} + fraction;
}

}  // namespace larkvale::Dates
