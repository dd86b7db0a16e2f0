#pragma once
// Dates as the update screens show them, through ICU: an abbreviated date
// without a time ("Dec 5, 2026") and a time told relative to now ("2 hours
// ago"). A date standing alone follows the user's locale (QLocale's
// default); one inside a sentence is in the locale of the app's texts
// (ui::textLocale), so an English sentence never holds a French date. Main
// thread; each object keeps its ICU formatter, so keep one around for a
// list.
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
  enum class Place { alone, inSentence };
  explicit AbbreviatedDates(Place place = Place::alone);
  ~AbbreviatedDates();
  AbbreviatedDates(const AbbreviatedDates&) = delete;
  AbbreviatedDates& operator=(const AbbreviatedDates&) = delete;

  // The date in the local time zone; empty when no formatter could be made.
  QString format(Date date) const;

 private:
  std::unique_ptr<icu::DateFormat> format_;
};

namespace RelativeDates {

// How long before `now` `date` was, in the largest whole unit that fits
// (seconds, minutes, hours, days, weeks, months, years), with full unit
// names, in the locale of the app's texts: "2 hours ago", "0 seconds ago". A date after `now`
// reads as "0 seconds ago", never as a time to come.
QString format(Date date, Date now);

}  // namespace RelativeDates
}  // namespace larkvale
