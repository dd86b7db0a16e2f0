// Application icons: which file a bundle names, reading it, the cache and
// the fallbacks.
#include <QBuffer>
#include <QPixmapCache>
#include <QSignalSpy>
#include <QTest>

#include "app/ui/AppIcon.h"
#include "platform/PropertyList.h"
#include "tests/app/ui/SolidIconTheme.h"
#include "tests/support/TempDir.h"

using namespace larkvale::ui;
using larkvale::PlistDict;
using larkvale::test::TempDir;
namespace fs = std::filesystem;

namespace {

fs::path bundleNaming(const TempDir& temp, const std::string& name, const std::string& iconFile) {
  PlistDict info{{"CFBundleIconFile", iconFile}};
  temp.write(name + "/Contents/Info.plist", larkvale::PropertyList::toXml(info));
  return temp / name;
}

QImage square(int size, QColor color) {
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(color);
  return image;
}

// An icon file with one PNG image per entry, as icon files hold their sizes.
void writeIcns(const TempDir& temp, const std::string& rel, const QList<QImage>& images) {
  auto bigEndian = [](quint32 n) {
    const char bytes[] = {char(n >> 24), char(n >> 16), char(n >> 8), char(n)};
    return QByteArray(bytes, 4);
  };
  QByteArray entries;
  for (const QImage& image : images) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    const char* type = image.width() <= 32 ? "icp5" : image.width() <= 64 ? "icp6" : "ic08";
    entries += QByteArray(type) + bigEndian(quint32(png.size() + 8)) + png;
  }
  QByteArray file = QByteArray("icns") + bigEndian(quint32(entries.size() + 8)) + entries;
  temp.write(rel, file.toStdString());
}

void paint(AppIcon& icon) {
  icon.show();
  QVERIFY(QTest::qWaitForWindowExposed(&icon));
  icon.repaint();
}

}  // namespace

class AppIconTest : public QObject {
  Q_OBJECT

 private slots:
  void iconFileNamedByTheBundle() {
    TempDir temp;
    auto app = bundleNaming(temp, "A.app", "AppIcon");
    QCOMPARE(AppIcons::iconFile(app), app / "Contents/Resources/AppIcon.icns");
    auto png = bundleNaming(temp, "B.app", "icon.png");
    QCOMPARE(AppIcons::iconFile(png), png / "Contents/Resources/icon.png");
    QCOMPARE(AppIcons::iconFile(bundleNaming(temp, "C.app", "../../../etc/passwd")), std::nullopt);
    QCOMPARE(AppIcons::iconFile(bundleNaming(temp, "D.app", "/etc/passwd")), std::nullopt);
    QCOMPARE(AppIcons::iconFile(bundleNaming(temp, "E.app", "")), std::nullopt);
    temp.write("G.app/Contents/Info.plist", "not a property list");
    QCOMPARE(AppIcons::iconFile(temp / "G.app"), std::nullopt);
  }

  void loadsTheBestImageOfTheFile() {
    TempDir temp;
    auto app = bundleNaming(temp, "A.app", "AppIcon");
    writeIcns(temp, "A.app/Contents/Resources/AppIcon.icns",
              {square(32, Qt::red), square(64, Qt::green), square(256, Qt::blue)});
    QImage small = AppIcons::load(app, 40);
    QCOMPARE(small.size(), QSize(40, 40));
    QCOMPARE(small.pixelColor(20, 20).rgb(), QColor(Qt::green).rgb());
    QCOMPARE(AppIcons::load(app, 512).pixelColor(5, 5).rgb(), QColor(Qt::blue).rgb());

    auto broken = bundleNaming(temp, "B.app", "Broken");
    temp.write("B.app/Contents/Resources/Broken.icns", "garbage");
    QVERIFY(AppIcons::load(broken, 32).isNull());
  }

  void readsOnceThenDrawsFromTheCache() {
    QPixmapCache::clear();
    TempDir temp;
    auto app = bundleNaming(temp, "A.app", "AppIcon");
    writeIcns(temp, "A.app/Contents/Resources/AppIcon.icns", {square(64, Qt::green)});
    QString path = QString::fromStdString(app.string());

    AppIcon first(path, 32);
    QSignalSpy loaded(&first, &AppIcon::loaded);
    paint(first);
    QVERIFY(loaded.wait(5000));
    QPixmap cached;
    int pixels = qRound(32 * first.devicePixelRatioF());
    QVERIFY(QPixmapCache::find(AppIcons::cacheKey(path, pixels), &cached));
    QCOMPARE(cached.toImage().pixelColor(10, 10).rgb(), QColor(Qt::green).rgb());

    AppIcon second(path, 32);
    QSignalSpy loadedAgain(&second, &AppIcon::loaded);
    paint(second);
    QTest::qWait(50);
    QCOMPARE(loadedAgain.count(), 0);
  }

  void genericIconIsTheBundledOneWhateverTheTheme() {
    // A desktop theme's executable icon is a gear under common themes:
    // read as settings, not as an app.
    SolidIconTheme theme({"application-x-executable", "application-x-executable-symbolic"});
    QVERIFY(theme.ok());
    QVERIFY(!QIcon::fromTheme("application-x-executable").isNull());
    auto argb = [](const QPixmap& pixmap) {
      return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    };
    const QImage bundled = argb(QIcon(":/larkvale/generic-app.svg").pixmap(QSize(32, 32), 1.0));
    QVERIFY(!bundled.isNull());
    QCOMPARE(argb(AppIcons::generic(32, 1.0)), bundled);
  }

  void fallbacks() {
    QPixmapCache::clear();
    TempDir temp;
    temp.mkdir("Plain.app/Contents");
    QString plain = QString::fromStdString((temp / "Plain.app").string());
    AppIcon withoutIcon(plain, 32);
    QSignalSpy loaded(&withoutIcon, &AppIcon::loaded);
    paint(withoutIcon);
    QVERIFY(loaded.wait(5000));
    QPixmap cached;
    QVERIFY(QPixmapCache::find(
        AppIcons::cacheKey(plain, qRound(32 * withoutIcon.devicePixelRatioF())), &cached));
    QCOMPARE(cached.toImage(), AppIcons::generic(32, withoutIcon.devicePixelRatioF()).toImage());

    // Nothing at the path: learnt off the main thread once, then the
    // placeholder; nothing cached, so a bundle that turns up later shows.
    const QString gonePath = QString::fromStdString((temp / "Gone.app").string());
    AppIcon gone(gonePath, 32);
    QSignalSpy checked(&gone, &AppIcon::loaded);
    paint(gone);
    QVERIFY(checked.wait(5000));
    gone.repaint();
    QTest::qWait(50);
    QCOMPARE(checked.count(), 1);
    QVERIFY(!QPixmapCache::find(AppIcons::cacheKey(gonePath, qRound(32 * gone.devicePixelRatioF())),
                                &cached));
  }
};

QTEST_MAIN(AppIconTest)
#include "AppIconTest.moc"
