#include "platform/UserFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

namespace larkvale {
namespace {

std::filesystem::path absoluteEnv(const char* name) {
  const char* value = std::getenv(name);
  if (!value || value[0] != '/') return {};
  return value;
}

std::filesystem::path homeFolder() {
  if (auto home = absoluteEnv("HOME"); !home.empty()) return home;
  // An account whose home is empty or relative would put the app's folders
  // wherever it happens to be started.
  if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/')
    return pw->pw_dir;
  return "/";
}

}  // namespace

UserFolders UserFolders::underHome(const std::filesystem::path& home) {
  return {home, home / ".local" / "share", home / ".cache"};
}

UserFolders UserFolders::current() {
  UserFolders folders = underHome(homeFolder());
  if (auto data = absoluteEnv("XDG_DATA_HOME"); !data.empty()) folders.applicationSupport = data;
  if (auto cache = absoluteEnv("XDG_CACHE_HOME"); !cache.empty()) folders.caches = cache;
  return folders;
}

}  // namespace larkvale
