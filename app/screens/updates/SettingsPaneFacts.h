#pragma once
// What the Settings pane writes about values rather than shows of them: the
// App Store countries it offers with their names, the line on the last check
// (both in the locale the pane passes: that of the app's own texts), and the
// hosts that the texts on network traffic name. Pure functions of their arguments (the ICU data
// and, for dates, the system's time zone); any thread.
#include <QLocale>
#include <QString>

#include <array>
#include <optional>
#include <string_view>

#include "platform/Dates.h"

namespace larkvale::SettingsPaneFacts {

// The App Store countries the pane offers, in the order it lists them.
inline constexpr std::array<std::string_view, 12> countryChoices = {
    "us", "gb", "ca", "au", "ie", "nz", "de", "fr", "es", "it", "nl", "jp"};

// The name the locale's language gives the region with this code ("de" →
// "Germany" in English, "Alemania" in Spanish); the upper-case code when it
// has none.
QString countryName(std::string_view code, const QLocale& locale);

// "Last check: " with the date in the locale's abbreviated date style and
// short time style and "."; "Not checked yet." without a date.
QString lastCheckText(std::optional<Date> date, const QLocale& locale);

// The host of a web address ("https://api.github.com" → "api.github.com").
QString hostOf(std::string_view url);

// The hosts the network texts name: the App Store lookup, the GitHub API,
// and the maker's web host (Larkvale's own update feed and the catalogue).
QString appStoreLookupHost();
QString gitHubAPIHost();
QString makerHost();

}  // namespace larkvale::SettingsPaneFacts
