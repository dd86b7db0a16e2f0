#pragma once
// The desktop's shell: opening links, showing files in the file manager and
// naming the running programs.
//
// Links: only web links (http, https) of at most kMaxUrlBytes are opened; an
// App Store link ("macappstore://host/path") opens the same page on the web.
// Anything else (file:, mailto:, custom schemes) is not opened, since links
// come from feeds and release notes written by others. The desktop's opener
// (xdg-open) gets the link as its one argument; its exit status tells whether
// a browser took it. An opener still running after kOpenerPatienceMs has
// handed the link on (some run the browser in the foreground) and counts as
// done.
//
// Reveal: the file manager's org.freedesktop.FileManager1.ShowItems on the
// session bus, which shows the item selected in its folder; when no file
// manager answers, the opener opens the containing folder instead.
//
// Every failure comes back as a sentence that says what to do instead.
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
#include <QFuture>
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
  static constexpr int kOpenerPatienceMs = 10000;
  static constexpr size_t kMaxUrlBytes = 8192;

  struct Environment {
    // The program that opens a URL with the desktop's default handler, given
    // the URL as its argument; a name is looked up in PATH.
    QString opener = QStringLiteral("xdg-open");
    // Bundle identifiers worth matching by their last piece; may be empty.
    std::function<std::vector<std::string>()> knownIdentifiers;
    std::filesystem::path procRoot = "/proc";
    QDBusConnection bus = QDBusConnection::sessionBus();
  };

  DesktopWorkspaceImpl();
  explicit DesktopWorkspaceImpl(Environment environment);
  ~DesktopWorkspaceImpl() override;

  QFuture<Failure> openUrl(const std::string& url) override;
  QFuture<Failure> reveal(const std::filesystem::path& path) override;
  std::vector<std::string> runningBundleIdentifiers() override;

  // The URL that openUrl would open for the text, or nothing when it opens
  // nothing.
  static std::optional<QUrl> openableUrl(const std::string& url);

 private:
  // Runs the opener on `url`; `folder` is named in the failure when a folder
  // was to be shown.
  QFuture<Failure> runOpener(const QUrl& url, const QString& folder);

  Environment environment_;
  // Owns the pending file-manager calls, so none outlives this object.
  std::unique_ptr<QObject> calls_;
};

}  // namespace larkvale
