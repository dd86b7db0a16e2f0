#pragma once
// A model over fakes in a temporary home (also $HOME, where the screens
// expand "~/"), a few installed apps with settings on disk, and helpers to
// find widgets and wait for the model.
#include <QTest>
#include <QWidget>

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

}  // namespace larkvale::test
