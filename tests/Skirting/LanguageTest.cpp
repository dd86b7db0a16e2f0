// The module's choice of language and its two compiled tables.
#include <QLocale>
#include <QTest>

#include "Skirting/Language.h"

class LanguageTest : public QObject {
  Q_OBJECT

 private slots:
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
