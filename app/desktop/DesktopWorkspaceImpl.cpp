#include "app/desktop/DesktopWorkspaceImpl.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFile>
#include <QStringList>
#include <map>
#include <set>

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

QUrl folderUrl(const fs::path& path) {
  fs::path normal = path.lexically_normal();
  if (!normal.has_filename()) normal = normal.parent_path();
  return QUrl::fromLocalFile(QFile::decodeName(normal.parent_path().c_str()));
}

}  // namespace

DesktopWorkspaceImpl::DesktopWorkspaceImpl() : DesktopWorkspaceImpl(Environment{}) {}

DesktopWorkspaceImpl::DesktopWorkspaceImpl(Environment environment)
    : environment_(std::move(environment)), calls_(std::make_unique<QObject>()) {
  if (!environment_.open)
    environment_.open = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
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
  if (scheme == QLatin1String("mailto")) return url;
  return std::nullopt;
}

void DesktopWorkspaceImpl::openUrl(const std::string& url) {
  if (auto openable = openableUrl(url)) environment_.open(*openable);
}

void DesktopWorkspaceImpl::reveal(const fs::path& path) {
  std::error_code ec;
  const fs::path absolute = fs::absolute(path, ec).lexically_normal();
  auto openFolder = [open = environment_.open, folder = folderUrl(absolute)] { open(folder); };
  QDBusConnection& bus = environment_.bus;
  if (!bus.isConnected()) {
    openFolder();
    return;
  }
  QDBusMessage call = QDBusMessage::createMethodCall(
      QString::fromLatin1(kFileManagerService), QString::fromLatin1(kFileManagerPath),
      QString::fromLatin1(kFileManagerService), QStringLiteral("ShowItems"));
  const QString item =
      QUrl::fromLocalFile(QFile::decodeName(absolute.c_str())).toString(QUrl::FullyEncoded);
  call << QStringList{item} << QString();
  auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, kCallTimeoutMs), calls_.get());
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, calls_.get(),
                   [openFolder](QDBusPendingCallWatcher* reply) {
                     if (reply->isError()) openFolder();
                     reply->deleteLater();
                   });
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
