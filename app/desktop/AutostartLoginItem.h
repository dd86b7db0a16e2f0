#pragma once
// Starting the app when the user logs in, through an XDG autostart entry:
// "larkvale.desktop" in the "autostart" folder of the user's configuration
// folder ($XDG_CONFIG_HOME, else ~/.config). The entry starts the program
// with kLoginItemArgument, by which the app knows that it was started at
// login and opens no window.
//
// The entry counts as on when the file is there and is not hidden (Hidden,
// or GNOME's X-GNOME-Autostart-enabled set to false); turning it off removes
// the file. The file is written atomically.
//
// Threads: any, one call at a time. Blocks only on the local disk.
#include <filesystem>

#include "app/model/AppServices.h"

namespace larkvale {

class AutostartLoginItem final : public LoginItem {
 public:
  // The argument that marks a launch at login.
  static constexpr const char* kLoginItemArgument = "--login-item";
  static constexpr const char* kEntryName = "larkvale.desktop";

  // `configFolder` is the user's configuration folder (the entry goes into
  // its "autostart" folder); `executable` is the absolute path of the
  // program the entry starts.
  AutostartLoginItem(std::filesystem::path configFolder, std::filesystem::path executable);

  // The configuration folder of the user with this home: `xdgConfigHome`
  // (the value of $XDG_CONFIG_HOME, which the caller reads) when it is an
  // absolute path, else home/.config. Reads nothing itself.
  static std::filesystem::path configFolder(const std::filesystem::path& home,
                                            const char* xdgConfigHome);

  std::filesystem::path entryPath() const;

  bool isEnabled() override;
  // Throws LoginItemError with the reason when the entry can't be written or
  // removed, or when the program's path can't be written into one.
  void setEnabled(bool on) override;

  // The entry's content for `executable`.
  static std::string entryContent(const std::filesystem::path& executable);

 private:
  std::filesystem::path configFolder_;
  std::filesystem::path executable_;
};

}  // namespace larkvale
