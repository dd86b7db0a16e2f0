// Button symbols follow the colour of the button's text, on dark palettes
// too, and are drawn again when the palette changes.
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "app/ui/SymbolButton.h"

using larkvale::ui::setButtonSymbol;

namespace {

QPalette withText(const QColor& window, const QColor& text) {
  QPalette palette;
  palette.setColor(QPalette::Window, window);
  palette.setColor(QPalette::Button, window);
  palette.setColor(QPalette::WindowText, text);
  palette.setColor(QPalette::ButtonText, text);
  palette.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(128, 128, 128));
  return palette;
}

// Some pixels are painted, and every clearly painted one is near the colour.
bool drawnIn(const QIcon& icon, QIcon::Mode mode, const QColor& colour) {
  const QImage image =
      icon.pixmap(QSize(16, 16), mode).toImage().convertToFormat(QImage::Format_ARGB32);
  int painted = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QRgb pixel = image.pixel(x, y);
      if (qAlpha(pixel) < 200) continue;
      ++painted;
      if (std::abs(qRed(pixel) - colour.red()) > 40 ||
          std::abs(qGreen(pixel) - colour.green()) > 40 ||
          std::abs(qBlue(pixel) - colour.blue()) > 40) {
        return false;
      }
    }
  }
  return painted > 0;
}

}  // namespace

class SymbolButtonTest : public QObject {
  Q_OBJECT

 private slots:
  void symbolsFollowTheButtonsTextColour() {
    const QColor light(236, 236, 236);
    const QColor dark(20, 20, 20);
    QPushButton push(QStringLiteral("Export PDF…"));
    QToolButton tool;
    tool.setAutoRaise(true);
    for (QAbstractButton* button :
         {static_cast<QAbstractButton*>(&push), static_cast<QAbstractButton*>(&tool)}) {
      button->setPalette(withText(QColor(30, 30, 30), light));
      setButtonSymbol(button, QStringLiteral("doc.richtext"));
      QVERIFY(drawnIn(button->icon(), QIcon::Normal, light));
      QVERIFY(drawnIn(button->icon(), QIcon::Disabled, QColor(128, 128, 128)));

      // A change of theme draws it again.
      button->setPalette(withText(QColor(250, 250, 250), dark));
      QVERIFY(drawnIn(button->icon(), QIcon::Normal, dark));

      // A second symbol replaces the first and keeps following the palette.
      setButtonSymbol(button, QStringLiteral("folder"));
      QCOMPARE(button->findChildren<QObject*>(QStringLiteral("symbolTint")).size(), 1);
      button->setPalette(withText(QColor(30, 30, 30), light));
      QVERIFY(drawnIn(button->icon(), QIcon::Normal, light));
    }
  }
};

QTEST_MAIN(SymbolButtonTest)
#include "SymbolButtonTest.moc"
