#include "kit/model/HistoryEntry.h"

#include <charconv>
#include <cstdint>

#include "kit/model/Hash.h"

namespace larkvale {

std::string HistoryEntry::id() const {
  // Whole seconds and the fraction apart, so that a quarter second reads
  // ".25" and not the nearest double to the nanosecond count.
  int64_t ns =
      std::chrono::duration_cast<std::chrono::nanoseconds>(date.time_since_epoch()).count();
  int64_t whole = ns / 1'000'000'000, rest = ns % 1'000'000'000;
  if (rest < 0) {
    whole -= 1;
    rest += 1'000'000'000;
  }
  double seconds = static_cast<double>(whole) + static_cast<double>(rest) / 1e9;
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, seconds, std::chars_format::fixed);
  std::string text(buf, ec == std::errc{} ? end : buf);
  if (text.find('.') == std::string::npos) text += ".0";
  return bundleID + "|" + to + "|" + text;
}

Json toJson(const HistoryEntry& e) {
  return {{"date", JsonCoding::date(e.date)},
          {"name", e.name},
          {"bundleID", e.bundleID},
          {"from", e.from},
          {"to", e.to},
          {"source", e.source}};
}

template <>
HistoryEntry fromJson<HistoryEntry>(const JsonIn& in) {
  return HistoryEntry{in.date("date"),   in.string("name"), in.string("bundleID"),
                      in.string("from"), in.string("to"),   in.string("source")};
}

}  // namespace larkvale

size_t std::hash<larkvale::HistoryEntry>::operator()(
    const larkvale::HistoryEntry& e) const noexcept {
  return larkvale::hashValues(e.date, e.name, e.bundleID, e.from, e.to, e.source);
}
