// The Moving day panes over a model with fake services in the renderer's
// scratch folder: the inventory with no apps, loading, with 300 apps and
// with a long name at the smallest window; the restore checklist, also with
// no apps; Copy Settings with no apps, loading and after a copy with
// left-out items; New Mac Check with nothing open, comparing, complete and
// incomplete.
#include <QVBoxLayout>

#include "app/model/AppModel.h"
#include "app/screens/movingday/CarryPane.h"
#include "app/screens/movingday/ChecklistPane.h"
#include "app/screens/movingday/InventoryPane.h"
#include "app/screens/movingday/NewMacPane.h"
#include "kit/movingday/SettingsCopier.h"
#include "platform/FileRemoval.h"
#include "platform/FileSystem.h"
#include "tests/support/FakeServices.h"
#include "tests/support/FutureWait.h"
#include "tools/screenshots/ShotScenes.h"

namespace larkvale::screenshots {
namespace {

namespace fs = std::filesystem;
using test::Fakes;

const QSize kPane(900, 700);
// The pane beside the narrowest sidebar in the smallest window.
const QSize kSmallestPane(710, 600);

constexpr const char* kWords[] = {
    "Atlas",   "Brewmaster", "Cartograph", "Driftwood", "Ember",   "Fathom",   "Glimmer",
    "Harbor",  "Inkwell",    "Juniper",    "Kestrel",   "Lantern", "Meridian", "Nimbus",
    "Orchard", "Pebble",     "Quill",      "Ripple",    "Saffron", "Tundra",   "Umber",
    "Vellum",  "Willow",     "Xylo",       "Yarrow",    "Zephyr"};

void write(const fs::path& file, std::string_view bytes) {
  fs::create_directories(file.parent_path());
  FileSystem::writeAtomically(file, bytes);
}

AppUpdate app(const fs::path& apps, const std::string& name, UpdateSource source, int hue) {
  AppUpdate u;
  u.app.path = drawnBundle(apps, name, QColor::fromHsv(hue % 360, 150, 210)).string();
  u.app.name = name;
  std::string id = name;
  std::erase(id, ' ');
  u.app.bundleID = "com.example." + id;
  u.app.version = u.app.build = std::to_string(1 + hue % 7) + "." + std::to_string(hue % 10);
  u.source = std::move(source);
  u.status = UpdateStatus::notChecked("Not checked yet");
  return u;
}

// count apps of every kind of source, with settings on disk below home for
// most of them and a licence-looking file for a few.
std::vector<AppUpdate> sampleApps(const fs::path& root, int count) {
  std::vector<AppUpdate> out;
  const fs::path apps = root / "Applications";
  const fs::path home = root / "home";
  for (int i = 0; i < count; ++i) {
    std::string name = kWords[i % std::size(kWords)];
    if (i >= static_cast<int>(std::size(kWords)))
      name += " " + std::to_string(i / std::size(kWords) + 1);
    std::string token = name;
    std::transform(token.begin(), token.end(), token.begin(),
                   [](char c) { return c == ' ' ? '-' : static_cast<char>(std::tolower(c)); });
    UpdateSource source;
    switch (i % 6) {
      case 0:
        source = UpdateSource::sparkle("https://" + token + ".example/appcast.xml");
        break;
      case 1:
        source = UpdateSource::homebrew(token);
        break;
      case 2:
        source = UpdateSource::appStore();
        break;
      case 3:
        source = UpdateSource::github("makers/" + token);
        break;
      case 4:
        source = UpdateSource::unknown();
        break;
      default:
        source = UpdateSource::sparkle("https://downloads." + token + ".example/feed");
        break;
    }
    AppUpdate update = app(apps, name, std::move(source), i * 37);
    if (i % 6 == 2) update.storeTrackID = 400000000 + i;
    if (i % 4 != 3) {
      write(home / "Library/Preferences" / (update.app.bundleID + ".plist"),
            std::string(200 + i * 13, 'p'));
    }
    if (i % 3 == 0) {
      write(home / "Library/Application Support" / name / "Library.db",
            std::string(4000 + i * 977, 'd'));
      if (i % 9 == 0) write(home / "Library/Application Support" / name / "License.key", "k");
    }
    out.push_back(std::move(update));
  }
  return out;
}

// A model over fakes with its home in the scratch folder; the widget that
// shows it owns it.
struct World {
  explicit World(const fs::path& root, const std::string& mac = "Robin’s MacBook Pro") {
    fakes.folders = {root / "home", root / "caches"};
    fs::create_directories(fakes.folders.home);
    fakes.host->name = mac;
    fakes.clock->current = std::chrono::system_clock::now();
  }

  AppModel* model(QObject* owner) const { return new AppModel(fakes.services(), owner); }

  Fakes fakes;
};

void load(AppModel& model) {
  test::waitFor(model.loadInventory());
  test::waitFor(model.measureCarrySizes());
}

template <typename Pane>
QWidget* pane(const World& world, const std::function<void(AppModel&)>& prepare = {}) {
  auto* holder = new QWidget;
  AppModel* model = world.model(holder);
  if (prepare) prepare(*model);
  auto* screen = new Pane(*model, holder);
  auto* layout = new QVBoxLayout(holder);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(screen);
  // Painting once starts reading the application icons, which the
  // renderer then waits for.
  holder->resize(kPane);
  holder->grab();
  return holder;
}

QWidget* inventory(const Context& c, int count, bool loading) {
  const fs::path root = c.scratch / ("inventory-" + std::to_string(count));
  World world(root);
  world.fakes.checker->setSources(sampleApps(root, count));
  if (loading) world.fakes.scanner->scanGate.arm();
  return pane<movingday::InventoryPane>(world, [&](AppModel& model) {
    if (loading) {
      model.loadInventory();
      return;
    }
    load(model);
    if (!model.inventory().empty()) {
      model.setInventorySelection(QString::fromStdString(model.inventory()[3].app.path));
    }
  });
}

QWidget* inventoryLongName(const Context& c) {
  const fs::path root = c.scratch / "inventory-long-name";
  World world(root);
  std::vector<AppUpdate> apps = sampleApps(root, 12);
  std::string name;
  while (name.size() < 100) name += "Cartograph Studio Professional Edition ";
  name.resize(100);
  apps[0].app.name = name;
  const std::string selected = apps[0].app.path;
  world.fakes.checker->setSources(apps);
  return pane<movingday::InventoryPane>(world, [selected](AppModel& model) {
    load(model);
    model.setInventorySelection(QString::fromStdString(selected));
  });
}

QWidget* checklist(const Context& c) {
  const fs::path root = c.scratch / "checklist";
  World world(root);
  world.fakes.checker->setSources(sampleApps(root, 14));
  return pane<movingday::ChecklistPane>(world, [](AppModel& model) {
    load(model);
    model.toggleTick("before:export");
    model.toggleTick("brew:dump");
  });
}

QWidget* carry(const Context& c, bool copied) {
  const fs::path root = c.scratch / (copied ? "carry-copied" : "carry");
  World world(root);
  world.fakes.checker->setSources(sampleApps(root, 40));
  world.fakes.workspace->running = {"com.example.Atlas", "com.example.Driftwood"};
  world.fakes.volumes->internal = true;
  world.fakes.panels->nextOpen.push_back(root / "Drive");
  fs::create_directories(root / "Drive");
  return pane<movingday::CarryPane>(world, [copied](AppModel& model) {
    load(model);
    if (!copied) return;
    TextSet chosen;
    for (const SettingsPick& pick : SettingsCopier::settingsPicks(model.inventory())) {
      if (chosen.size() < 14) chosen.insert(pick.tildePath);
    }
    model.setCarryChosen(chosen);
    test::waitFor(model.copySettings());
  });
}

// A Moving Day folder from the old Mac; complete leaves nothing missing on
// this one.
QWidget* newMac(const Context& c, bool complete) {
  const fs::path root = c.scratch / (complete ? "newmac-complete" : "newmac");
  const fs::path old = root / "old";
  World oldMac(old);
  oldMac.fakes.checker->setSources(sampleApps(old, 18));
  AppModel source(oldMac.fakes.services());
  load(source);
  const auto picks = SettingsCopier::settingsPicks(source.inventory());
  const std::vector<SettingsPick> chosen(picks.begin(),
                                         picks.begin() + std::min<size_t>(8, picks.size()));
  fs::create_directories(root / "Drive");
  const auto result = SettingsCopier(old / "home")
                          .copy(chosen, MovingManifest::manifestApps(source.inventory()),
                                root / "Drive", "Robin’s MacBook Pro", "15.1.0",
                                std::chrono::system_clock::now() - std::chrono::hours(50));

  World world(root / "new", "Robin’s Mac mini");
  std::vector<InstalledApp> here;
  for (const auto& entry : source.inventory()) {
    InstalledApp installed = entry.app;
    here.push_back(installed);
  }
  if (complete) {
    for (const SettingsPick& pick : chosen) {
      const fs::path from = SettingsCopier(old / "home").locate(pick.tildePath);
      const fs::path to = SettingsCopier(world.fakes.folders.home).locate(pick.tildePath);
      fs::create_directories(to.parent_path());
      fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
    }
  } else {
    here.resize(9);
    here[2].version = "0.1";
    here[5].version = "0.9";
    (void)FileRemoval::removeInside(c.scratch, result.folder / "Settings/Library/Preferences" /
                                                   (source.inventory()[0].app.bundleID + ".plist"));
  }
  world.fakes.scanner->setApps(here);
  world.fakes.panels->nextOpen.push_back(result.folder);
  return pane<movingday::NewMacPane>(world,
                                     [](AppModel& model) { test::waitFor(model.newMacCheck()); });
}

QWidget* newMacComparing(const Context& c) {
  World world(c.scratch / "newmac-comparing");
  const fs::path folder = c.scratch / "newmac-comparing/Drive/Moving";
  write(folder / "manifest.json",
        R"({"apps":[],"created":"2026-12-01T10:00:00Z","leftOut":[],"macName":"Old",)"
        R"("schema":1,"settings":[],"systemVersion":"15.1.0"})");
  world.fakes.scanner->scanGate.arm();
  world.fakes.panels->nextOpen.push_back(folder);
  return pane<movingday::NewMacPane>(world, [](AppModel& model) { model.newMacCheck(); });
}

const Registration shots("movingday", [](const Add& add) {
  add(
      "inventory-empty", [](const Context& c) { return inventory(c, 0, false); }, kPane);
  add(
      "inventory-loading", [](const Context& c) { return inventory(c, 12, true); }, kPane);
  add(
      "inventory-300", [](const Context& c) { return inventory(c, 300, false); }, kPane);
  add("inventory-smallest", inventoryLongName, kSmallestPane);
  add(
      "checklist-none",
      [](const Context& c) {
        return pane<movingday::ChecklistPane>(World(c.scratch / "checklist-none"), load);
      },
      kPane);
  add(
      "carry-none",
      [](const Context& c) {
        return pane<movingday::CarryPane>(World(c.scratch / "carry-none"), load);
      },
      kPane);
  add("checklist", checklist, QSize(900, 1500));
  add(
      "checklist-loading",
      [](const Context& c) {
        World world(c.scratch / "checklist-loading");
        world.fakes.scanner->scanGate.arm();
        return pane<movingday::ChecklistPane>(world, [](AppModel& m) { m.loadInventory(); });
      },
      kPane);
  add(
      "carry", [](const Context& c) { return carry(c, false); }, kPane);
  add(
      "carry-copied", [](const Context& c) { return carry(c, true); }, QSize(900, 760));
  add(
      "newmac-empty",
      [](const Context& c) {
        return pane<movingday::NewMacPane>(World(c.scratch / "newmac-empty"));
      },
      kPane);
  add("newmac-comparing", newMacComparing, kPane);
  add(
      "newmac-complete", [](const Context& c) { return newMac(c, true); }, kPane);
  add(
      "newmac-incomplete", [](const Context& c) { return newMac(c, false); }, QSize(900, 1300));
});

}  // namespace
}  // namespace larkvale::screenshots
