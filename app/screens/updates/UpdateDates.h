#pragma once
// Dates as the update screens show them, in the user's locale (QLocale's
// default locale, through ICU): an abbreviated date without a time
// ("Dec 5, 2026") and a time told relative to now ("2 hours ago"). Main
// thread; each object keeps its ICU formatter, so keep one around for a list.
#include <QString>

#include <unicode/uversion.h>

#include <memory>

#include "platform/Dates.h"

U_NAMESPACE_BEGIN
class DateFormat;
U_NAMESPACE_END

namespace larkvale {

class AbbreviatedDates {
 public:
  AbbreviatedDates();
  ~AbbreviatedDates();
  AbbreviatedDates(const AbbreviatedDates&) = delete;
  AbbreviatedDates& operator=(const AbbreviatedDates&) = delete;

  // The date in the local time zone; empty when no formatter could be made.
  QString format(Date date) const;

 private:
  std::unique_ptr<icu::DateFormat> format_;
};

namespace RelativeDates {

// The gap from `now` to `date` in the largest whole unit that fits (seconds,
// minutes, hours, days, weeks, months, years), with full unit names:
// "2 hours ago", "in 3 days".
QString format(Date date, Date now);

}  // namespace RelativeDates
}  // namespace larkvale
