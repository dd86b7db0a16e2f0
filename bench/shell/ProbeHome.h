#pragma once
// The environment a probed program runs in: a home of its own under `home`,
// with a private runtime folder, and a session bus address that leads
// nowhere, so that no bench reaches the user's folders or bus.
#include <filesystem>
#include <string>
#include <vector>

namespace probe {

inline std::vector<std::string> environment(const std::filesystem::path& home,
                                            const std::string& platform,
                                            const std::string& display) {
  std::filesystem::create_directories(home / "run");
  std::filesystem::permissions(home / "run", std::filesystem::perms::owner_all);
  return {"QT_QPA_PLATFORM=" + platform,
          "DISPLAY=" + display,
          "HOME=" + home.string(),
          "XDG_RUNTIME_DIR=" + (home / "run").string(),
          "XDG_CONFIG_HOME=" + (home / "config").string(),
          "XDG_DATA_HOME=" + (home / "data").string(),
          "XDG_CACHE_HOME=" + (home / "cache").string(),
          "DBUS_SESSION_BUS_ADDRESS=unix:path=" + (home / "no-bus").string(),
          "PATH=/usr/bin:/bin"};
}

}  // namespace probe
