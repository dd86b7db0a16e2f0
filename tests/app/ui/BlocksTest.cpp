// The rules of the shared blocks, the symbol table and the tints (no pixels
// compared, except where a symbol's holes are the rule).
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

#include "app/ui/Card.h"
#include "app/ui/Chip.h"
#include "app/ui/ClampedLabel.h"
#include "app/ui/PaneHeader.h"
#include "app/ui/Stat.h"
#include "app/ui/SymbolView.h"
#include "app/ui/Symbols.h"
#include "app/ui/Tints.h"

using namespace larkvale::ui;

class BlocksTest : public QObject {
  Q_OBJECT

 private slots:
  void symbolTableIsSortedAndEveryImageLoads() {
    const auto& table = Symbols::table();
    QVERIFY(std::is_sorted(table.begin(), table.end(),
                           [](const auto& a, const auto& b) { return a.name < b.name; }));
    QVERIFY(std::adjacent_find(table.begin(), table.end(), [](const auto& a, const auto& b) {
              return a.name == b.name;
            }) == table.end());
    for (const auto& entry : table) {
      QVERIFY2(!Symbols::bundled(entry.name).pixmap(16).isNull(), entry.name.data());
    }
    // The names the panes, sources and catalogue rows are drawn with.
    for (const char* name :
         {"arrow.down.circle", "square.grid.2x2", "pause.circle", "clock.arrow.circlepath",
          "shippingbox", "checklist", "externaldrive.badge.plus", "desktopcomputer", "gearshape",
          "mug", "dot.radiowaves.up.forward", "arrow.triangle.branch", "bag", "applelogo",
          "questionmark.circle", "app.dashed", "app.fill", "arrow.up.forward.app",
          "square.grid.2x2.fill"}) {
      QVERIFY2(Symbols::knows(name), name);
    }
    QVERIFY(!Symbols::knows("no.such.symbol"));
    QVERIFY(Symbols::icon("no.such.symbol").isNull());
    QVERIFY(Symbols::tinted("no.such.symbol", Qt::red, 16).isNull());
  }

  void symbolsWhoseMeaningMattersIgnoreTheThemesLookalikes() {
    QTemporaryDir themes;
    QDir(themes.path()).mkpath("T/s");
    auto write = [&](const QString& rel, const QByteArray& content) {
      QFile file(themes.path() + "/T/" + rel);
      QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) > 0);
    };
    write("index.theme", "[Icon Theme]\nDirectories=s\n[s]\nSize=16\nType=Scalable\n");
    for (const char* name : {"security-low", "process-stop", "window-close"})
      write(QString("s/%1-symbolic.svg").arg(name), "<svg width='16' height='16'/>");
    const QStringList oldPaths = QIcon::themeSearchPaths();
    const QString oldTheme = QIcon::themeName();
    QIcon::setThemeSearchPaths({themes.path()});
    QIcon::setThemeName("T");
    QCOMPARE(Symbols::icon("xmark").name(), QString("window-close-symbolic"));
    QVERIFY(Symbols::icon("exclamationmark.shield.fill").name().isEmpty());  // not "low security"
    QVERIFY(Symbols::icon("hand.raised").name().isEmpty());                  // not "stop"
    QIcon::setThemeName(oldTheme);
    QIcon::setThemeSearchPaths(oldPaths);
  }

  void tintedSymbolsKeepTheirHoles() {
    QImage image = Symbols::tinted("checkmark.circle.fill", Qt::red, 24).toImage();
    QColor rim = image.pixelColor(12, 3);    // inside the disc, away from the mark
    QColor mark = image.pixelColor(10, 15);  // on the tick
    QCOMPARE(rim.rgb(), QColor(Qt::red).rgb());
    QVERIFY(rim.alpha() > 200);
    QVERIFY(mark.alpha() < 60);
  }

  void chipsTakeTheirTextsWidthAndCutTheRest() {
    Chip plain("Homebrew cask", std::nullopt, Tint::orange);
    Chip symbol("Homebrew cask", QString("mug"), Tint::orange);
    QVERIFY(symbol.sizeHint().width() > plain.sizeHint().width() + Chip::symbolSpacing);
    QCOMPARE(plain.sizeHint().height(), symbol.sizeHint().height());
    plain.resize(plain.sizeHint());
    QCOMPARE(plain.shownText(), QString("Homebrew cask"));
    plain.resize(plain.sizeHint().width() / 2, plain.sizeHint().height());
    QVERIFY(plain.shownText().endsWith(QChar(0x2026)));
  }

  void cardsWithAndWithoutSymbolOrContent() {
    Card bare("Licence and sign-in", std::nullopt, Tint::pink);
    QVERIFY(bare.findChildren<SymbolView*>().isEmpty());
    QCOMPARE(bare.content(), nullptr);
    QCOMPARE(bare.findChild<QLabel*>("cardTitle")->text(), QString("Licence and sign-in"));
    QCOMPARE(bare.findChild<QLabel*>("cardTitle")->textFormat(), Qt::PlainText);
    bare.adjustSize();
    QVERIFY(bare.height() >= 2 * Card::padding);

    auto* body = new QLabel("Body");
    Card full("Settings worth carrying", QString("folder"), Tint::teal, body);
    QCOMPARE(full.findChild<SymbolView*>()->symbol(), QString("folder"));
    QCOMPARE(full.content(), body);
    full.setContent(nullptr);
    QCOMPARE(full.content(), nullptr);
  }

  void subtitlesStopAtThreeLinesAndCaptionsAtOne() {
    QString long_ = QString("A sentence that goes on. ").repeated(30);
    PaneHeader header("Title", long_);
    auto* subtitle = header.findChild<ClampedLabel*>("paneSubtitle");
    QStringList lines = subtitle->linesAt(300);
    QCOMPARE(lines.size(), 3);
    QVERIFY(lines.back().endsWith(QChar(0x2026)));
    QCOMPARE(ClampedLabel("Short", 3).linesAt(300), QStringList{"Short"});

    Stat stat("3", long_, Tint::orange);
    auto* caption = stat.findChild<ClampedLabel*>("statLabel");
    QCOMPARE(caption->linesAt(200).size(), 1);
    Stat empty("", "Caption", Tint::gray);
    QCOMPARE(empty.sizeHint().height(), stat.sizeHint().height());
    QCOMPARE(stat.accessibleName(), "3 " + long_);
  }
};

QTEST_MAIN(BlocksTest)
#include "BlocksTest.moc"
