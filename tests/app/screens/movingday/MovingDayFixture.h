#pragma once
// A model over fakes in a temporary home (also $HOME, where the screens
// expand "~/"), a few installed apps with settings on disk, and helpers to
// find widgets and wait for the model.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include <array>
#include <cstdlib>

#include "tests/app/AppRig.h"

namespace larkvale::test {

inline AppUpdate source(const std::string& name, UpdateSource from,
                        const std::string& bundleID = "") {
  AppUpdate u =
      update(name, UpdateStatus::notChecked("Not checked yet"), std::move(from), std::nullopt);
  if (!bundleID.empty()) u.app.bundleID = bundleID;
  return u;
}

struct MovingDayFixture : Rig {
  MovingDayFixture() { qputenv("HOME", QByteArray::fromStdString(home().string())); }

  std::filesystem::path home() const { return tmp / "home"; }

  // Alpha (feed, two settings items and a licence-looking file), Brewy
  // (cask, one), Shop (App Store), Gitty (GitHub), Mystery (no source) and
  // an app of the system.
  void useSampleApps() {
    tmp.write("home/Library/Preferences/com.example.Alpha.plist", "prefs");
    tmp.write("home/Library/Application Support/Alpha/a.db", "0123456789");
    tmp.write("home/Library/Application Support/Alpha/Alpha.licence", "key");
    tmp.write("home/Library/Preferences/com.example.Brewy.plist", "brew");
    fakes.checker->setSources(
        {source("Alpha", UpdateSource::sparkle("https://alpha.example/a.xml")),
         source("Brewy", UpdateSource::homebrew("brewy")), source("Shop", UpdateSource::appStore()),
         source("Gitty", UpdateSource::github("owner/gitty")),
         source("Mystery", UpdateSource::unknown()),
         source("Safari", UpdateSource::apple(), "com.apple.Safari")});
  }

  void loadInventory() { QVERIFY(waitFor(model->loadInventory())); }

  const InventoryEntry& entry(const std::string& name) const {
    for (const auto& e : model->inventory()) {
      if (e.app.name == name) return e;
    }
    throw std::runtime_error("no entry " + name);
  }
};

template <typename T = QWidget>
T* child(const QObject* root, const char* name) {
  T* found = root->findChild<T*>(QString::fromLatin1(name));
  if (!found) qWarning("no child named %s", name);
  return found;
}

// Lets widgets added to visible panes show and lay out (Qt shows them from
// the event loop).
inline void settle() {
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

// Whether the widget would be drawn if its window were shown.
inline bool shown(const QWidget* widget) {
  return widget && widget->isVisibleTo(widget->window());
}

// Light text on a dark window, as dark desktop themes give.
inline QPalette darkPalette() {
  QPalette palette;
  for (auto role : {QPalette::Window, QPalette::Button, QPalette::Base}) {
    palette.setColor(role, QColor(36, 36, 38));
  }
  for (auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
    palette.setColor(role, QColor(235, 235, 235));
  }
  return palette;
}

// Whether the button's symbol is drawn in the colour: some pixels are
// painted and every clearly painted one is near the colour.
inline bool symbolDrawnIn(const QAbstractButton* button, const QColor& colour) {
  if (!button) return false;
  const QImage image = button->icon()
                           .pixmap(button->iconSize(), QIcon::Normal)
                           .toImage()
                           .convertToFormat(QImage::Format_ARGB32);
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

// A control painted inside a row of a view as it looks at rest, with the
// pointer over it and with the left button down on it. The pointer then
// leaves the view without a release, so nothing is pressed. Settle the
// view first: it lays its rows out from the event loop.
inline std::array<QImage, 3> controlLooks(QAbstractItemView* view, const QRect& control) {
  QWidget* viewport = view->viewport();
  auto mouse = [viewport](QEvent::Type type, QPoint at, Qt::MouseButton button) {
    QMouseEvent event(type, at, viewport->mapToGlobal(at), button,
                      type == QEvent::MouseButtonPress ? button : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
  };
  auto leave = [viewport] {
    QEvent event(QEvent::Leave);
    QApplication::sendEvent(viewport, &event);
  };
  const QRect shot = control.adjusted(-3, -3, 3, 3);
  leave();
  const QImage rest = viewport->grab(shot).toImage();
  mouse(QEvent::MouseMove, control.center(), Qt::NoButton);
  const QImage hovered = viewport->grab(shot).toImage();
  mouse(QEvent::MouseButtonPress, control.center(), Qt::LeftButton);
  const QImage pressed = viewport->grab(shot).toImage();
  leave();
  return {rest, hovered, pressed};
}

}  // namespace larkvale::test
