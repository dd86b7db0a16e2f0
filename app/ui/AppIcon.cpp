#include "app/ui/AppIcon.h"

#include <QBuffer>
#include <QFile>
#include <QFutureWatcher>
#include <QIcon>
#include <QImageReader>
#include <QPainter>
#include <QPixmapCache>
#include <QtConcurrent/QtConcurrentRun>

#include "app/ui/Symbols.h"
#include "app/ui/Tints.h"
#include "platform/FileSystem.h"
#include "platform/PropertyList.h"

namespace larkvale::ui {

namespace AppIcons {

namespace {

namespace fs = std::filesystem;

constexpr size_t kMaxIconBytes = 32u << 20;
constexpr double kPlaceholderScale = 0.8;

// Of a file's images (an icon file holds several sizes), the smallest at
// least `pixels` wide, else the largest. The icon reader cannot tell an
// image's size without decoding it, so each one is read.
QImage bestImage(QImageReader& reader, int pixels) {
  QImage best;
  int count = std::max(1, reader.imageCount());
  for (int i = 0; i < count; ++i) {
    if (i > 0 && !reader.jumpToImage(i)) break;
    QImage image = reader.read();
    if (image.isNull()) continue;
    int width = image.width();
    bool bigEnough = width >= pixels;
    bool bestBigEnough = !best.isNull() && best.width() >= pixels;
    if (best.isNull() || (bigEnough && (!bestBigEnough || width < best.width())) ||
        (!bigEnough && !bestBigEnough && width > best.width())) {
      best = std::move(image);
    }
  }
  return best;
}

}  // namespace

std::optional<fs::path> iconFile(const fs::path& bundle) {
  auto bytes =
      FileSystem::readFile(bundle / "Contents" / "Info.plist", PropertyList::kMaxInfoPlistBytes);
  if (!bytes) return std::nullopt;
  auto plist = PropertyList::parse(*bytes);
  const PlistDict* dict = plist ? plist->dict() : nullptr;
  if (!dict) return std::nullopt;
  auto it = dict->find("CFBundleIconFile");
  const std::string* name = it == dict->end() ? nullptr : it->second.string();
  if (!name || name->empty()) return std::nullopt;
  std::string file = *name;
  if (fs::path(file).extension().empty()) file += ".icns";
  return FileSystem::joinInside(bundle / "Contents" / "Resources", file);
}

QImage load(const fs::path& bundle, int pixels) {
  auto file = iconFile(bundle);
  if (!file) return {};
  auto bytes = FileSystem::readFile(*file, kMaxIconBytes);
  if (!bytes) return {};
  QByteArray data = QByteArray::fromStdString(*bytes);
  QBuffer buffer(&data);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  reader.setDecideFormatFromContent(true);
  QImage image = bestImage(reader, pixels);
  if (image.isNull()) return {};
  return image.scaled(pixels, pixels, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QString cacheKey(const QString& bundlePath, int pixels) {
  return QStringLiteral("larkvale.appicon:%1:").arg(pixels) + bundlePath;
}

QPixmap generic(int size, qreal devicePixelRatio) {
  // Not the theme's "application-x-executable": common themes draw it as a
  // gear, which reads as settings rather than as an app.
  return QIcon(QStringLiteral(":/larkvale/generic-app.svg"))
      .pixmap(QSize(size, size), devicePixelRatio);
}

void loadLater(const QString& bundlePath, int size, qreal devicePixelRatio, QObject* context,
               std::function<void(bool found)> done) {
  struct Loaded {
    bool exists = false;
    QImage image;
  };
  const int pixels = qRound(size * devicePixelRatio);
  auto* watcher = new QFutureWatcher<Loaded>(context);
  QObject::connect(watcher, &QFutureWatcherBase::finished, context,
                   [watcher, key = cacheKey(bundlePath, pixels), size, devicePixelRatio,
                    done = std::move(done)] {
                     watcher->deleteLater();
                     const Loaded loaded = watcher->result();
                     if (loaded.exists) {
                       QPixmap pixmap = loaded.image.isNull() ? generic(size, devicePixelRatio)
                                                              : QPixmap::fromImage(loaded.image);
                       if (!loaded.image.isNull()) pixmap.setDevicePixelRatio(devicePixelRatio);
                       QPixmapCache::insert(key, pixmap);
                     }
                     done(loaded.exists);
                   });
  const fs::path bundle(QFile::encodeName(bundlePath).toStdString());
  watcher->setFuture(QtConcurrent::run([bundle, pixels] {
    std::error_code error;
    if (!fs::exists(bundle, error)) return Loaded{};
    return Loaded{true, load(bundle, pixels)};
  }));
}

}  // namespace AppIcons

AppIcon::AppIcon(const QString& path, int size, QWidget* parent)
    : QWidget(parent), path_(path), size_(size) {
  setFixedSize(size, size);
  setFocusPolicy(Qt::NoFocus);
}

void AppIcon::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  const qreal dpr = devicePixelRatioF();
  const int pixels = qRound(size_ * dpr);
  // Whether anything is at the path is learnt with the icon, off the main
  // thread; a paint never asks the disk.
  if (path_.isEmpty() || missingKey_ == AppIcons::cacheKey(path_, pixels)) {
    int symbol = qRound(size_ * AppIcons::kPlaceholderScale);
    QPixmap dashed = Symbols::tinted("app.dashed", Tints::secondaryText(palette()), symbol, dpr);
    QRect box(0, 0, symbol, symbol);
    box.moveCenter(rect().center());
    painter.drawPixmap(box, dashed);
    return;
  }
  QPixmap icon;
  if (!QPixmapCache::find(AppIcons::cacheKey(path_, pixels), &icon)) {
    startLoading(pixels);
    icon = AppIcons::generic(size_, dpr);
  }
  painter.drawPixmap(rect(), icon);
}

void AppIcon::startLoading(int pixels) {
  QString key = AppIcons::cacheKey(path_, pixels);
  if (key == loadingKey_) return;
  loadingKey_ = key;
  AppIcons::loadLater(path_, size_, devicePixelRatioF(), this, [this, key](bool found) {
    if (loadingKey_ == key) loadingKey_.clear();
    if (!found) missingKey_ = key;
    update();
    emit loaded();
  });
}

}  // namespace larkvale::ui
