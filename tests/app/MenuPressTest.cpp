#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "app/Handoffs.h"

namespace larkvale {
namespace {

using namespace std::chrono_literals;
using std::chrono::milliseconds;

// An element of a pretend menu bar. Counts presses; can refuse them, have no
// title, or have children that can't be read.
struct FakeElement : AccessibilityElement {
  std::optional<std::string> label;
  std::optional<std::vector<std::shared_ptr<AccessibilityElement>>> kids =
      std::vector<std::shared_ptr<AccessibilityElement>>{};
  bool accepts = true;
  int presses = 0;

  std::optional<std::vector<std::shared_ptr<AccessibilityElement>>> children() override {
    return kids;
  }
  std::optional<std::string> title() override { return label; }
  bool press() override {
    ++presses;
    return accepts;
  }
};

using Node = std::shared_ptr<FakeElement>;

Node item(std::optional<std::string> title) {
  auto node = std::make_shared<FakeElement>();
  node->label = std::move(title);
  return node;
}

Node parent(std::vector<Node> children) {
  auto node = std::make_shared<FakeElement>();
  node->kids.emplace(children.begin(), children.end());
  return node;
}

// A bar item holding one menu with the given items.
Node barItem(std::vector<Node> items) {
  return parent({parent(std::move(items))});
}

struct FakeAccessibility : Accessibility {
  bool trusted = true;
  Node bar;
  std::vector<std::pair<int32_t, milliseconds>> requests;

  bool isProcessTrusted() override { return trusted; }
  std::shared_ptr<AccessibilityElement> menuBar(int32_t pid, milliseconds timeout) override {
    requests.emplace_back(pid, timeout);
    return bar;
  }
};

TEST(MenuPressTest, PressesTheFirstMatchingItemOfTheAppsOwnMenusButNotOfSubmenus) {
  auto inSystemMenu = item("Check for Updates\u2026");
  auto submenuItem = item("Check for Updates\u2026");
  auto submenu = item("More");
  submenu->kids = std::vector<std::shared_ptr<AccessibilityElement>>{submenuItem};
  auto wanted = item("Check for Updates\u2026");
  auto later = item("Check for Updates...");
  FakeAccessibility ax;
  ax.bar = parent({barItem({inSystemMenu}),
                   barItem({item(std::nullopt), item("Preferences"), submenu, wanted}),
                   barItem({later})});
  EXPECT_TRUE(pressUpdateMenuItem(42, ax));
  EXPECT_EQ(wanted->presses, 1);
  EXPECT_EQ(later->presses + inSystemMenu->presses + submenuItem->presses, 0);
  ASSERT_EQ(ax.requests.size(), 1u);
  EXPECT_EQ(ax.requests[0], std::make_pair(int32_t{42}, milliseconds(1500)));
}

TEST(MenuPressTest, UnreadablePartsCountAsEmptyAndARefusalEndsTheWalk) {
  auto unreadable = parent({});
  unreadable->kids.reset();
  auto refusing = item("check for update");
  refusing->accepts = false;
  auto second = item("Check for New Versions");
  FakeAccessibility ax;
  ax.bar =
      parent({barItem({}), unreadable, parent({nullptr}), barItem({refusing}), barItem({second})});
  EXPECT_FALSE(pressUpdateMenuItem(1, ax));
  EXPECT_EQ(refusing->presses, 1);
  EXPECT_EQ(second->presses, 0);

  ax.bar = nullptr;
  EXPECT_FALSE(pressUpdateMenuItem(1, ax));
  ax.bar = parent({});
  ax.bar->kids.reset();
  EXPECT_FALSE(pressUpdateMenuItem(1, ax));
}

struct FakeWorkspace : Workspace {
  int pollsUntilFinished = 0;  // -1: never finishes
  std::vector<std::filesystem::path> opened;
  std::optional<std::string> error;

  RunningApplication openApplication(const std::filesystem::path& bundle) override {
    opened.push_back(bundle);
    if (error) throw WorkspaceError(*error);
    auto remaining = std::make_shared<int>(pollsUntilFinished);
    return {4242, [remaining] { return *remaining >= 0 && (*remaining)-- == 0; }};
  }
};

struct Outcome {
  MenuPressResult result;
  std::vector<milliseconds> sleeps;
};

Outcome press(FakeWorkspace& workspace, FakeAccessibility& ax) {
  Outcome run;
  run.result = pressCheckForUpdates("/Applications/Tool.app", workspace, ax,
                                    [&](milliseconds d) { run.sleeps.push_back(d); });
  return run;
}

TEST(MenuPressTest, OpensWaitsForLaunchingThenPresses) {
  FakeAccessibility ax;
  auto wanted = item("Check for Updates\u2026");
  ax.bar = parent({barItem({}), barItem({wanted})});

  FakeWorkspace workspace;
  workspace.pollsUntilFinished = 3;
  Outcome run = press(workspace, ax);
  EXPECT_EQ(run.result, MenuPressResult::pressed());
  EXPECT_EQ(run.sleeps, (std::vector<milliseconds>{300ms, 300ms, 300ms, 1200ms}));
  EXPECT_EQ(workspace.opened, std::vector<std::filesystem::path>{"/Applications/Tool.app"});
  EXPECT_EQ(ax.requests.at(0).first, 4242);

  // Already running: it reports finished at once, so only the settling wait.
  workspace.pollsUntilFinished = 0;
  EXPECT_EQ(press(workspace, ax).sleeps, std::vector<milliseconds>{1200ms});

  // Never finishes: twenty polls, then the press is tried all the same.
  workspace.pollsUntilFinished = -1;
  run = press(workspace, ax);
  EXPECT_EQ(run.sleeps.size(), 21u);
  EXPECT_EQ(run.sleeps.back(), 1200ms);
  EXPECT_EQ(run.result, MenuPressResult::pressed());
  EXPECT_EQ(wanted->presses, 3);
}

TEST(MenuPressTest, OutcomesWithoutAPress) {
  FakeWorkspace workspace;
  FakeAccessibility ax;
  ax.trusted = false;
  ax.bar = parent({barItem({}), barItem({item("Check for Updates\u2026")})});
  Outcome run = press(workspace, ax);
  EXPECT_EQ(run.result, MenuPressResult::opened());
  EXPECT_TRUE(run.sleeps.empty());
  EXPECT_TRUE(ax.requests.empty());

  ax.trusted = true;
  ax.bar = parent({barItem({}), barItem({item("Check for Updates Automatically")})});
  EXPECT_EQ(press(workspace, ax).result, MenuPressResult::opened());

  workspace.error = "The application \u201CTool.app\u201D can't be opened: Exec format error.";
  run = press(workspace, ax);
  EXPECT_EQ(run.result, MenuPressResult::failed(*workspace.error));
  EXPECT_TRUE(run.sleeps.empty());

  // This system's own Accessibility never trusts: the app is opened, no more.
  SystemAccessibility system;
  workspace.error.reset();
  EXPECT_EQ(pressCheckForUpdates("/x.app", workspace, system, [](milliseconds) {}),
            MenuPressResult::opened());
}

}  // namespace
}  // namespace larkvale
