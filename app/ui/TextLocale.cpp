#include "app/ui/TextLocale.h"

#include <QDir>
#include <QFileInfo>

namespace larkvale::ui {
namespace {

QLocale::Language languageOf(const QString& identifier) {
  return QLocale(identifier).language();
}

QStringList shippedLanguages() {
  QStringList shipped{QStringLiteral("en")};
  const QStringList tables =
      QDir(QStringLiteral(":/i18n")).entryList({QStringLiteral("*.qm")}, QDir::Files);
  for (const QString& table : tables) {
    const QString base = QFileInfo(table).completeBaseName();
    const qsizetype cut = base.indexOf(QLatin1Char('_'));
    if (cut >= 0 && cut + 1 < base.size()) shipped << base.mid(cut + 1);
  }
  return shipped;
}

}  // namespace

QLocale textLocaleFor(const QStringList& shipped, const QStringList& userLanguages) {
  for (const QString& wanted : userLanguages) {
    const QLocale::Language language = languageOf(wanted);
    if (language == QLocale::C || language == QLocale::AnyLanguage) continue;
    for (const QString& have : shipped) {
      // The user's own variant of a shipped language ("es-MX" for "es").
      if (languageOf(have) == language) return QLocale(wanted);
    }
  }
  return QLocale(QLocale::English, QLocale::UnitedStates);
}

const QLocale& textLocale() {
  static const QLocale locale = textLocaleFor(shippedLanguages(), QLocale::system().uiLanguages());
  return locale;
}

}  // namespace larkvale::ui
