#pragma once
// The catalogue's own texts, in English or Spanish, and the language they
// are shown in. The language is chosen once per process with the same rule
// as the standard menus' (each module keeps its own copy); the tables are
// compiled into this library, apart from the host app's.
#include <QString>
#include <QStringList>
#include <QUrl>

#include "Pennant/MoreAppsFeed.h"

namespace pennant {

struct MoreAppsLanguageSources {
  QStringList localizations;           // what the application itself ships
  QStringList preferredLocalizations;  // those of them the user prefers, best first
  QStringList userLanguages;           // the user's preferred languages, best first
  bool isAppBundle = false;            // the application runs from a bundle of its own
};

// The language code of a locale identifier ("es" for "es-MX"); the
// identifier itself when it names no known language.
QString moreAppsLanguageCode(const QString& identifier);

// "en" or "es": an application with localizations of its own (or a bundle)
// speaks its first preferred localization when supported, else English; any
// other process the first of the user's languages that is supported, else
// English. Pure.
QString chooseMoreAppsLanguage(const MoreAppsLanguageSources& sources);

// The localizations an application ships: English, in which its texts are
// written, and the language of each translation table compiled into it
// under ":/i18n" ("<name>_<language>.qm"). Any thread.
QStringList moreAppsApplicationLocalizations();

// An application with these localizations, for a user with these
// languages: its preferred localization is the first of the user's
// languages that a localization equals, else shares the language code
// of; with no match, English. Pure.
MoreAppsLanguageSources moreAppsApplicationSources(const QStringList& localizations,
                                                   const QStringList& userLanguages);

// The running process's choice, from its application's localizations and
// the system locale's interface languages, so that the catalogue speaks the
// application's language; made on first use and kept. Any thread.
const QString& moreAppsUILanguage();

// The text for an English key in the language; the key itself when the
// language has no table or the table lacks it.
QString moreAppsText(const char* key, const QString& language);

// "More Mac Apps": the catalogue window's title.
QString moreAppsTitle(const QString& language);
// The list's footer: where the links open, for a direct or an App Store build.
QString moreAppsFooterText(bool isDirect, const QString& language);
// What a row is announced as: "Opens <name> in the App Store", "… on <maker's
// host>" or "… in your browser", by where the entry's link points.
QString moreAppsRowLabel(const MoreAppsEntry& entry, const QString& language);
// "See all Mac apps on <maker's host>".
QString seeAllMacAppsTitle(const QString& language);

// The maker's page of all its Mac apps, tracked with `utmSource` when that
// passes the slug rule, else with "mac-app".
QUrl seeAllMacAppsURL(const QString& utmSource);

}  // namespace pennant
