#pragma once
// File-system helpers shared by every layer. Reading never throws: what can't
// be read gives nothing. Only writeAtomically throws (FileError).
// All functions may be called from any thread.
#include <chrono>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/FileDescriptor.h"

namespace larkvale::FileSystem {

namespace fs = std::filesystem;

// Reads larger than this are refused unless the caller gives its own cap.
inline constexpr size_t kDefaultReadLimit = 64u << 20;

struct Entry {
  std::string name;
  fs::path path;
  // The entry's own directory flag (a link to a folder is not a folder);
  // nothing when it could not be read.
  std::optional<bool> isDirectory;
};

// The entries of a folder, hidden ones included, in the order the system
// gives. Nothing when the folder can't be listed.
std::optional<std::vector<Entry>> listEntries(const fs::path& folder);

// The names in a folder, in the order the system gives.
std::optional<std::vector<std::string>> listNames(const fs::path& folder);

// Whether something exists at the path (links followed, as a user would see it).
bool exists(const fs::path& path);

// The path with every symbolic link resolved; the path itself (made absolute
// lexically) when it can't be resolved.
fs::path resolveLinks(const fs::path& path);

// The whole content of a regular file (links followed) of at most maxBytes.
// Nothing for a missing file, a folder, a FIFO or device, or a larger file.
// Never blocks on a FIFO.
std::optional<std::string> readFile(const fs::path& path, size_t maxBytes = kDefaultReadLimit);

// readFile, kept only when the content is valid UTF-8.
std::optional<std::string> readText(const fs::path& path, size_t maxBytes = kDefaultReadLimit);

// Writes the bytes to a temporary file in the same folder, flushes it to disk
// and renames it over the path, so the path holds either the old or the new
// content. The folder must exist. Throws FileError with the system's reason.
// The file gets `mode` less the process's umask, as open(2) gives a new file.
// The temporary file is named after the path: see isTemporaryFor.
void writeAtomically(const fs::path& path, std::string_view bytes, unsigned mode = 0644);

// writeAtomically without flushing anything to disk: a reader still finds
// the old or the new content, never a mix, but after a power failure the
// path may hold neither. Only for caches that can be thrown away.
void writeAtomicallyUnflushed(const fs::path& path, std::string_view bytes, unsigned mode = 0644);

// Whether a file name is one that writeAtomically gives its temporary files
// for a file named target: target + ".tmp-" + eight lowercase letters or
// digits. One that outlives its write was left by an interrupted one.
bool isTemporaryFor(std::string_view name, std::string_view target);

// The name of the file whose temporary a file name is; nothing when it is
// not one (see isTemporaryFor).
std::optional<std::string_view> temporaryTarget(std::string_view name);

// A write takes its temporary file milliseconds; one older than this was left
// by a write that was cut short, not one that another copy of the program is
// making right now.
inline constexpr std::chrono::minutes kStaleTemporaryAge{5};

// Removes from the folder the regular files that are temporaries of the
// writes above for a target that `ownsTarget` accepts, once they were last
// written more than kStaleTemporaryAge ago. Failures are ignored; nothing is
// removed from a folder that isn't named absolutely (see FileRemoval).
void removeStaleTemporaries(const fs::path& folder,
                            const std::function<bool(std::string_view target)>& ownsTarget);

// Whether the path (links followed) is a regular file this process may run.
bool isExecutableFile(const fs::path& path);

bool isValidUtf8(std::string_view text);

// A folder held open, so that many paths below it are reached without
// walking the whole path from the root each time (a scan asks a dozen
// questions of every bundle). Move-only; the folder is closed when the
// object goes. Relative paths are used as given: pass fixed names, or names
// that came from listing the folder, never text from outside data.
class OpenFolder {
 public:
  // Nothing when the path (links followed) is not a folder that can be opened.
  static std::optional<OpenFolder> open(const fs::path& folder);

  // exists, readFile and readText for a path relative to the folder, with
  // the same rules as the functions above.
  bool exists(const std::string& relative) const;
  std::optional<std::string> readFile(const std::string& relative,
                                      size_t maxBytes = kDefaultReadLimit) const;
  std::optional<std::string> readText(const std::string& relative,
                                      size_t maxBytes = kDefaultReadLimit) const;

 private:
  explicit OpenFolder(FileDescriptor fd) : fd_(std::move(fd)) {}
  FileDescriptor fd_;
};

// Joins a relative path given as text under base, lexically. Nothing when the
// text is absolute, empty, or has an empty, "." or ".." piece, or holds a NUL
// (which the system would take as the end) — so the result always lies
// inside base.
std::optional<fs::path> joinInside(const fs::path& base, std::string_view relative);

}  // namespace larkvale::FileSystem
