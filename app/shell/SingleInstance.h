#pragma once
// One running Larkvale per user, decided by who answers. The running copy
// answers on its name (InstanceName.h), an address that lives exactly as
// long as the copy and that no file holds, and on a local socket in a
// folder; a later launch hands its request to it and ends. A launch asks the
// name first, before it takes a lock, lists a place or reads a folder: when
// a copy of this user's answers there, nothing else is looked at. Otherwise,
// before it runs as the first copy, it looks in every place where a copy of
// this user's may listen and hands over to any that answers: a lock file
// alone is no proof, since anyone may remove it (resetting the app removes
// the state folder) and a copy of another build keeps its lock elsewhere. A
// socket that accepts a connection is never removed; only one that nobody
// answers on is. Only this user is heard, on the name and in every folder:
// another user's connection is closed before it is read. Main thread only.
//
// The name is the last word between launches that start at once: of two
// that both took a lock (in different places, their environments naming
// different folders), the one that finds the name taken by its own user
// hands over. When another user's program holds the name first, the copy
// runs through its files alone and says so in a warning line; it never
// refuses to start for that. The files also serve launches in another
// network namespace, where the name can't be seen, and copies of an
// earlier build.
//
// The lock serialises launches that start at once. It goes where it can be
// made: "<name>.lock" in the state folder, else in the runtime folder, else
// in the short folder (below). A state folder that can't be written only
// keeps the app from saving, never from starting; only when no lock can be
// made anywhere does the launch not run.
//
// A request is one line: its kind, then optionally a space and the later
// launch's startup-notification token, which lets the running copy raise its
// window past the window manager's focus-stealing prevention. A peer that
// connects and doesn't send a line soon is dropped, and only a few peers are
// heard at a time.
//
// The socket is looked up by its path, by the listener and by every later
// launch, so it is used only where that path leads where it was checked: in a
// folder that it and every folder above it keep others out (owned by root or
// the user, and writable by no one else unless sticky), named by its real
// path. Another user could otherwise move a folder of theirs, and a listener
// in it, into the path between the check and the use.
//
// The socket goes in the socket folder it is given (the user's runtime
// folder, when runtimeFolder() finds a usable one) when that can be trusted
// so and its path fits a socket's address (a little more than 100 bytes).
// Otherwise it lives in a short folder: one of the user's own in the
// temporary folder (or, when that won't do, in /tmp), made 0700, whose name
// is first the one this state folder's copies all choose alike, and an
// unguessable one while that is another's. The short folder is made, and a
// named one used, only in a temporary folder trusted by the same rule; a
// folder named there is used only while it is still a real folder of this
// user's that no one else may enter, named as this instance names them, so
// another user can neither squat, redirect nor swap it. The running copy
// writes where it listens into "<name>.socket-folder" beside its lock, so
// that a later launch whose environment names another runtime folder, or
// none, still finds it.
#include <QByteArray>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <QStringList>
#include <chrono>
#include <memory>
#include <utility>

class QLocalServer;
class QLocalSocket;

namespace larkvale {

class SingleInstance : public QObject {
  Q_OBJECT
 public:
  // What a later launch asks of the running one.
  static constexpr const char* openRequest = "open";             // a launch by the user
  static constexpr const char* loginItemRequest = "login-item";  // a launch at log-in

  enum class Claim {
    first,   // this is the running instance now
    later,   // another instance answers or holds the lock: hand over and end
    failed,  // no lock could be taken anywhere: don't run (see errorString())
  };

  // The startup-notification token this launch was given
  // ($XDG_ACTIVATION_TOKEN on Wayland, $DESKTOP_STARTUP_ID on X11), empty
  // when none. Read it before the QApplication is made: Qt takes it out of
  // the environment.
  static QByteArray launchToken();
  // A request line of `kind` carrying `token`.
  static QByteArray request(const char* kind, const QByteArray& token);
  // A request line split into its kind and its token (empty when none, or
  // when it holds anything but printable ASCII).
  static std::pair<QByteArray, QByteArray> parse(const QByteArray& request);

  // $XDG_RUNTIME_DIR when it is set and names, by its real path, a folder of
  // the user's own that no one else may enter (0700) and that is trusted as
  // a socket's folder must be; empty otherwise. Never a folder made up in its
  // place: one in the shared temporary folder is a name that any user may
  // take or free before a launch.
  static QString runtimeFolder();

  // `lockFolder` (absolute: the state folder) holds the lock ("<name>.lock")
  // and the record of where the copy listens, when they can be made there;
  // `socketFolder` (the runtime folder) is where the socket ("<name>.socket")
  // goes when it may (empty: always a short folder), and where the lock goes
  // when the state folder won't take it.
  // `name` lets the demo keep a guard of its own beside the app's.
  SingleInstance(QString lockFolder, QString socketFolder,
                 QString name = QStringLiteral("larkvale"), QObject* parent = nullptr);
  ~SingleInstance() override;

  // Where short folders may go, in order (absolute); by default the
  // temporary folder, then /tmp. Call before claim().
  void setTemporaryFolders(QStringList folders);
  // Whether this instance answers on its name, and asks it for the running
  // copy (on by default). Off, the files alone decide, as they do for a
  // launch in another network namespace. Call before claim().
  void answerOnName(bool on) { nameOn_ = on; }
  // The name this instance answers on and asks (instance_name::nameFor, for
  // this user and the lock folder); empty while the lock folder isn't
  // absolute or the name is off.
  QByteArray answeringName() const;

  // Becomes the running instance when no other copy answers on the name or
  // in any place where one may listen, none holds the lock and no copy of
  // this user's took the name meanwhile, and from then on emits
  // requested() for each later launch. The lock goes in the first place that
  // takes it (making the lock folder when it is missing). Fails only when no
  // place takes a lock.
  Claim claim();
  // Why the last claim() failed, each place's reason in turn, as plain text
  // with its paths written out (shown::path).
  QString errorString() const { return error_; }

  // A later launch: hands `request` to the running instance, waiting at most
  // `timeout` for it to answer. True once it has taken the request. The name
  // is tried first, then every place where a copy may listen
  // (copyPlaces()); not a byte goes to a listener of another user's.
  bool handOver(const QByteArray& request,
                std::chrono::milliseconds timeout = std::chrono::seconds(5)) const;

  // Where this instance listens, or looks first for the running one:
  // "<name>.socket" in the socket folder, or in the short folder named
  // beside the lock when the socket folder is empty, can't be trusted or
  // is too deep for a socket; empty while no usable short folder is named.
  QString socketPath() const;
  // Every socket where a running copy of this user's may listen, each after
  // the trust checks above: in the socket folder; in the folders recorded
  // beside the lock and beside the socket folder (where a copy of an earlier
  // build kept its lock); and in the short folders of this name in the
  // temporary folders. None is looked at beyond its name and type.
  QStringList copyPlaces() const;
  // The first of copyPlaces() on which a copy answers (accepts a
  // connection); empty when none does.
  QString answeringCopy() const;
  // Where this instance's lock is, once claim() took one; empty otherwise.
  QString lockPath() const;

 signals:
  void requested(const QByteArray& request);

 private:
  void serve();
  // Takes a connection of this user's, unless too many are heard already.
  void admit(QLocalSocket* socket);
  void hear(QLocalSocket* socket);
  // Whether a copy of this user's answers on the name.
  bool answersOnName() const;
  // Listens on the name, once the lock is taken; false when a copy of this
  // user's has it (this launch then hands over). Another user's hold on it
  // is said in a warning line and leaves the files to serve.
  bool takeName();
  // Gives up the lock this launch took, to hand over.
  void letGo();
  // "<name>.socket" in the socket folder's real path, when it fits a
  // socket's address and the folder can be trusted; empty otherwise.
  QString pathInFolder() const;
  // "<name>.socket" in the recorded short folder; empty without one.
  QString pathInShortFolder() const;
  QString recordPath() const;
  // The short folder the record beside the lock names, when it is still
  // this user's alone.
  QString recordedShortFolder() const;
  // That folder, or a new one; empty with the reason in error_.
  QString makeShortFolder();
  // A new short folder, noted as this state folder's: the one all its
  // copies choose alike, else an unguessable one; empty with the reason in
  // `why`.
  QString newShortFolder(QString& why) const;
  // The short folder all this state folder's copies choose alike, made when
  // missing, while it is this user's alone and serves this state folder;
  // empty otherwise.
  QString agreedShortFolder() const;
  // Takes "<name>.lock" in `folder`; see LockTry.
  enum class LockTry { taken, held, failed };
  LockTry tryLockIn(const QString& folder, QStringList& reasons);
  // A lock in a short folder of this name, for a launch whose state folder
  // and runtime folder take none.
  LockTry lockInShortFolder(QStringList& reasons);
  // Writes where this copy listens beside its lock, when that is elsewhere.
  void recordListening(const QString& listenFolder) const;

  QString lockFolder_;
  QString socketFolder_;
  QString name_;
  QString error_;
  QString shortFolder_;  // where this instance listens, when not in socketFolder_
  QStringList temporaryFolders_;
  QString lockFolderTaken_;  // where the lock is: lockFolder_ or a fallback
  std::unique_ptr<QLockFile> lock_;
  QLocalServer* server_ = nullptr;
  bool nameOn_ = true;
};

}  // namespace larkvale
