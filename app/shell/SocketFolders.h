#pragma once
// Where a running copy's socket, lock and records may live, and the checks
// that let a path there be looked up by name again and still lead where it
// was checked: every folder from the root down keeps others out, links are
// resolved first, and a short folder (one of the user's own in a temporary
// folder, "<name>-" and six letters or digits) is used only while it is
// still this user's alone. Nothing here listens or locks; SingleInstance
// does. Any thread; each call looks at the file system anew.
#include <QString>
#include <QStringList>
#include <optional>

#include "app/shell/InstanceName.h"

namespace larkvale::socket_folders {

struct TrustedFolder {
  QString path;  // the real path: no link, no "." or ".."
  Descriptor descriptor;
};

// Whether a socket at `path` fits its address as the listener takes it.
bool fitsSocketAddress(const QString& path);

// `folder` by its real path, opened, when it and every folder above it keep
// others out. Then no one but root and this user can make that path name
// anything else, so the socket's path may be looked up by name again (as the
// listener and the connecting side do) and still lead where it was checked.
// Checking the last folder alone would not do: whoever may rename a folder
// further up can move a whole tree of their own into its place. The links
// are resolved first and the walk from the root follows none, so what was
// checked is the real path the caller goes on to use, never a link that
// someone could point elsewhere.
std::optional<TrustedFolder> trustedFolder(const QString& folder);

// Where a short folder may go, in order: the temporary folder, then /tmp.
QStringList shortFolderBases();

// `base` by its real path, when it can be trusted and a socket in a short
// folder made there fits its address.
std::optional<TrustedFolder> shortFolderParent(const QString& base, const QString& name);

// A new 0700 folder "<name>-<random tail>" made in `base` through its checked
// descriptor; empty when `base` can't be trusted, when a socket in a folder
// made there would be too long for its address, or when nothing can be made.
QString makePrivateFolderIn(const QString& base, const QString& name);

// The short folder's name that every launch of this user and state folder
// chooses alike, so that launches which find none agree on one lock.
QString agreedLeaf(const QString& state, const QString& name);

// A short folder's name: "<name>-" and a tail as makePrivateFolderIn draws it.
bool namedAsShortFolder(const QString& leaf, const QString& name);

// `folder` when it is, by its real path, a trusted folder of this user's
// that no one else may enter; empty otherwise.
QString privateFolder(const QString& folder);

// Whether a socket of this user's stands at `path`.
bool userSocketAt(const QString& path);

// Whether someone listens at `path`: a connection is accepted, or would be
// once the listener's queue has room. Never waits: a copy that has stopped
// answering still listens. Refused, or nothing there: nobody does.
bool listenerAt(const QString& path);

// Whether a live process holds the lock file in `folder`.
bool lockHeldIn(const QString& folder, const QString& name);

// The folder a record names, as this instance writes it: the real path of
// a folder whose socket's path fits an address; empty otherwise.
QString readRecord(const QString& recordPath, const QString& name);

// The file in a short folder that names the state folder whose copy uses it.
QString stateNotePath(const QString& shortFolder, const QString& name);

// Notes in `shortFolder` (the user's own) which state folder's copy uses it.
void noteStateFolder(const QString& shortFolder, const QString& name, const QString& state);

// The short folders of `name` in `bases` that are still this user's alone
// and serve the copy of the state folder `state` (other copies of the same
// user, with state folders of their own, are none of this launch's
// business), in the order of their names.
QStringList shortFoldersIn(const QStringList& bases, const QString& name, const QString& state);

}  // namespace larkvale::socket_folders
