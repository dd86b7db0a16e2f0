#include "Pennant/view/MoreAppsTexts.h"

#include <QLocale>
#include <QTranslator>

#include <algorithm>
#include <array>
#include <memory>

#include "Pennant/MoreAppsHosts.h"
#include "Pennant/MoreAppsValidator.h"

namespace pennant {

namespace {

const std::array<QString, 2> kSupported = {QStringLiteral("en"), QStringLiteral("es")};

bool supported(const QString& code) {
  return std::find(kSupported.begin(), kSupported.end(), code) != kSupported.end();
}

const QTranslator& table(const QString& language) {
  static const auto tables = [] {
    std::array<std::unique_ptr<QTranslator>, kSupported.size()> loaded;
    for (size_t i = 0; i < kSupported.size(); ++i) {
      loaded[i] = std::make_unique<QTranslator>();
      (void)loaded[i]->load(QStringLiteral(":/pennant/i18n/pennant_") + kSupported[i]);
    }
    return loaded;
  }();
  for (size_t i = 0; i < kSupported.size(); ++i) {
    if (kSupported[i] == language) return *tables[i];
  }
  return *tables[0];
}

QString makerHost() {
  return QString::fromUtf8(MoreAppsHosts::maker);
}

}  // namespace

QString moreAppsLanguageCode(const QString& identifier) {
  QLocale locale(identifier);
  if (locale.language() == QLocale::C || locale.language() == QLocale::AnyLanguage) {
    return identifier;
  }
  return QLocale::languageToCode(locale.language());
}

QString chooseMoreAppsLanguage(const MoreAppsLanguageSources& sources) {
  bool ownLocalizations = std::any_of(sources.localizations.begin(), sources.localizations.end(),
                                      [](const QString& l) { return l != QLatin1String("Base"); });
  if (ownLocalizations || sources.isAppBundle) {
    if (sources.preferredLocalizations.isEmpty()) return kSupported[0];
    QString code = moreAppsLanguageCode(sources.preferredLocalizations.front());
    return supported(code) ? code : kSupported[0];
  }
  for (const QString& language : sources.userLanguages) {
    QString code = moreAppsLanguageCode(language);
    if (supported(code)) return code;
  }
  return kSupported[0];
}

const QString& moreAppsUILanguage() {
  static const QString language = [] {
    MoreAppsLanguageSources sources;
    sources.userLanguages = QLocale::system().uiLanguages();
    return chooseMoreAppsLanguage(sources);
  }();
  return language;
}

QString moreAppsText(const char* key, const QString& language) {
  QString text = table(language).translate("MoreApps", key);
  return text.isEmpty() ? QString::fromUtf8(key) : text;
}

QString moreAppsTitle(const QString& language) {
  return moreAppsText(QT_TRANSLATE_NOOP("MoreApps", "More Mac Apps"), language);
}

QString moreAppsFooterText(bool isDirect, const QString& language) {
  if (!isDirect) {
    return moreAppsText(QT_TRANSLATE_NOOP("MoreApps", "Each one opens in the App Store."),
                        language);
  }
  return moreAppsText(
             QT_TRANSLATE_NOOP("MoreApps",
                               "App Store apps open in the App Store; the others open on %1."),
             language)
      .arg(makerHost());
}

QString moreAppsRowLabel(const MoreAppsEntry& entry, const QString& language) {
  QString name = QString::fromStdString(entry.localizedName(language.toStdString()));
  if (entry.isAppStore()) {
    return moreAppsText(QT_TRANSLATE_NOOP("MoreApps", "Opens %1 in the App Store"), language)
        .arg(name);
  }
  if (entry.isMakerSite()) {
    return moreAppsText(QT_TRANSLATE_NOOP("MoreApps", "Opens %1 on %2"), language)
        .arg(name, makerHost());
  }
  return moreAppsText(QT_TRANSLATE_NOOP("MoreApps", "Opens %1 in your browser"), language)
      .arg(name);
}

QString seeAllMacAppsTitle(const QString& language) {
  return moreAppsText(QT_TRANSLATE_NOOP("MoreApps", "See all Mac apps on %1"), language)
      .arg(makerHost());
}

QUrl seeAllMacAppsURL(const QString& utmSource) {
  QString source =
      MoreAppsValidator::validSlug(utmSource.toStdString()) ? utmSource : QStringLiteral("mac-app");
  return QUrl(QStringLiteral("https://") + makerHost() + QStringLiteral("/mac?utm_source=") +
                  source +
                  QStringLiteral("&utm_medium=mac-app&utm_campaign=more-apps&utm_content=all"),
              QUrl::StrictMode);
}

}  // namespace pennant
