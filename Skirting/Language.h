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

// The sources of the running process: the user's interface languages from
// the system locale. A Linux process carries no bundle or localization list.
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
