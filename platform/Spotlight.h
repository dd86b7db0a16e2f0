#pragma once
// The file metadata store, narrowed to the one attribute Larkvale asks of it:
// the App Store identifier recorded for an application bundle.
//
// Linux keeps no such store, so the system implementation answers nothing
// for every path; tests hand in an implementation of their own. Implementations
// must be safe to call from several threads at once.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <variant>

namespace larkvale {

// An attribute value as the store keeps it: an integer, a real number, a
// text, or something else (std::monostate).
using MetadataValue = std::variant<std::monostate, int64_t, double, std::string>;

class Spotlight {
 public:
  virtual ~Spotlight() = default;

  // The App Store identifier attribute of the item at path. Nothing when the
  // store has no item for the path or the item has no such attribute. Never
  // throws.
  virtual std::optional<MetadataValue> appStoreIdentifier(
      const std::filesystem::path& path) const = 0;

  // The system's store, shared and stateless.
  static std::shared_ptr<const Spotlight> system();
};

}  // namespace larkvale
