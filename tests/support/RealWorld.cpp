#include "tests/support/RealWorld.h"

#include <gtest/gtest.h>

#include "tests/support/TempDir.h"

namespace larkvale::test {

std::filesystem::path realworld(std::string_view rel) {
  auto path = fixture("realworld") / rel;
  if (!std::filesystem::exists(path)) ADD_FAILURE() << "missing real-world sample " << path;
  return path;
}

}  // namespace larkvale::test
