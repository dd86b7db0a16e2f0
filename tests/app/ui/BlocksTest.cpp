// The rules of the shared blocks, the symbol table and the tints; pixels
// are compared where what is painted is the rule (a symbol's holes, a
// card's tint).
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QToolButton>

#include <algorithm>
#include <cstdlib>

#include "app/ui/Card.h"
#include "app/ui/Chip.h"
#include "app/ui/ClampedLabel.h"
#include "app/ui/PaneHeader.h"
#include "app/ui/Stat.h"
#include "app/ui/SymbolButton.h"
#include "app/ui/SymbolView.h"
#include "app/ui/Symbols.h"
#include "app/ui/Tints.h"
#include "tests/app/ui/SolidIconTheme.h"

using namespace larkvale::ui;

namespace {

bool near(const QColor& a, const QColor& b, int tolerance) {
  return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
         std::abs(a.blue() - b.blue()) <= tolerance;
}

QColor blend(const QColor& under, const QColor& over, double opacity) {
  auto mix = [opacity](int u, int o) { return qRound(u * (1 - opacity) + o * opacity); };
  return QColor(mix(under.red(), over.red()), mix(under.green(), over.green()),
                mix(under.blue(), over.blue()));
}

}  // namespace

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
    // What a GTK or other desktop theme offers under these names draws
    // another meaning: a gear, a spanner, a "stop" sign, a chevron, a light
    // bulb, a shield without its check, a monitor, a local network, a bare
    // question mark that reads as a broken character.
    const QStringList lookalikes = {"security-low",
                                    "process-stop",
                                    "software-update-available",
                                    "application-x-executable",
                                    "document-properties",
                                    "go-bottom",
                                    "go-up",
                                    "go-next",
                                    "dialog-information",
                                    "security-high",
                                    "drive-removable-media",
                                    "network-workgroup",
                                    "dialog-question"};
    QStringList offered;
    for (const QString& name : lookalikes + QStringList{"window-close"})
      offered << name + "-symbolic";
    SolidIconTheme theme(offered);
    QVERIFY(theme.ok());
    QCOMPARE(Symbols::icon("xmark").name(), QString("window-close-symbolic"));
    // The Updates pane and the "Update" chip, the important-update mark, a
    // hold, an app without an icon, a licence-looking file, the checklist's
    // download step, the history's update mark, "Show in File Manager" and
    // the "Couldn't hand off" mark, a remark, the safe-update shield, Copy
    // Settings, what the welcome asks of the internet and an unknown source.
    for (const char* symbol :
         {"arrow.down.circle", "arrow.down.circle.fill", "exclamationmark.shield.fill",
          "hand.raised", "app.fill", "doc.badge.ellipsis", "arrow.down.to.line",
          "arrow.up.circle.fill", "arrow.right.circle", "arrow.right.circle.fill", "info.circle",
          "checkmark.shield", "externaldrive.badge.plus", "network", "questionmark.circle"}) {
      QVERIFY2(Symbols::icon(symbol).pixmap(16).toImage() ==
                   Symbols::bundled(symbol).pixmap(16).toImage(),
               symbol);
    }
  }

  void tintedSymbolsKeepTheirHoles() {
    QImage image = Symbols::tinted("checkmark.circle.fill", Qt::red, 24).toImage();
    QColor rim = image.pixelColor(12, 3);    // inside the disc, away from the mark
    QColor mark = image.pixelColor(10, 15);  // on the tick
    QCOMPARE(rim.rgb(), QColor(Qt::red).rgb());
    QVERIFY(rim.alpha() > 200);
    QVERIFY(mark.alpha() < 60);
  }

  void buttonSymbolsTakeTheTextColourOfEachState() {
    QToolButton button;
    button.setIconSize(QSize(24, 24));
    setButtonSymbol(&button, "checkmark.circle.fill");
    // Set after the symbol: a palette change draws it again.
    QPalette palette = button.palette();
    const QColor active(200, 40, 30), disabled(30, 60, 210);
    palette.setColor(QPalette::Active, QPalette::ButtonText, active);
    palette.setColor(QPalette::Inactive, QPalette::ButtonText, active);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, disabled);
    button.setPalette(palette);
    for (auto [mode, colour] : {std::pair{QIcon::Normal, active}, {QIcon::Disabled, disabled}}) {
      const QImage image = button.icon().pixmap(button.iconSize(), mode).toImage();
      int opaque = 0;
      for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
          const QColor pixel = image.pixelColor(x, y);
          if (pixel.alpha() < 255) continue;
          ++opaque;
          QVERIFY2(near(pixel, colour, 2),
                   qPrintable(pixel.name() + " in mode " + QString::number(mode)));
        }
      }
      QVERIFY(opaque > 20);
    }
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
    // A title that looks like markup is shown as its characters: it takes
    // the room of the literal text, not of bold "Licence".
    const QString markup = "<b>Licence</b> and sign-in";
    Card bare(markup, std::nullopt, Tint::pink);
    QVERIFY(bare.findChildren<SymbolView*>().isEmpty());
    QCOMPARE(bare.content(), nullptr);
    auto* title = bare.findChild<QLabel*>("cardTitle");
    QCOMPARE(title->text(), markup);
    QLabel literal(markup), rendered(markup);
    for (QLabel* label : {&literal, &rendered}) label->setFont(title->font());
    literal.setTextFormat(Qt::PlainText);
    rendered.setTextFormat(Qt::RichText);
    QVERIFY(literal.sizeHint() != rendered.sizeHint());
    QCOMPARE(title->sizeHint(), literal.sizeHint());
    bare.adjustSize();
    QVERIFY(bare.height() >= 2 * Card::padding);

    // What a card with a symbol and content paints: the symbol in the tint
    // before the title, the content below the heading, and the ground in
    // the tint at its fill opacity.
    auto* body = new QLabel("Body");
    QPointer<QLabel> content(body);
    Card full("Settings worth carrying", QString("folder"), Tint::teal, body);
    full.resize(320, full.sizeHint().height());
    const QImage shot = full.grab().toImage();
    auto* symbol = full.findChild<SymbolView*>();
    auto* heading = full.findChild<QLabel*>("cardTitle");
    QVERIFY(symbol->geometry().right() < heading->geometry().left());
    QVERIFY(body->geometry().top() > heading->geometry().bottom());
    const QColor teal = Tints::color(Tint::teal, full.palette());
    int inTint = 0;
    for (int y = symbol->y(); y <= symbol->geometry().bottom(); ++y) {
      for (int x = symbol->x(); x <= symbol->geometry().right(); ++x) {
        if (near(shot.pixelColor(x, y), teal, 40)) ++inTint;
      }
    }
    QVERIFY(inTint > 4);
    const QColor ground = full.palette().color(QPalette::Window);
    const QColor fill = blend(ground, teal, Card::fillOpacity);
    QVERIFY(near(shot.pixelColor(full.width() / 2, full.height() - Card::padding / 2), fill, 3));

    const int withContent = full.sizeHint().height();
    full.setContent(nullptr);
    QCOMPARE(full.content(), nullptr);
    QVERIFY(content.isNull());
    QVERIFY(full.sizeHint().height() < withContent);
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
