#include "kit/movingday/CarryError.h"

namespace larkvale {

CarryError::CarryError(Kind kind, int64_t schema, std::string reason, const std::string& text)
    : Error(text), kind_(kind), schema_(schema), reason_(std::move(reason)) {}

CarryError CarryError::newerManifest(int64_t schema) {
  return CarryError(Kind::newerManifest, schema, {},
                    "This manifest was written by a newer Larkvale (format " +
                        std::to_string(schema) + "). Update Larkvale on this Mac first.");
}

CarryError CarryError::noDestination(std::string reason) {
  std::string text = "Couldn't make the Moving day folder: " + reason;
  return CarryError(Kind::noDestination, 0, std::move(reason), text);
}

}  // namespace larkvale
