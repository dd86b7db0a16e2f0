#include "app/shell/SocketFolders.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QSaveFile>

#include "app/model/ShownText.h"

namespace larkvale::socket_folders {
namespace {

// What a socket's address holds, less its terminating NUL and one byte more:
// QLocalServer won't listen on a path that fills all but the NUL (a 107-byte
// path in Linux's 108-byte address fails to bind), and a path the listener
// refuses would leave later launches with no way to hand over.
constexpr qsizetype kMaxSocketPath = sizeof(sockaddr_un{}.sun_path) - 2;

// A folder on the walk is only looked at and named, never read: a folder the
// user may pass through but not list is as good as any other.
#ifdef O_PATH
constexpr int kWalkFlags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

#else
constexpr int kWalkFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

#endif

// A folder that only root and this user can change: owned by one of them,
// and writable by no one else unless its sticky bit keeps others from
// renaming or removing what isn't theirs. The sticky bit doesn't hold back
// the folder's owner, so a sticky folder of another user's is no better
// than an open one.
bool keepsOthersOut(const Descriptor& folder) {
  struct stat info = {};
  if (folder.get() < 0 || ::fstat(folder.get(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
  if (info.st_uid != 0 && info.st_uid != ::geteuid()) return false;
  return (info.st_mode & (S_IWGRP | S_IWOTH)) == 0 || (info.st_mode & S_ISVTX) != 0;
}

// A folder that belongs to this user and that no one else may enter or list.
bool privateToUser(const Descriptor& folder) {
  struct stat info = {};
  return ::fstat(folder.get(), &info) == 0 && info.st_uid == ::geteuid() &&
         (info.st_mode & 077) == 0;
}

// The random part of a short folder's name, as long as mkdtemp's.
constexpr int kTailLength = 6;

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

constexpr int kAlphabetSize = static_cast<int>(sizeof(kAlphabet) - 1);

// The names in `parent` that are named as short folders of `name` are, in
// order. A shared temporary folder may hold a great many entries: they are
// read as the system gives them, and only the few of the name are made
// into text.
QStringList shortFolderNamesIn(const TrustedFolder& parent, const QString& name) {
  QStringList leaves;
  const int fd = ::openat(parent.descriptor.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return leaves;
  const auto close = [](DIR* open) { ::closedir(open); };
  const std::unique_ptr<DIR, decltype(close)> folder(::fdopendir(fd), close);
  if (!folder) {
    ::close(fd);
    return leaves;
  }
  const QByteArray prefix = QFile::encodeName(name) + '-';
  const auto length = static_cast<size_t>(prefix.size() + kTailLength);
  while (const dirent* entry = ::readdir(folder.get())) {
    if (std::strlen(entry->d_name) != length ||
        std::memcmp(entry->d_name, prefix.constData(), static_cast<size_t>(prefix.size())) != 0)
      continue;
    if (const QString leaf = QFile::decodeName(entry->d_name); namedAsShortFolder(leaf, name))
      leaves << leaf;
  }
  leaves.sort();
  return leaves;
}

}  // namespace

bool fitsSocketAddress(const QString& path) {
  return QFile::encodeName(path).size() <= kMaxSocketPath;
}

std::optional<TrustedFolder> trustedFolder(const QString& folder) {
  const std::unique_ptr<char, decltype(&::free)> resolved(
      ::realpath(QFile::encodeName(folder).constData(), nullptr), &::free);
  if (!resolved) return std::nullopt;
  const QByteArray real(resolved.get());
  Descriptor at(::open("/", kWalkFlags));
  if (!keepsOthersOut(at)) return std::nullopt;
  for (const QByteArray& part : real.split('/')) {
    if (part.isEmpty()) continue;
    Descriptor next(::openat(at.get(), part.constData(), kWalkFlags));
    if (!keepsOthersOut(next)) return std::nullopt;
    at = std::move(next);
  }
  return TrustedFolder{QFile::decodeName(real), std::move(at)};
}

QStringList shortFolderBases() {
  QStringList bases{QDir::cleanPath(QDir::tempPath())};
  if (!bases.contains(QStringLiteral("/tmp"))) bases << QStringLiteral("/tmp");
  return bases;
}

std::optional<TrustedFolder> shortFolderParent(const QString& base, const QString& name) {
  std::optional<TrustedFolder> parent = trustedFolder(base);
  if (!parent) return std::nullopt;
  const QString likeMade =
      QDir(parent->path)
          .filePath(name + QLatin1Char('-') + QString(kTailLength, QLatin1Char('X')) +
                    QLatin1Char('/') + name + QStringLiteral(".socket"));
  if (!fitsSocketAddress(likeMade)) return std::nullopt;
  return parent;
}

QString makePrivateFolderIn(const QString& base, const QString& name) {
  std::optional<TrustedFolder> parent = shortFolderParent(base, name);
  if (!parent) return {};
  // Another name is tried only while the one drawn is taken.
  for (int attempt = 0; attempt < 100; ++attempt) {
    QString leaf = name + QLatin1Char('-');
    for (int i = 0; i < kTailLength; ++i)
      leaf += QLatin1Char(kAlphabet[QRandomGenerator::system()->bounded(kAlphabetSize)]);
    if (::mkdirat(parent->descriptor.get(), QFile::encodeName(leaf).constData(), 0700) == 0)
      return QDir(parent->path).filePath(leaf);
    if (errno != EEXIST) return {};
  }
  return {};
}

QString agreedLeaf(const QString& state, const QString& name) {
  const QByteArray hash = QCryptographicHash::hash(instance_name::nameFor(::geteuid(), state, name),
                                                   QCryptographicHash::Sha256);
  QString leaf = name + QLatin1Char('-');
  for (int i = 0; i < kTailLength; ++i)
    leaf += QLatin1Char(kAlphabet[static_cast<unsigned char>(hash[i]) % kAlphabetSize]);
  return leaf;
}

bool namedAsShortFolder(const QString& leaf, const QString& name) {
  if (leaf.size() != name.size() + 1 + kTailLength || !leaf.startsWith(name + QLatin1Char('-')))
    return false;
  return std::all_of(leaf.end() - kTailLength, leaf.end(), [](QChar c) {
    return c.unicode() < 128 && std::isalnum(static_cast<unsigned char>(c.unicode()));
  });
}

QString privateFolder(const QString& folder) {
  if (!QDir::isAbsolutePath(folder)) return {};
  std::optional<TrustedFolder> trusted = trustedFolder(folder);
  if (!trusted || trusted->path != folder || !privateToUser(trusted->descriptor)) return {};
  return folder;
}

bool userSocketAt(const QString& path) {
  struct stat info = {};
  return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISSOCK(info.st_mode) &&
         info.st_uid == ::geteuid();
}

bool listenerAt(const QString& path) {
  const QByteArray encoded = QFile::encodeName(path);
  sockaddr_un address = {};
  if (encoded.isEmpty() || encoded.size() >= static_cast<qsizetype>(sizeof(address.sun_path)))
    return false;
  address.sun_family = AF_UNIX;
  std::copy(encoded.begin(), encoded.end(), address.sun_path);
  Descriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (socket.get() < 0) return false;
  const int connected =
      ::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address));
  return connected == 0 || errno == EAGAIN || errno == EINPROGRESS;
}

bool lockHeldIn(const QString& folder, const QString& name) {
  QLockFile lock(QDir(folder).filePath(name + QStringLiteral(".lock")));
  qint64 pid = 0;
  QString host;
  QString app;
  if (!lock.getLockInfo(&pid, &host, &app) || pid <= 0) return false;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

QString readRecord(const QString& recordPath, const QString& name) {
  QFile record(recordPath);
  if (!QDir::isAbsolutePath(recordPath) || !record.open(QIODevice::ReadOnly)) return {};
  const QString folder = QFile::decodeName(record.read(4096).trimmed());
  if (!fitsSocketAddress(QDir(folder).filePath(name + QStringLiteral(".socket")))) return {};
  // Only the real path, as this instance writes it: a record that names a
  // link, or anything but a whole clean path, wasn't written here.
  return privateFolder(folder);
}

QString stateNotePath(const QString& shortFolder, const QString& name) {
  return QDir(shortFolder).filePath(name + QStringLiteral(".state-folder"));
}

void noteStateFolder(const QString& shortFolder, const QString& name, const QString& state) {
  QSaveFile note(stateNotePath(shortFolder, name));
  if (!note.open(QIODevice::WriteOnly) || note.write(QFile::encodeName(state) + '\n') < 0 ||
      !note.commit())
    qWarning("Larkvale can't note its state folder in %s.", qPrintable(shown::path(shortFolder)));
}

QStringList shortFoldersIn(const QStringList& bases, const QString& name, const QString& state) {
  QStringList found;
  for (const QString& base : bases) {
    std::optional<TrustedFolder> parent = trustedFolder(base);
    if (!parent) continue;
    for (const QString& leaf : shortFolderNamesIn(*parent, name)) {
      // Others' folders of the name are passed over before the walk up.
      const QString path = QDir(parent->path).filePath(leaf);
      struct stat info = {};
      if (::lstat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
          info.st_uid != ::geteuid())
        continue;
      const QString folder = privateFolder(path);
      if (folder.isEmpty() || found.contains(folder)) continue;
      QFile note(stateNotePath(folder, name));
      if (QFileInfo(note).isFile() && note.open(QIODevice::ReadOnly) &&
          note.read(4096).trimmed() == QFile::encodeName(state))
        found << folder;
    }
  }
  return found;
}
}  // namespace larkvale::socket_folders
