// The app's style draws the frame's standard icons itself: a window frame
// built under it loads no image format plugin, and the icons it draws show.
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>

#include "app/ui/DrawnIconStyle.h"

using larkvale::ui::DrawnIconStyle;

namespace {

bool imagePluginLoaded() {
  QFile maps(QStringLiteral("/proc/self/maps"));
  if (!maps.open(QIODevice::ReadOnly)) return true;
  return maps.readAll().contains("/imageformats/");
}

int paintedPixels(const QIcon& icon, QIcon::Mode mode) {
  const QImage image = icon.pixmap(QSize(16, 16), mode).toImage();
  int painted = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) painted += qAlpha(image.pixel(x, y)) > 0;
  return painted;
}

}  // namespace

class DrawnIconStyleTest : public QObject {
  Q_OBJECT

 private slots:
  void aFrameBuiltUnderTheStyleLoadsNoImagePlugin() {
    DrawnIconStyle::install();
    QStyle* style = QApplication::style();
    QVERIFY(qobject_cast<DrawnIconStyle*>(style));
    DrawnIconStyle::install();
    QCOMPARE(QApplication::style(), style);

    QMainWindow window;
    window.addToolBar(new QToolBar(&window));
    window.menuBar()->addMenu(QStringLiteral("File"));
    auto* search = new QLineEdit(&window);
    search->setClearButtonEnabled(true);
    search->setText(QStringLiteral("x"));
    window.setCentralWidget(search);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(!imagePluginLoaded());
  }

  void drawnIconsShowAtEverySizeAndTheRestComeFromTheBase() {
    DrawnIconStyle::install();
    QStyle* style = QApplication::style();
    for (auto kind : {QStyle::SP_ToolBarHorizontalExtensionButton,
                      QStyle::SP_ToolBarVerticalExtensionButton, QStyle::SP_LineEditClearButton}) {
      const QIcon icon = style->standardIcon(kind);
      QVERIFY(paintedPixels(icon, QIcon::Normal) > 0);
      QVERIFY(paintedPixels(icon, QIcon::Disabled) > 0);
      QCOMPARE(icon.pixmap(QSize(32, 32)).size(), QSize(32, 32));
    }
    QVERIFY(!DrawnIconStyle::draws(QStyle::SP_DialogOkButton));
  }
};

QTEST_MAIN(DrawnIconStyleTest)
#include "DrawnIconStyleTest.moc"
