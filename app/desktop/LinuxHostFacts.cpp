#include "app/desktop/LinuxHostFacts.h"

#include "kit/sources/Appcast.h"
#include "platform/FileSystem.h"
#include "platform/HostName.h"
#include "platform/Processes.h"
#include "platform/TextTrim.h"

namespace larkvale {
namespace {

namespace fs = std::filesystem;

constexpr size_t kMachineInfoLimit = 64u << 10;

// The name is read where it is shown, on one line: a name that would show
// nothing there (hidden characters and spaces only) is no name, so the
// next source, or "this Mac", stands in for it.
bool showsSomething(std::string_view name) {
  return !TextTrim::whitespace(TextTrim::oneLine(name)).empty();
}

}  // namespace

LinuxHostFacts::LinuxHostFacts() : LinuxHostFacts(Sources{}) {}

LinuxHostFacts::LinuxHostFacts(Sources sources) : sources_(std::move(sources)) {
  if (!sources_.hostName) sources_.hostName = HostName::systemHostName;
}

std::optional<std::string> LinuxHostFacts::macName() {
  if (auto info = FileSystem::readFile(sources_.machineInfo, kMachineInfoLimit)) {
    if (auto pretty = HostName::prettyName(*info); pretty && showsSomething(*pretty)) return pretty;
  }
  auto name = sources_.hostName();
  if (!name || !showsSomething(*name) || !FileSystem::isValidUtf8(*name)) return std::nullopt;
  return name;
}

std::optional<std::string> LinuxHostFacts::systemVersion() {
  return Appcast::osVersionString(sources_.systemVersionPlist);
}

fs::path LinuxHostFacts::runningPath() {
  auto program = Processes::executable(sources_.selfProcess);
  if (!program) return {};
  return Processes::bundleOf(*program).value_or(*program);
}

}  // namespace larkvale
