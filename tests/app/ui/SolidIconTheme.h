#pragma once
// An icon theme in a temporary folder whose icons are solid squares, each
// in its own colour, installed as the current theme for the object's
// lifetime: what a desktop theme would draw under those names is then
// easy to tell from the bundled images.
#include <QColor>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QStringList>

#include "tests/support/TempDir.h"

class SolidIconTheme {
 public:
  // `names` are theme names as given (add "-symbolic" to offer that form).
  explicit SolidIconTheme(const QStringList& names)
      : oldPaths_(QIcon::themeSearchPaths()), oldTheme_(QIcon::themeName()) {
    QDir(folder()).mkpath("Solid/s");
    write("index.theme", "[Icon Theme]\nName=Solid\nDirectories=s\n[s]\nSize=16\nType=Scalable\n");
    for (int i = 0; i < names.size(); ++i) {
      const QColor colour = QColor::fromHsv((i * 47) % 360, 255, 220);
      write("s/" + names[i] + ".svg",
            QString("<svg xmlns='http://www.w3.org/2000/svg' width='16' height='16'>"
                    "<rect width='16' height='16' fill='%1'/></svg>")
                .arg(colour.name())
                .toUtf8());
    }
    QIcon::setThemeSearchPaths({folder()});
    QIcon::setThemeName("Solid");
  }
  ~SolidIconTheme() {
    QIcon::setThemeName(oldTheme_);
    QIcon::setThemeSearchPaths(oldPaths_);
  }
  SolidIconTheme(const SolidIconTheme&) = delete;
  SolidIconTheme& operator=(const SolidIconTheme&) = delete;

  bool ok() const { return ok_; }

 private:
  void write(const QString& rel, const QByteArray& content) {
    QFile file(folder() + "/Solid/" + rel);
    ok_ = ok_ && file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
  }

  QString folder() const { return QString::fromStdString(folder_.path().string()); }

  larkvale::test::TempDir folder_;
  QStringList oldPaths_;
  QString oldTheme_;
  bool ok_ = true;
};
