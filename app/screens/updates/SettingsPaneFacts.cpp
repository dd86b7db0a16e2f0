#include "app/screens/updates/SettingsPaneFacts.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QUrl>

#include <unicode/datefmt.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>
#include <chrono>
#include <memory>

#include "Pennant/MoreAppsHosts.h"
#include "kit/sources/ServiceHosts.h"

namespace larkvale::SettingsPaneFacts {
namespace {

// The ICU locale of a Qt locale; the C locale reads as English.
icu::Locale icuLocale(const QLocale& locale) {
  if (locale.language() == QLocale::C) return icu::Locale("en");
  UErrorCode status = U_ZERO_ERROR;
  icu::Locale out = icu::Locale::forLanguageTag(locale.bcp47Name().toStdString(), status);
  return U_SUCCESS(status) ? out : icu::Locale("en");
}

QString fromIcu(const icu::UnicodeString& text) {
  return QString(reinterpret_cast<const QChar*>(text.getBuffer()), text.length());
}

}  // namespace

QString countryName(std::string_view code, const QLocale& locale) {
  const QString upper = QString::fromUtf8(code.data(), qsizetype(code.size())).toUpper();
  icu::Locale region("", upper.toStdString().c_str());
  icu::UnicodeString name;
  region.getDisplayCountry(icuLocale(locale), name);
  QString shown = fromIcu(name);
  return shown.isEmpty() ? upper : shown;
}

QString lastCheckText(std::optional<Date> date, const QLocale& locale) {
  if (!date) return QCoreApplication::translate("SettingsPane", "Not checked yet.");
  std::unique_ptr<icu::DateFormat> format(icu::DateFormat::createDateTimeInstance(
      icu::DateFormat::kMedium, icu::DateFormat::kShort, icuLocale(locale)));
  const double millis = double(
      std::chrono::duration_cast<std::chrono::milliseconds>(date->time_since_epoch()).count());
  QString when;
  if (format) {
    icu::UnicodeString text;
    format->format(millis, text);
    when = fromIcu(text);
  } else {
    when = locale.toString(QDateTime::fromMSecsSinceEpoch(qint64(millis)), QLocale::ShortFormat);
  }
  return QCoreApplication::translate("SettingsPane", "Last check: %1.").arg(when);
}

QString hostOf(std::string_view url) {
  return QUrl(QString::fromUtf8(url.data(), qsizetype(url.size()))).host();
}

QString appStoreLookupHost() {
  return hostOf(ServiceHosts{}.appStoreLookup);
}

QString gitHubAPIHost() {
  return hostOf(ServiceHosts{}.gitHubAPI);
}

QString makerHost() {
  return QString::fromUtf8(pennant::MoreAppsHosts::maker.data(),
                           qsizetype(pennant::MoreAppsHosts::maker.size()));
}

}  // namespace larkvale::SettingsPaneFacts
