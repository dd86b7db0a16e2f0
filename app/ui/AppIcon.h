#pragma once
// An application's icon by its bundle path, as a square widget.
//
// The icon is the image file the bundle names under "CFBundleIconFile" in
// Contents/Info.plist, in Contents/Resources (".icns" added when the name
// has no extension), read with Qt's image plugins. It is read off the main
// thread and kept in the application's pixmap cache by path and pixel size;
// until it arrives, and for a bundle whose icon cannot be read, the generic
// application icon bundled with the app stands in. When the read finds
// nothing at the path the "app.dashed" symbol is drawn at 80 percent of the
// size instead.
// Painting never touches the disk.
#include <QImage>
#include <QPixmap>
#include <QString>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <optional>

namespace larkvale::ui {

namespace AppIcons {

// The icon file a bundle names, inside its Contents/Resources folder. Nothing
// when the bundle has no readable Info.plist or names no icon file, or when
// the name would lead outside that folder. Touches only the Info.plist.
// Any thread.
std::optional<std::filesystem::path> iconFile(const std::filesystem::path& bundle);

// The bundle's icon at `pixels` × `pixels`: of the file's images the
// smallest at least that large (else the largest), scaled. A null image
// when there is no icon file or it cannot be read. Any thread.
QImage load(const std::filesystem::path& bundle, int pixels);

// The key of a bundle's icon in the pixmap cache.
QString cacheKey(const QString& bundlePath, int pixels);

// The generic application icon bundled with the app, whatever the desktop's
// icon theme has. Main thread.
QPixmap generic(int size, qreal devicePixelRatio);

// Reads the icon of the bundle at `bundlePath` off the main thread and puts
// it in the pixmap cache under cacheKey() — the generic icon when the
// bundle's own cannot be read, so that it is not read again at every repaint;
// nothing when no bundle is at the path, which may turn up later. Then calls
// `done` on the main thread with whether the bundle was there, unless
// `context` is gone by then. Main thread.
void loadLater(const QString& bundlePath, int size, qreal devicePixelRatio, QObject* context,
               std::function<void(bool found)> done);

}  // namespace AppIcons

class AppIcon : public QWidget {
  Q_OBJECT

 public:
  AppIcon(const QString& path, int size, QWidget* parent = nullptr);

  QString path() const { return path_; }
  int iconSize() const { return size_; }

  QSize sizeHint() const override { return {size_, size_}; }

 signals:
  // The icon of the current path has been read (or found unreadable) and
  // cached; the widget repaints itself.
  void loaded();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void startLoading(int pixels);

  QString path_;
  int size_;
  QString loadingKey_;  // the cache key being read, empty when none
  QString missingKey_;  // the cache key of a path found empty, if any
};

}  // namespace larkvale::ui
