#include "Skirting/Language.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTranslator>

#include <algorithm>
#include <array>
#include <memory>

namespace skirting {

namespace {

const std::array<QString, 2> kSupported = {QStringLiteral("en"), QStringLiteral("es")};

bool supported(const QString& code) {
  return std::find(kSupported.begin(), kSupported.end(), code) != kSupported.end();
}

// The compiled tables, one per supported language, loaded once. A table
// that is missing from the resources stays empty and every key answers
// itself.
const QTranslator& table(const QString& language) {
  static const auto tables = [] {
    std::array<std::unique_ptr<QTranslator>, kSupported.size()> loaded;
    for (size_t i = 0; i < kSupported.size(); ++i) {
      loaded[i] = std::make_unique<QTranslator>();
      (void)loaded[i]->load(QStringLiteral(":/skirting/i18n/skirting_") + kSupported[i]);
    }
    return loaded;
  }();
  for (size_t i = 0; i < kSupported.size(); ++i) {
    if (kSupported[i] == language) return *tables[i];
  }
  return *tables[0];
}

}  // namespace

QString languageCode(const QString& identifier) {
  QLocale locale(identifier);
  if (locale.language() == QLocale::C || locale.language() == QLocale::AnyLanguage) {
    return identifier;
  }
  return QLocale::languageToCode(locale.language());
}

QString chooseLanguage(const LanguageSources& sources) {
  bool ownLocalizations = std::any_of(sources.localizations.begin(), sources.localizations.end(),
                                      [](const QString& l) { return l != QLatin1String("Base"); });
  if (ownLocalizations || sources.isAppBundle) {
    if (sources.preferredLocalizations.isEmpty()) return kSupported[0];
    QString code = languageCode(sources.preferredLocalizations.front());
    return supported(code) ? code : kSupported[0];
  }
  for (const QString& language : sources.userLanguages) {
    QString code = languageCode(language);
    if (supported(code)) return code;
  }
  return kSupported[0];
}

QStringList applicationLocalizations() {
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
      if (languageCode(localization) == languageCode(language)) return localization;
    }
  }
  return kSupported[0];
}

}  // namespace

LanguageSources applicationSources(const QStringList& localizations,
                                   const QStringList& userLanguages) {
  LanguageSources sources;
  sources.localizations = localizations;
  sources.preferredLocalizations = {bestLocalization(localizations, userLanguages)};
  sources.userLanguages = userLanguages;
  return sources;
}

LanguageSources processLanguageSources() {
  return applicationSources(applicationLocalizations(), QLocale::system().uiLanguages());
}

const QString& uiLanguage() {
  static const QString language = chooseLanguage(processLanguageSources());
  return language;
}

QString localized(const char* key, const QString& language) {
  QString text = table(language).translate("Skirting", key);
  return text.isEmpty() ? QString::fromUtf8(key) : text;
}

QString closeWindowTitle(const QString& language) {
  return localized(QT_TRANSLATE_NOOP("Skirting", "Close Window"), language);
}

QString helpTitle(const QString& appName, const QString& language) {
  return localized(QT_TRANSLATE_NOOP("Skirting", "%1 Help"), language).arg(appName);
}

}  // namespace skirting
