#include "app/desktop/LinuxHostFacts.h"

#include "kit/sources/Appcast.h"
#include "platform/FileSystem.h"
#include "platform/HostName.h"
#include "platform/Processes.h"

namespace larkvale {
namespace {

namespace fs = std::filesystem;

constexpr size_t kMachineInfoLimit = 64u << 10;

}  // namespace

LinuxHostFacts::LinuxHostFacts() : LinuxHostFacts(Sources{}) {}

LinuxHostFacts::LinuxHostFacts(Sources sources) : sources_(std::move(sources)) {
  if (!sources_.hostName) sources_.hostName = HostName::systemHostName;
}

std::optional<std::string> LinuxHostFacts::macName() {
  if (auto info = FileSystem::readFile(sources_.machineInfo, kMachineInfoLimit)) {
    if (auto pretty = HostName::prettyName(*info)) return pretty;
  }
  auto name = sources_.hostName();
  if (!name || name->empty() || !FileSystem::isValidUtf8(*name)) return std::nullopt;
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
