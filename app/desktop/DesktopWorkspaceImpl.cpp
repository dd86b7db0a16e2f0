#include "app/desktop/DesktopWorkspaceImpl.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QFile>
#include <QProcess>
#include <QPromise>
#include <QStringList>
#include <QTimer>
#include <map>
#include <set>

#include "app/model/ShownText.h"
#include "platform/FileSystem.h"
#include "platform/Processes.h"
#include "platform/PropertyList.h"

namespace larkvale {
namespace {

namespace fs = std::filesystem;

std::string lowercased(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

std::optional<std::string> bundleIdentifier(const fs::path& bundle) {
  auto bytes =
      FileSystem::readFile(bundle / "Contents" / "Info.plist", PropertyList::kMaxInfoPlistBytes);
  auto plist = bytes ? PropertyList::parse(*bytes) : std::nullopt;
  const PlistDict* info = plist ? plist->dict() : nullptr;
  if (!info) return std::nullopt;
  auto entry = info->find("CFBundleIdentifier");
  if (entry == info->end() || !entry->second.string() || entry->second.string()->empty())
    return std::nullopt;
  return *entry->second.string();
}

std::string lastPiece(const std::string& identifier) {
  size_t dot = identifier.rfind('.');
  return dot == std::string::npos ? identifier : identifier.substr(dot + 1);
}

QString folderOf(const fs::path& path) {
  fs::path normal = path.lexically_normal();
  if (!normal.has_filename()) normal = normal.parent_path();
  return QFile::decodeName(normal.parent_path().c_str());
}

using Failure = DesktopWorkspace::Failure;

QFuture<Failure> failed(const QString& sentence) {
  return QtFuture::makeReadyFuture(Failure(sentence.toStdString()));
}

// xdg-open's exit status 3: no program is set up for this kind of item.
constexpr int kNoMethod = 3;

QString openerFailure(const QString& folder, std::optional<int> exitCode) {
  if (!folder.isEmpty()) {
    return QCoreApplication::translate("DesktopWorkspace",
                                       "No file manager could be started. It is in the folder %1.")
        .arg(shown::path(folder));
  }
  if (!exitCode) {
    return QCoreApplication::translate(
        "DesktopWorkspace",
        "xdg-open, which hands links to the browser, isn't installed. Install the package "
        "xdg-utils.");
  }
  if (*exitCode == kNoMethod) {
    return QCoreApplication::translate(
        "DesktopWorkspace",
        "No web browser is set up on this desktop. Choose a default web browser in the "
        "desktop's settings.");
  }
  return QCoreApplication::translate(
             "DesktopWorkspace",
             "The browser didn't start (xdg-open stopped with code %1). Check the default web "
             "browser in the desktop's settings.")
      .arg(*exitCode);
}

}  // namespace

DesktopWorkspaceImpl::DesktopWorkspaceImpl() : DesktopWorkspaceImpl(Environment{}) {}

DesktopWorkspaceImpl::DesktopWorkspaceImpl(Environment environment)
    : environment_(std::move(environment)), calls_(std::make_unique<QObject>()) {}

QFuture<Failure> DesktopWorkspaceImpl::runOpener(const QUrl& url, const QString& folder) {
  auto promise = std::make_shared<QPromise<Failure>>();
  promise->start();
  auto settle = [promise](Failure failure) {
    if (promise->future().isFinished()) return;
    promise->addResult(std::move(failure));
    promise->finish();
  };
  auto* process = new QProcess(calls_.get());
  process->setProgram(environment_.opener);
  process->setArguments({url.toString(QUrl::FullyEncoded)});
  process->setStandardInputFile(QProcess::nullDevice());
  process->setProcessChannelMode(QProcess::ForwardedChannels);
  QObject::connect(process, &QProcess::errorOccurred, process,
                   [process, settle, folder](QProcess::ProcessError error) {
                     if (error != QProcess::FailedToStart) return;
                     settle(openerFailure(folder, std::nullopt).toStdString());
                     process->deleteLater();
                   });
  QObject::connect(process, &QProcess::finished, process,
                   [process, settle, folder](int code, QProcess::ExitStatus status) {
                     const bool ok = status == QProcess::NormalExit && code == 0;
                     settle(ok ? Failure() : Failure(openerFailure(folder, code).toStdString()));
                     process->deleteLater();
                   });
  QTimer::singleShot(kOpenerPatienceMs, process, [settle] { settle(std::nullopt); });
  process->start();
  return promise->future();
}

DesktopWorkspaceImpl::~DesktopWorkspaceImpl() = default;

std::optional<QUrl> DesktopWorkspaceImpl::openableUrl(const std::string& text) {
  QUrl url(QString::fromStdString(text), QUrl::StrictMode);
  if (!url.isValid()) return std::nullopt;
  const QString scheme = url.scheme().toLower();
  if (scheme == QLatin1String("macappstore")) {
    url.setScheme(QStringLiteral("https"));
    return url.host().isEmpty() ? std::nullopt : std::optional<QUrl>(url);
  }
  if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
    return url.host().isEmpty() ? std::nullopt : std::optional<QUrl>(url);
  return std::nullopt;
}

QFuture<Failure> DesktopWorkspaceImpl::openUrl(const std::string& url) {
  if (url.size() > kMaxUrlBytes) {
    return failed(QCoreApplication::translate(
                      "DesktopWorkspace",
                      "The link is longer than %1 characters; Larkvale doesn't pass on links "
                      "that long.")
                      .arg(kMaxUrlBytes));
  }
  auto openable = openableUrl(url);
  if (!openable)
    return failed(QCoreApplication::translate("DesktopWorkspace",
                                              "Larkvale opens only web links (http and https)."));
  return runOpener(*openable, {});
}

QFuture<Failure> DesktopWorkspaceImpl::reveal(const fs::path& path) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(path, ec).lexically_normal();
  const QString folder = folderOf(absolute);
  QDBusConnection& bus = environment_.bus;
  if (!bus.isConnected()) return runOpener(QUrl::fromLocalFile(folder), folder);
  auto promise = std::make_shared<QPromise<Failure>>();
  promise->start();
  auto openFolder = [this, promise, folder] {
    runOpener(QUrl::fromLocalFile(folder), folder).then([promise](Failure failure) {
      promise->addResult(std::move(failure));
      promise->finish();
    });
  };
  QDBusMessage call = QDBusMessage::createMethodCall(
      QString::fromLatin1(kFileManagerService), QString::fromLatin1(kFileManagerPath),
      QString::fromLatin1(kFileManagerService), QStringLiteral("ShowItems"));
  const QString item =
      QUrl::fromLocalFile(QFile::decodeName(absolute.c_str())).toString(QUrl::FullyEncoded);
  call << QStringList{item} << QString();
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kCallTimeoutMs), calls_.get());
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, calls_.get(),
                   [openFolder, promise](QDBusPendingCallWatcher* reply) {
                     if (reply->isError()) {
                       openFolder();
                     } else {
                       promise->addResult(Failure());
                       promise->finish();
                     }
                     reply->deleteLater();
                   });
  return promise->future();
}

std::vector<std::string> DesktopWorkspaceImpl::runningBundleIdentifiers() {
  std::set<std::string> identifiers;
  std::set<std::string> names;
  std::map<fs::path, std::optional<std::string>> bundles;  // read once per bundle
  for (const RunningProcess& process : Processes::list(environment_.procRoot)) {
    if (!process.name.empty()) names.insert(lowercased(process.name));
    if (!process.executable) continue;
    names.insert(lowercased(process.executable->filename().string()));
    if (auto bundle = Processes::bundleOf(*process.executable)) {
      auto [found, added] = bundles.try_emplace(*bundle);
      if (added) found->second = bundleIdentifier(*bundle);
      if (found->second) identifiers.insert(*found->second);
    }
  }
  if (environment_.knownIdentifiers) {
    for (const std::string& known : environment_.knownIdentifiers()) {
      if (names.count(lowercased(lastPiece(known)))) identifiers.insert(known);
    }
  }
  std::vector<std::string> answer(identifiers.begin(), identifiers.end());
  for (const std::string& name : names) {
    if (!identifiers.count(name)) answer.push_back(name);
  }
  return answer;
}

}  // namespace larkvale
