#pragma once
// Inventory entries for the Moving day tests.
#include <string>

#include "kit/movingday/InventoryEntry.h"

namespace larkvale::test {

// An app in /Applications; a Homebrew source also gives the cask token.
inline InventoryEntry inventoryEntry(std::string name, std::string bundleID, UpdateSource source,
                                     std::string version = "1.0") {
  InventoryEntry e;
  e.app.path = "/Applications/" + name + ".app";
  e.app.name = std::move(name);
  e.app.bundleID = std::move(bundleID);
  e.app.version = std::move(version);
  if (source.kind() == UpdateSource::Kind::homebrew) e.caskToken = source.payload();
  e.source = std::move(source);
  e.licence = "note";
  return e;
}

}  // namespace larkvale::test
