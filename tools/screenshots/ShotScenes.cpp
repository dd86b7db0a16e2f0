#include "tools/screenshots/ShotScenes.h"

#include <QImageWriter>
#include <QPainter>

#include "app/screens/ScreenTable.h"
#include "app/window/MainWindow.h"
#include "platform/FileSystem.h"
#include "platform/PropertyList.h"

namespace larkvale::screenshots {

namespace fs = std::filesystem;

Scene::Scene(const Context& context) {
  fakes.folders = {context.scratch / "home", context.scratch / "caches"};
  model = std::make_unique<AppModel>(fakes.services());
  pennant::MoreAppsConfig config = moreAppsConfig();
  config.allowsNetwork = false;
  catalogue = std::make_unique<pennant::MoreAppsCatalogue>(
      config, pennant::MoreAppsLoader{.cacheDirectory = context.scratch / "catalogue"});
}

QWidget* Scene::window() {
  Screens screens;
  registerScreens(screens, *catalogue);
  return owning(new MainWindow(*model, screens), this);
}

fs::path drawnBundle(const fs::path& folder, const std::string& name, QColor colour) {
  const fs::path path = folder / (name + ".app");
  std::error_code error;
  if (fs::exists(path, error)) return path;
  fs::create_directories(path / "Contents" / "Resources");
  PlistDict info{{"CFBundleIconFile", std::string("Icon")}};
  FileSystem::writeAtomically(path / "Contents" / "Info.plist", PropertyList::toXml(info));
  QImage image(128, 128, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(colour);
  painter.drawRoundedRect(QRectF(8, 8, 112, 112), 26, 26);
  painter.setPen(Qt::white);
  QFont font = painter.font();
  font.setPixelSize(64);
  font.setBold(true);
  painter.setFont(font);
  painter.drawText(QRect(0, 0, 128, 128), Qt::AlignCenter,
                   QString::fromStdString(name.substr(0, 1)));
  painter.end();
  QImageWriter(QString::fromStdString((path / "Contents/Resources/Icon.icns").string()), "icns")
      .write(image);
  return path;
}

AppUpdate sampleUpdate(int i, bool waiting) {
  static const char* const kNames[] = {"Cartograph", "Brewmaster", "Quillpad",  "Gitbeam",
                                       "Harbour",    "Lumen",      "Tessellate"};
  AppUpdate u;
  u.app.name = std::string(kNames[i % 7]) + (i < 7 ? "" : " " + std::to_string(i / 7 + 1));
  u.app.path = "/Applications/" + u.app.name + ".app";
  u.app.bundleID = "com.example.sample" + std::to_string(i);
  u.app.version = u.app.build = "1." + std::to_string(i % 10);
  u.source = i % 3 == 0 ? UpdateSource::homebrew("sample-" + std::to_string(i))
                        : UpdateSource::sparkle("https://example.com/" + std::to_string(i));
  u.status = waiting ? UpdateStatus::updateAvailable() : UpdateStatus::upToDate();
  if (waiting) u.latestVersion = "2.0";
  return u;
}

}  // namespace larkvale::screenshots
