#pragma once
// The language of this module's own texts, "en" or "es", and the look-up of
// those texts in the module's own translation tables (compiled in, apart
// from the host app's). The language is chosen once per process, so that
// the menus follow the language the app runs in; a change of the user's
// languages takes effect at the next launch.
#include <QString>
#include <QStringList>

namespace skirting {

// What the choice of language is made from.
struct LanguageSources {
  QStringList localizations;           // what the application itself ships
  QStringList preferredLocalizations;  // those of them the user prefers, best first
  QStringList userLanguages;           // the user's preferred languages, best first
  bool isAppBundle = false;            // the application runs from a bundle of its own
};

// The language code of a locale identifier ("es" for "es-MX" or "es_MX"); the
// identifier itself when it names no known language.
QString languageCode(const QString& identifier);

// "en" or "es". An application that ships localizations of its own (or runs
// from a bundle) speaks its first preferred localization when that is one
// of the two, else English; any other process takes the first of the user's
// languages that is English or Spanish, else English. Pure.
QString chooseLanguage(const LanguageSources& sources);

// The localizations an application ships: English, in which its texts are
// written, and the language of each translation table compiled into it
// under ":/i18n" ("<name>_<language>.qm", where Qt's translation tooling
// puts them). Any thread.
QStringList applicationLocalizations();

// The sources of an application with these localizations for a user with
// these languages. Its preferred localization is the best match: the first
// of the user's languages that one of the localizations equals, else that
// one shares the language code of; with no match, English. Pure.
LanguageSources applicationSources(const QStringList& localizations,
                                   const QStringList& userLanguages);

// The sources of the running process: its application's localizations and
// the user's interface languages from the system locale. So the menus speak
// the language the rest of the application is shown in, never one it lacks.
LanguageSources processLanguageSources();

// chooseLanguage(processLanguageSources()), worked out on first use and kept
// for the life of the process. Any thread.
const QString& uiLanguage();

// The module's text for an English key in the language; the key itself when
// the language's table is missing or lacks it. Any thread.
QString localized(const char* key, const QString& language);

// "Close Window" in the language.
QString closeWindowTitle(const QString& language);
// The help item's title: "<appName> Help" in English.
QString helpTitle(const QString& appName, const QString& language);

}  // namespace skirting
