#include "app/screens/updates/UpdateDates.h"

#include <unicode/datefmt.h>
#include <unicode/reldatefmt.h>

#include <QLocale>

#include "app/ui/TextLocale.h"

#include <algorithm>
#include <cmath>

namespace larkvale {
namespace {

icu::Locale userLocale() {
  return icu::Locale(QLocale().name().toUtf8().constData());
}

// A date inside one of the app's sentences is in the sentences' language
// (ui::textLocale is never the C locale).
icu::Locale sentenceLocale() {
  return icu::Locale(ui::textLocale().name().toUtf8().constData());
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
  UDateRelativeUnit unit;
};

// Each unit is used up to the size of the next one.
constexpr Step kSteps[] = {
    {1, UDAT_RELATIVE_SECONDS},         {60, UDAT_RELATIVE_MINUTES},
    {3600, UDAT_RELATIVE_HOURS},        {86400, UDAT_RELATIVE_DAYS},
    {7 * 86400, UDAT_RELATIVE_WEEKS},   {30 * 86400, UDAT_RELATIVE_MONTHS},
    {365 * 86400, UDAT_RELATIVE_YEARS},
};

}  // namespace

AbbreviatedDates::AbbreviatedDates(Place place)
    : format_(icu::DateFormat::createDateInstance(
          icu::DateFormat::kMedium, place == Place::inSentence ? sentenceLocale() : userLocale())) {
}

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
  icu::RelativeDateTimeFormatter formatter(sentenceLocale(), nullptr, UDAT_STYLE_LONG,
                                           UDISPCTX_CAPITALIZATION_NONE, status);
  if (U_FAILURE(status)) return {};
  // Told as past even when `date` is a moment ahead (a clock set back, or a
  // report stamped just after the screen read the time): "in 0 seconds"
  // after a check would be nonsense.
  const double gap = std::max(0.0, std::chrono::duration<double>(now - date).count());
  const Step* step = &kSteps[0];
  for (const Step& candidate : kSteps) {
    if (gap >= candidate.seconds) step = &candidate;
  }
  icu::UnicodeString text;
  formatter.format(std::trunc(gap / step->seconds), UDAT_DIRECTION_LAST, step->unit, text, status);
  return U_FAILURE(status) ? QString() : fromIcu(text);
}

}  // namespace RelativeDates
}  // namespace larkvale
