#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

#include <algorithm>
#include <array>
#include <bitset>
#include <cmath>
#include <iterator>
#include <memory>

#include "kit/sources/Appcast.h"
#include "kit/sources/AppcastText.h"
#include "platform/FileSystem.h"
#include "platform/PropertyList.h"
#include "platform/Strings.h"

namespace larkvale {
namespace {

constexpr const char* kPatterns[] = {
    "EEE, dd MMM yyyy HH:mm:ss Z", "EEE, d MMM yyyy HH:mm:ss Z", "EEE, dd MMM yyyy HH:mm:ss zzz",
    "dd MMM yyyy HH:mm:ss Z",      "yyyy-MM-dd'T'HH:mm:ssZ",     "yyyy-MM-dd",
};

std::unique_ptr<icu::SimpleDateFormat> makeFormat(const char* pattern) {
  UErrorCode status = U_ZERO_ERROR;
  auto format = std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString::fromUTF8(pattern),
                                                        icu::Locale("en_US_POSIX"), status);
  if (U_FAILURE(status)) return nullptr;
  format->adoptTimeZone(icu::TimeZone::createTimeZone("GMT"));
  // Strict: impossible dates such as 31 Feb are refused, not rolled over.
  format->setLenient(false);
  return format;
}

// Dates are kept in nanoseconds since 1970, about 292 years either way; a
// date beyond that is none this program can hold.
constexpr long kRepresentableDays = 106000;
constexpr double kRepresentableMillis = kRepresentableDays * 86400000.0;

int digits(std::string_view s, size_t at, size_t count) {
  if (at + count > s.size()) return -1;
  int value = 0;
  for (size_t i = at; i < at + count; ++i) {
    if (s[i] < '0' || s[i] > '9') return -1;
    value = value * 10 + (s[i] - '0');
  }
  return value;
}

int monthNumber(std::string_view name) {
  static constexpr std::string_view kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                 "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  for (int m = 0; m < 12; ++m)
    if (name == kMonths[m]) return m + 1;
  return 0;
}

bool isWeekday(std::string_view name) {
  for (std::string_view day : {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"})
    if (name == day) return true;
  return false;
}

std::optional<Date> makeDate(int y, int mo, int d, int h, int mi, int sec, int offsetMinutes) {
  using namespace std::chrono;
  const year_month_day ymd{year{y}, month{static_cast<unsigned>(mo)},
                           day{static_cast<unsigned>(d)}};
  if (y < 1000 || !ymd.ok() || h > 23 || mi > 59 || sec > 59) return std::nullopt;
  const auto days = sys_days(ymd).time_since_epoch().count();
  if (days < -kRepresentableDays || days > kRepresentableDays) return std::nullopt;
  return Date(sys_days(ymd)) + hours(h) + minutes(mi - offsetMinutes) + seconds(sec);
}

// The two shapes nearly every feed uses, read without ICU when they are
// written cleanly: "Tue, 04 Mar 2025 10:00:00 +0000" (or a one-digit day, or
// GMT, or GMT with whole hours) and "2025-03-04". Anything else, including out-of-range fields, is
// left to the formatters, which give the same dates for these shapes.
std::optional<Date> readCommonShapes(std::string_view s) {
  if (s.size() == 10 && s[4] == '-' && s[7] == '-') {
    const int y = digits(s, 0, 4), mo = digits(s, 5, 2), d = digits(s, 8, 2);
    if (y < 0 || mo < 1 || d < 1) return std::nullopt;
    return makeDate(y, mo, d, 0, 0, 0, 0);
  }
  if (s.size() < 28 || !isWeekday(s.substr(0, 3)) || s.substr(3, 2) != ", ") return std::nullopt;
  const size_t dayLength = s[6] == ' ' ? 1 : 2;
  const int d = digits(s, 5, dayLength);
  size_t at = 5 + dayLength;
  if (d < 1 || s.size() < at + 21 || s[at] != ' ' || s[at + 4] != ' ' || s[at + 9] != ' ')
    return std::nullopt;
  const int mo = monthNumber(s.substr(at + 1, 3)), y = digits(s, at + 5, 4);
  at += 10;
  const int h = digits(s, at, 2), mi = digits(s, at + 3, 2), sec = digits(s, at + 6, 2);
  if (mo == 0 || y < 0 || h < 0 || mi < 0 || sec < 0 || s[at + 2] != ':' || s[at + 5] != ':' ||
      s[at + 8] != ' ')
    return std::nullopt;
  const std::string_view zone = s.substr(at + 9);
  int offset = 0;
  if (zone.size() == 5 && (zone[0] == '+' || zone[0] == '-')) {
    const int zh = digits(zone, 1, 2), zm = digits(zone, 3, 2);
    if (zh < 0 || zh > 14 || zm < 0 || zm > 59) return std::nullopt;
    offset = (zone[0] == '-' ? -1 : 1) * (zh * 60 + zm);
  } else if (zone.size() >= 5 && zone.size() <= 6 && zone.starts_with("GMT") &&
             (zone[3] == '+' || zone[3] == '-')) {
    // "GMT+2", "GMT-05": whole hours, as some feeds write the zone.
    const int zh = digits(zone, 4, zone.size() - 4);
    if (zh < 0 || zh > 14) return std::nullopt;
    offset = (zone[3] == '-' ? -1 : 1) * zh * 60;
  } else if (zone != "GMT") {
    return std::nullopt;
  }
  return makeDate(y, mo, d, h, mi, sec, offset);
}

bool isAsciiLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool isAsciiDigit(char c) {
  return c >= '0' && c <= '9';
}

// Whether an English month's abbreviation stands anywhere in the text, in
// any case: no formatter reads a month name without one.
bool mentionsMonth(std::string_view s) {
  for (size_t i = 0; i + 3 <= s.size(); ++i) {
    if (!isAsciiLetter(s[i])) continue;
    for (std::string_view month :
         {"jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"})
      if (Strings::equalsIgnoringAsciiCase(s.substr(i, 3), month)) return true;
  }
  return false;
}

using Patterns = std::bitset<std::size(kPatterns)>;

// The patterns that may read the text, by a look at it, so that a date is
// handed to the one formatter that reads it rather than to each in turn. A
// pattern left out is one its formatter refuses the text for: the four that
// name the month want an English month name; the weekday ones want a letter
// first, the others a digit; "dd" wants two digits where "d" reads the same
// day from any number ("2E1" included: ICU reads it as 20). Text beyond ASCII
// gets every pattern: ICU folds case, so "ſep" is September to it.
Patterns patternsFor(std::string_view s) {
  Patterns all;
  all.set();
  if (std::any_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; }))
    return all;
  const bool letterFirst = isAsciiLetter(s.front());
  if (!letterFirst && !isAsciiDigit(s.front())) return all;
  Patterns out = letterFirst ? Patterns("000111") : Patterns("111000");
  if (!mentionsMonth(s)) out &= Patterns("110000");
  const auto day = std::find_if(s.begin(), s.end(), isAsciiDigit);
  if (std::find_if_not(day, s.end(), isAsciiDigit) - day < 2) out.reset(0);
  return out;
}

}  // namespace

namespace {

// Building a formatter parses its pattern and loads locale and calendar
// data, far more than a parse costs; each thread keeps its six, made as they
// are first needed.
class Formats {
 public:
  icu::SimpleDateFormat* operator[](size_t i) {
    if (!tried_[i]) {
      byPattern_[i] = makeFormat(kPatterns[i]);
      tried_[i] = true;
    }
    return byPattern_[i].get();
  }

 private:
  std::array<std::unique_ptr<icu::SimpleDateFormat>, std::size(kPatterns)> byPattern_;
  std::array<bool, std::size(kPatterns)> tried_{};
};

}  // namespace

std::optional<Date> Appcast::parseFeedDate(std::string_view raw) {
  const std::string_view trimmed = FeedText::trimmed(raw);
  if (trimmed.empty() || trimmed.size() > 200) return std::nullopt;
  if (auto date = readCommonShapes(trimmed)) return date;
  const icu::UnicodeString text = icu::UnicodeString::fromUTF8(
      icu::StringPiece(trimmed.data(), static_cast<int32_t>(trimmed.size())));
  const Patterns candidates = patternsFor(trimmed);
  if (candidates.none()) return std::nullopt;
  thread_local Formats formats;
  for (size_t i = 0; i < std::size(kPatterns); ++i) {
    if (!candidates[i]) continue;
    icu::SimpleDateFormat* format = formats[i];
    if (!format) continue;
    icu::ParsePosition position(0);
    const UDate millis = format->parse(text, position);
    if (position.getErrorIndex() >= 0 || position.getIndex() != text.length() ||
        !std::isfinite(millis))
      continue;
    if (std::fabs(millis) > kRepresentableMillis) return std::nullopt;
    const auto since1970 = std::chrono::milliseconds(static_cast<int64_t>(millis));
    return Date(std::chrono::duration_cast<Date::duration>(since1970));
  }
  return std::nullopt;
}

std::string Appcast::versionTriple(std::string_view text) {
  std::string out;
  for (int part = 0; part < 3; ++part) {
    uint64_t value = 0;
    size_t digits = 0;
    while (!text.empty() && text.front() >= '0' && text.front() <= '9') {
      if (digits++ < 9) value = value * 10 + static_cast<uint64_t>(text.front() - '0');
      text.remove_prefix(1);
    }
    if (part > 0) out += '.';
    out += std::to_string(value);
    const size_t dot = text.find('.');
    text = dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
  }
  return out;
}

std::optional<std::string> Appcast::osVersionString(
    const std::filesystem::path& systemVersionPlist) {
  // No other version stands in: the kernel's numbers, say, are no system
  // version that feeds write their minimums in, and would refuse their items.
  auto bytes = FileSystem::readFile(systemVersionPlist, 1 << 20);
  auto plist = bytes ? PropertyList::parse(*bytes) : std::nullopt;
  if (!plist || !plist->dict()) return std::nullopt;
  auto it = plist->dict()->find("ProductVersion");
  if (it == plist->dict()->end() || !it->second.string() ||
      it->second.string()->find_first_of("0123456789") == std::string::npos)
    return std::nullopt;
  return versionTriple(*it->second.string());
}

std::optional<std::string> Appcast::osVersionString() {
  return osVersionString(kSystemVersionPlist);
}

}  // namespace larkvale
