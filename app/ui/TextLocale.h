#pragma once
// The locale of the language the app's own texts are shown in. Dates and
// place names that stand inside one of its sentences are written in it, so
// that an English sentence never carries a French date or a Spanish country
// name. The app ships English, plus any translation table compiled in under
// ":/i18n" ("<name>_<language>.qm", as Qt's tooling names them); today there
// is none, so this is English whatever the desktop speaks.
#include <QLocale>
#include <QStringList>

namespace larkvale::ui {

// The locale of the first of the user's languages ("fr-FR", "es_ES" …) whose
// language the app ships; English when it ships none of them. Pure.
QLocale textLocaleFor(const QStringList& shipped, const QStringList& userLanguages);

// textLocaleFor over the app's compiled tables and the desktop's interface
// languages, worked out on first use and kept for the process. Any thread.
const QLocale& textLocale();

}  // namespace larkvale::ui
