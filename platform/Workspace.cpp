#include "platform/Workspace.h"

#include <unistd.h>

#include <optional>
#include <string>

#include "platform/FileSystem.h"
#include "platform/PropertyList.h"
#include "platform/TextTrim.h"
#include "platform/WorkspaceLaunch.h"

namespace larkvale {
namespace {

namespace fs = std::filesystem;

// A file name from the bundle, written out whole so that it names its file.
std::string quoted(const std::string& text) {
  return "\u201C" + TextTrim::writtenOut(text) + "\u201D";
}

[[noreturn]] void refuse(const fs::path& bundle, const std::string& why) {
  throw WorkspaceError("The application " +
                       quoted(TextTrim::writtenOut(bundle.filename().native())) +
                       " can't be opened" + why);
}

// The executable's name from Info.plist: a plain file name, never a path that
// could lead out of Contents/MacOS.
std::optional<std::string> executableName(const fs::path& bundle) {
  auto bytes =
      FileSystem::readFile(bundle / "Contents" / "Info.plist", PropertyList::kMaxInfoPlistBytes);
  if (!bytes) refuse(bundle, " because its Info.plist is missing or unreadable.");
  auto plist = PropertyList::parse(*bytes);
  const PlistDict* info = plist ? plist->dict() : nullptr;
  if (!info) refuse(bundle, " because its Info.plist is damaged.");
  auto entry = info->find("CFBundleExecutable");
  if (entry == info->end() || !entry->second.string()) return std::nullopt;
  const std::string& name = *entry->second.string();
  if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos ||
      name.find('\0') != std::string::npos) {
    return std::nullopt;
  }
  return name;
}

}  // namespace

RunningApplication SystemWorkspace::openApplication(const fs::path& bundle) {
  std::error_code ec;
  if (!fs::is_directory(bundle, ec)) refuse(bundle, " because it isn't there.");
  auto name = executableName(bundle);
  if (!name) refuse(bundle, " because its Info.plist names no executable.");
  fs::path executable = bundle / "Contents" / "MacOS" / *name;
  if (!fs::is_regular_file(executable, ec)) {
    refuse(bundle, " because its program " +
                       quoted(TextTrim::writtenOut("Contents/MacOS/" + *name)) + " is missing.");
  }
  try {
    int32_t pid = WorkspaceLaunch::launchDetached(executable, {});
    return {pid, [] { return true; }};
  } catch (const LaunchError& error) {
    refuse(bundle, ": " + std::string(error.what()) + ".");
  }
}

}  // namespace larkvale
