// The module's choice of language and its two compiled tables.
#include <QLocale>
#include <QTest>

#include "Skirting/Language.h"

using skirting::LanguageSources;

class LanguageTest : public QObject {
  Q_OBJECT

 private slots:
  // The application's own localizations decide; a process without any
  // follows the user's languages.
  void chooses_data() {
    QTest::addColumn<QStringList>("localizations");
    QTest::addColumn<QStringList>("preferred");
    QTest::addColumn<QStringList>("user");
    QTest::addColumn<bool>("bundle");
    QTest::addColumn<QString>("expected");

    QStringList both{"en", "es"};
    QTest::newRow("app prefers es-MX")
        << both << QStringList{"es-MX"} << QStringList{} << false << "es";
    QTest::newRow("app prefers fr")
        << both << QStringList{"fr"} << QStringList{"es"} << false << "en";
    QTest::newRow("app prefers de") << both << QStringList{"de"} << QStringList{} << false << "en";
    QTest::newRow("app without preference")
        << both << QStringList{} << QStringList{"es"} << false << "en";
    QTest::newRow("bundle with Base only")
        << QStringList{"Base"} << QStringList{"es_ES"} << QStringList{"en"} << true << "es";
    QTest::newRow("plain process: fr, es, en")
        << QStringList{"Base"} << QStringList{"fr"} << QStringList{"fr-FR", "es-ES", "en-US"}
        << false << "es";
    QTest::newRow("plain process: fr alone")
        << QStringList{} << QStringList{} << QStringList{"fr-FR"} << false << "en";
    QTest::newRow("plain process: de, es")
        << QStringList{} << QStringList{} << QStringList{"de", "es"} << false << "es";
    QTest::newRow("plain process: no languages")
        << QStringList{} << QStringList{} << QStringList{} << false << "en";
  }

  void chooses() {
    QFETCH(QStringList, localizations);
    QFETCH(QStringList, preferred);
    QFETCH(QStringList, user);
    QFETCH(bool, bundle);
    QFETCH(QString, expected);
    QCOMPARE(skirting::chooseLanguage(LanguageSources{localizations, preferred, user, bundle}),
             expected);
  }

  // An application's own localizations decide, whatever the desktop speaks.
  void followsTheApplication_data() {
    QTest::addColumn<QStringList>("localizations");
    QTest::addColumn<QStringList>("user");
    QTest::addColumn<QString>("expected");
    QTest::newRow("English only, Spanish user")
        << QStringList{"en"} << QStringList{"es-ES", "es"} << "en";
    QTest::newRow("Spanish too, Spanish user")
        << QStringList{"en", "es"} << QStringList{"es-ES", "es"} << "es";
    QTest::newRow("Spanish too, French then Mexican Spanish user")
        << QStringList{"en", "es"} << QStringList{"fr-FR", "es_MX"} << "es";
    QTest::newRow("Spanish too, German user")
        << QStringList{"en", "es"} << QStringList{"de-DE"} << "en";
  }

  void followsTheApplication() {
    QFETCH(QStringList, localizations);
    QFETCH(QStringList, user);
    QFETCH(QString, expected);
    QCOMPARE(skirting::chooseLanguage(skirting::applicationSources(localizations, user)), expected);
  }

  // This program, like the app, compiles in no table of its own; its test
  // runs on a Spanish desktop.
  void thisProcessSpeaksEnglish() {
    QVERIFY(QLocale::system().uiLanguages().front().startsWith("es"));
    QCOMPARE(skirting::applicationLocalizations(), QStringList{"en"});
    QCOMPARE(skirting::uiLanguage(), QString("en"));
  }

  void languageCodes() {
    QCOMPARE(skirting::languageCode("es-MX"), QString("es"));
    QCOMPARE(skirting::languageCode("en_GB"), QString("en"));
    QCOMPARE(skirting::languageCode("Base"), QString("Base"));
  }

  void texts() {
    QCOMPARE(skirting::closeWindowTitle("es"), QString("Cerrar ventana"));
    QCOMPARE(skirting::helpTitle("Larkvale", "es"), QString("Ayuda de Larkvale"));
    // A name is never read as a placeholder, and an unknown key answers itself.
    QCOMPARE(skirting::helpTitle("%1 %2", "en"), QString("%1 %2 Help"));
    QCOMPARE(skirting::localized("No such key", "es"), QString("No such key"));
  }
};

QTEST_MAIN(LanguageTest)
#include "LanguageTest.moc"
