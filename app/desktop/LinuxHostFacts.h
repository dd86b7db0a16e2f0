#pragma once
// Facts about this computer.
//
// macName: the pretty name the user gave the computer (PRETTY_HOSTNAME in
// /etc/machine-info), else its host name.
// systemVersion: known only where the system keeps a SystemVersion.plist
// (ProductVersion as "major.minor.patch"); a Linux system has none, and its
// own version numbers would be meaningless to feeds that compare against the
// other platform's, so it answers nothing there.
// runningPath: the running program (/proc/self/exe), or its application
// bundle when it runs from one (".../Name.app/Contents/MacOS/program").
//
// Threads: any. Reads small local files.
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "app/model/AppServices.h"

namespace larkvale {

class LinuxHostFacts final : public HostFacts {
 public:
  struct Sources {
    std::filesystem::path machineInfo = "/etc/machine-info";
    std::filesystem::path systemVersionPlist = "/System/Library/CoreServices/SystemVersion.plist";
    // The proc folder of this process.
    std::filesystem::path selfProcess = "/proc/self";
    // The host name; by default the kernel's.
    std::function<std::optional<std::string>()> hostName;
  };

  LinuxHostFacts();
  explicit LinuxHostFacts(Sources sources);

  std::optional<std::string> macName() override;
  std::optional<std::string> systemVersion() override;
  // Empty when the program's path can't be read.
  std::filesystem::path runningPath() override;

 private:
  Sources sources_;
};

}  // namespace larkvale
