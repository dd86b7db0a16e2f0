#pragma once
// Files that real apps, services and tools published (tests/fixtures/realworld,
// origins in its SOURCES.md). They ship with the project, so a missing one
// fails the running test rather than skipping it.
#include <filesystem>
#include <string_view>

namespace larkvale::test {

std::filesystem::path realworld(std::string_view rel = "");

}  // namespace larkvale::test
