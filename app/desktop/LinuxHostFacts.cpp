#include "app/desktop/LinuxHostFacts.h"

#include "kit/sources/Appcast.h"
#include "platform/FileSystem.h"
#include "platform/HostName.h"
#include "platform/Processes.h"
#include "platform/PropertyList.h"

namespace larkvale {
namespace {

namespace fs = std::filesystem;

constexpr size_t kMachineInfoLimit = 64u << 10;
constexpr size_t kPlistLimit = 1u << 20;

bool startsWithDigit(const std::string& text) {
  return !text.empty() && text[0] >= '0' && text[0] <= '9';
}

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
  auto bytes = FileSystem::readFile(sources_.systemVersionPlist, kPlistLimit);
  auto plist = bytes ? PropertyList::parse(*bytes) : std::nullopt;
  const PlistDict* info = plist ? plist->dict() : nullptr;
  if (!info) return std::nullopt;
  auto entry = info->find("ProductVersion");
  if (entry == info->end() || !entry->second.string() || !startsWithDigit(*entry->second.string()))
    return std::nullopt;
  return Appcast::versionTriple(*entry->second.string());
}

fs::path LinuxHostFacts::runningPath() {
  auto program = Processes::executable(sources_.selfProcess);
  if (!program) return {};
  return Processes::bundleOf(*program).value_or(*program);
}

}  // namespace larkvale
