#include "platform/Spotlight.h"

namespace larkvale {
namespace {

// There is no metadata store to ask on this system.
class NoMetadataStore final : public Spotlight {
 public:
  std::optional<MetadataValue> appStoreIdentifier(const std::filesystem::path&) const override {
    return std::nullopt;
  }
};

}  // namespace

std::shared_ptr<const Spotlight> Spotlight::system() {
  static const auto store = std::make_shared<const NoMetadataStore>();
  return store;
}

}  // namespace larkvale
