#include "app/desktop/AutostartLoginItem.h"

#include <system_error>

#include "platform/DesktopEntry.h"
#include "platform/FileRemoval.h"
#include "platform/FileSystem.h"
#include "platform/TextTrim.h"

namespace larkvale {
namespace {

namespace fs = std::filesystem;

constexpr size_t kEntryLimit = 1u << 20;

bool isFalse(const std::optional<std::string>& value) {
  return value && *value == "false";
}
bool isTrue(const std::optional<std::string>& value) {
  return value && *value == "true";
}

}  // namespace

AutostartLoginItem::AutostartLoginItem(fs::path configFolder, fs::path executable)
    : configFolder_(std::move(configFolder)), executable_(std::move(executable)) {}

fs::path AutostartLoginItem::configFolder(const fs::path& home, const char* xdgConfigHome) {
  if (xdgConfigHome && xdgConfigHome[0] == '/') return xdgConfigHome;
  return home / ".config";
}

fs::path AutostartLoginItem::entryPath() const {
  return configFolder_ / "autostart" / kEntryName;
}

std::string AutostartLoginItem::entryContent(const fs::path& executable) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Larkvale\n"
         "Exec=" +
         DesktopEntry::execArgument(executable.string()) + " " + kLoginItemArgument +
         "\n"
         "Terminal=false\n"
         "X-GNOME-Autostart-enabled=true\n";
}

bool AutostartLoginItem::isEnabled() {
  auto content = FileSystem::readText(entryPath(), kEntryLimit);
  if (!content) return false;
  return !isTrue(DesktopEntry::value(*content, "Hidden")) &&
         !isFalse(DesktopEntry::value(*content, "X-GNOME-Autostart-enabled"));
}

void AutostartLoginItem::setEnabled(bool on) {
  const fs::path entry = entryPath();
  std::error_code ec;
  if (!on) {
    // Refused for a configuration folder that isn't absolute: the working
    // folder is no place of the user's settings.
    ec = FileRemoval::removeInside(entry.parent_path(), entry, FileRemoval::Reach::entry);
    if (ec)
      throw LoginItemError("Couldn't remove " + TextTrim::writtenOut(entry.native()) + ": " +
                           ec.message());
    return;
  }
  const std::string program = executable_.string();
  // A desktop entry is UTF-8 and its program an absolute path.
  if (!executable_.is_absolute() || !FileSystem::isValidUtf8(program)) {
    throw LoginItemError("The program's path " + TextTrim::writtenOut(program) +
                         " can't be written into an autostart entry.");
  }
  fs::create_directories(entry.parent_path(), ec);
  if (ec) {
    throw LoginItemError("Couldn't make the folder " +
                         TextTrim::writtenOut(entry.parent_path().native()) + ": " + ec.message());
  }
  try {
    FileSystem::writeAtomically(entry, entryContent(executable_));
  } catch (const FileError& error) {
    throw LoginItemError(error.what());
  }
}

}  // namespace larkvale
