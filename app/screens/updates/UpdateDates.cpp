#include "app/screens/updates/UpdateDates.h"

#include <unicode/datefmt.h>
#include <unicode/reldatefmt.h>

#include <QLocale>

#include <cmath>

namespace larkvale {
namespace {

icu::Locale userLocale() {
  return icu::Locale(QLocale().name().toUtf8().constData());
}

QString fromIcu(const icu::UnicodeString& text) {
  return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

UDate icuDate(Date date) {
  using namespace std::chrono;
  return static_cast<UDate>(duration_cast<milliseconds>(date.time_since_epoch()).count());
}

struct Step {
  double seconds;
  URelativeDateTimeUnit unit;
};

// Each unit is used up to the size of the next one.
constexpr Step kSteps[] = {
    {1, UDAT_REL_UNIT_SECOND},         {60, UDAT_REL_UNIT_MINUTE},
    {3600, UDAT_REL_UNIT_HOUR},        {86400, UDAT_REL_UNIT_DAY},
    {7 * 86400, UDAT_REL_UNIT_WEEK},   {30 * 86400, UDAT_REL_UNIT_MONTH},
    {365 * 86400, UDAT_REL_UNIT_YEAR},
};

}  // namespace

AbbreviatedDates::AbbreviatedDates()
    : format_(icu::DateFormat::createDateInstance(icu::DateFormat::kMedium, userLocale())) {}

AbbreviatedDates::~AbbreviatedDates() = default;

QString AbbreviatedDates::format(Date date) const {
  if (!format_) return {};
  icu::UnicodeString text;
  format_->format(icuDate(date), text);
  return fromIcu(text);
}

namespace RelativeDates {

QString format(Date date, Date now) {
  UErrorCode status = U_ZERO_ERROR;
  icu::RelativeDateTimeFormatter formatter(userLocale(), nullptr, UDAT_STYLE_LONG,
                                           UDISPCTX_CAPITALIZATION_NONE, status);
  if (U_FAILURE(status)) return {};
  const double gap = std::chrono::duration<double>(date - now).count();
  const Step* step = &kSteps[0];
  for (const Step& candidate : kSteps) {
    if (std::fabs(gap) >= candidate.seconds) step = &candidate;
  }
  const double whole = std::trunc(gap / step->seconds);
  icu::UnicodeString text;
  formatter.formatNumeric(whole == 0 ? 0.0 : whole, step->unit, text, status);
  return U_FAILURE(status) ? QString() : fromIcu(text);
}

}  // namespace RelativeDates
}  // namespace larkvale
