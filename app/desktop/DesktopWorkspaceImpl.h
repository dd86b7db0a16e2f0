#pragma once
// The desktop's shell: opening links, showing files in the file manager and
// naming the running programs.
//
// Links: only web and mail links are opened (http, https, mailto); an App
// Store link ("macappstore://host/path") opens the same page on the web.
// Anything else (file:, custom schemes) is not opened, since links come from
// feeds and release notes written by others.
//
// Reveal: the file manager's org.freedesktop.FileManager1.ShowItems on the
// session bus, which shows the item selected in its folder; when no file
// manager answers, the containing folder is opened instead.
//
// Running programs: this system has no bundle identifiers for most
// programs, so runningBundleIdentifiers answers, for every process that can
// be seen:
//   - the bundle identifier (CFBundleIdentifier) of an application bundle
//     whose Contents/MacOS program the process runs;
//   - its program's file name and its short command name, lowercased;
//   - every identifier among `knownIdentifiers` whose last dot-separated
//     piece, lowercased, equals one of those names ("org.mozilla.Firefox"
//     while a "firefox" process runs).
// A caller that lowercases an app's bundle identifier and looks it up in the
// lowercased answer so finds the apps that run as bundles, and the known apps
// whose program carries the identifier's last piece as its name. The
// application hands in the identifiers of the installed apps as the known
// ones.
//
// Threads: openUrl and reveal on the main thread, and they never block;
// runningBundleIdentifiers reads the proc file system and may be called from
// any thread (with a knownIdentifiers that may be, too).
#include <QDBusConnection>
#include <QObject>
#include <QUrl>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/model/AppServices.h"

namespace larkvale {

class DesktopWorkspaceImpl final : public DesktopWorkspace {
 public:
  static constexpr const char* kFileManagerService = "org.freedesktop.FileManager1";
  static constexpr const char* kFileManagerPath = "/org/freedesktop/FileManager1";
  static constexpr int kCallTimeoutMs = 10000;

  struct Environment {
    // Opens a URL with the desktop's default handler; by default
    // QDesktopServices::openUrl.
    std::function<bool(const QUrl&)> open;
    // Bundle identifiers worth matching by their last piece; may be empty.
    std::function<std::vector<std::string>()> knownIdentifiers;
    std::filesystem::path procRoot = "/proc";
    QDBusConnection bus = QDBusConnection::sessionBus();
  };

  DesktopWorkspaceImpl();
  explicit DesktopWorkspaceImpl(Environment environment);
  ~DesktopWorkspaceImpl() override;

  void openUrl(const std::string& url) override;
  void reveal(const std::filesystem::path& path) override;
  std::vector<std::string> runningBundleIdentifiers() override;

  // The URL that openUrl would open for the text, or nothing when it opens
  // nothing.
  static std::optional<QUrl> openableUrl(const std::string& url);

 private:
  Environment environment_;
  // Owns the pending file-manager calls, so none outlives this object.
  std::unique_ptr<QObject> calls_;
};

}  // namespace larkvale
