#pragma once
// Dates and their two written forms: ISO 8601 text and seconds since
// 2001-01-01 00:00:00 UTC (the reference date of saved metadata).
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace larkvale {

using Date = std::chrono::system_clock::time_point;

namespace Dates {

// "2026-12-05T17:30:42Z": whole seconds (a fraction is dropped), UTC.
std::string iso8601(Date date);

// Reads "YYYY-MM-DDTHH:MM:SSZ". With lenient set it also takes a fraction of
// a second (".123") and an offset ("+02:00", "-0530") in place of "Z".
// Nothing for anything else, including impossible dates such as 02-30.
std::optional<Date> parseIso8601(std::string_view text, bool lenient = false);

double secondsSince2001(Date date);
Date fromSecondsSince2001(double seconds);

}  // namespace Dates
}  // namespace larkvale
