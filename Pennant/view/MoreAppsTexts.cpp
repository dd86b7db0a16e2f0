#include "Pennant/view/MoreAppsTexts.h"

#include <QDir>
#include <QFileInfo>
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

QStringList moreAppsApplicationLocalizations() {
  QStringList localizations{kSupported[0]};
  const QStringList tables =
      QDir(QStringLiteral(":/i18n")).entryList({QStringLiteral("*.qm")}, QDir::Files);
  for (const QString& table : tables) {
    const QString base = QFileInfo(table).completeBaseName();
    const qsizetype cut = base.indexOf(QLatin1Char('_'));
    if (cut < 0) continue;
    const QString language = base.mid(cut + 1);
    if (!language.isEmpty() && !localizations.contains(language)) localizations << language;
  }
  return localizations;
}

namespace {

QString sameForm(const QString& identifier) {
  return QString(identifier).replace(QLatin1Char('_'), QLatin1Char('-')).toLower();
}

QString bestLocalization(const QStringList& localizations, const QStringList& userLanguages) {
  for (const QString& language : userLanguages) {
    for (const QString& localization : localizations) {
      if (sameForm(localization) == sameForm(language)) return localization;
    }
    for (const QString& localization : localizations) {
      if (moreAppsLanguageCode(localization) == moreAppsLanguageCode(language)) {
        return localization;
      }
    }
  }
  return kSupported[0];
}

}  // namespace

MoreAppsLanguageSources moreAppsApplicationSources(const QStringList& localizations,
                                                   const QStringList& userLanguages) {
  MoreAppsLanguageSources sources;
  sources.localizations = localizations;
  sources.preferredLocalizations = {bestLocalization(localizations, userLanguages)};
  sources.userLanguages = userLanguages;
  return sources;
}

const QString& moreAppsUILanguage() {
  static const QString language = chooseMoreAppsLanguage(moreAppsApplicationSources(
      moreAppsApplicationLocalizations(), QLocale::system().uiLanguages()));
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
