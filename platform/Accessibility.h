#pragma once
// Reading another application's menus and pressing one of their items, for a
// process the user has trusted to do so. The menu bar is a tree: the bar's
// children are its bar items, a bar item's children are its menus, a menu's
// children are its items.
//
// Every request to another application's elements may block until that
// application answers, at most for the messaging time-out given when the
// menu bar was fetched. Call from one thread at a time.
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace larkvale {

class AccessibilityElement {
 public:
  virtual ~AccessibilityElement() = default;

  // The element's children in order; nothing when they can't be read.
  virtual std::optional<std::vector<std::shared_ptr<AccessibilityElement>>> children() = 0;
  // The element's title; nothing when it has no text title.
  virtual std::optional<std::string> title() = 0;
  // Performs the element's press action; false when it was refused or failed.
  virtual bool press() = 0;
};

class Accessibility {
 public:
  virtual ~Accessibility() = default;

  // Whether this process may use Accessibility. Never asks the user.
  virtual bool isProcessTrusted() = 0;
  // The menu bar of the application with process id `pid`, each later request
  // to its elements bounded by `messagingTimeout`; null when there is none or
  // it can't be read.
  virtual std::shared_ptr<AccessibilityElement> menuBar(
      int32_t pid, std::chrono::milliseconds messagingTimeout) = 0;
};

// This desktop offers no way to reach another application's menus, so the
// process is never trusted and no menu bar can be read.
class SystemAccessibility final : public Accessibility {
 public:
  bool isProcessTrusted() override { return false; }
  std::shared_ptr<AccessibilityElement> menuBar(int32_t, std::chrono::milliseconds) override {
    return nullptr;
  }
};

}  // namespace larkvale
