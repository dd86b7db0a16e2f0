#pragma once
// Opening applications as the desktop does. On this system an application
// bundle runs only when its Contents/MacOS/<CFBundleExecutable> (named in
// Contents/Info.plist) is a program this system can start.
#include <cstdint>
#include <filesystem>
#include <functional>

#include "platform/Error.h"

namespace larkvale {

// An application could not be opened; what() is the user-facing reason.
class WorkspaceError : public Error {
 public:
  using Error::Error;
};

// An application that the workspace has opened.
struct RunningApplication {
  int32_t processIdentifier = 0;
  // Whether the application has finished launching. Never empty; may be
  // called repeatedly, from the thread that opened the application.
  std::function<bool()> isFinishedLaunching;
};

class Workspace {
 public:
  virtual ~Workspace() = default;

  // Opens the application bundle at `bundle` and brings it to the front where
  // the desktop allows. Returns once the application is running (not
  // necessarily finished launching). Throws WorkspaceError when it can't be
  // opened.
  virtual RunningApplication openApplication(const std::filesystem::path& bundle) = 0;
};

// Starts the bundle's executable detached from this process. There is no
// launch handshake here: once the kernel has accepted the program it counts as
// finished launching. Thread-safe.
class SystemWorkspace final : public Workspace {
 public:
  RunningApplication openApplication(const std::filesystem::path& bundle) override;
};

}  // namespace larkvale
