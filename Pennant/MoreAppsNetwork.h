#pragma once
// Whether this process may open outgoing connections at all. On this system
// the one sandbox a desktop app runs in is Flatpak: a process is sandboxed
// when "/.flatpak-info" exists, and a network client when that file's
// [Context] section shares "network". Worked out once per process; any thread.
#include <string_view>

namespace pennant::MoreAppsNetwork {

// Not sandboxed, or sandboxed but allowed to be a network client.
constexpr bool allows(bool sandboxed, bool networkClient) {
  return !sandboxed || networkClient;
}

// Whether the "shared=" list of the [Context] section of a Flatpak info file
// names "network".
bool sharesNetwork(std::string_view flatpakInfo);

// The flag for the running process, read on first use and kept.
bool allowed();

}  // namespace pennant::MoreAppsNetwork
