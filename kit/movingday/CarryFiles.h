#pragma once
// The file-system primitives of Copy Settings, on folder handles: every write
// below the Moving Day folder goes through a handle of that folder and opens
// each piece on the way with O_NOFOLLOW, so a symbolic link in the copy (one
// that an earlier pick copied) can never lead a write outside it.
//
// Nothing here throws but Cancelled; failures come back as the system's
// description. Internal to the Copy Settings implementation.
#include <sys/stat.h>

#include <cstdint>
#include <stop_token>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

#include "platform/FileDescriptor.h"

namespace larkvale::CarryFiles {

// A result or the description of why there is none.
template <typename T>
using Outcome = std::variant<T, std::string>;

// strerror of an errno value.
std::string describe(int err);

// The description used when a piece of a path inside the copy is a link.
inline constexpr std::string_view kLinkOnTheWay = "a folder on its way is a symbolic link";

// Opens the folder at relative (pieces joined by "/", each plain) below root,
// never following a link. With create, missing folders are made (mode 0755
// less the umask). A link or a non-folder on the way is refused.
Outcome<FileDescriptor> openFolderBelow(int root, std::string_view relative, bool create);

// Makes (or, when one is already there, opens) the folder name in parent and
// opens it without following a link.
Outcome<FileDescriptor> makeFolderIn(int parent, const std::string& name);

// Bytes copied between two looks at the stop token.
inline constexpr int64_t kCopyChunk = int64_t{8} << 20;

// Copies the regular file name of srcDir to a new file name in dstDir
// (created exclusively: an existing entry is never touched), keeping the
// permission bits and times where the destination allows. Answers the
// source's size. A failed copy leaves no partial file behind. After every
// kCopyChunk bytes the stop token is tested: once a stop is requested the
// partial file is removed and Cancelled thrown.
Outcome<int64_t> copyFile(int srcDir, const std::string& name, int dstDir,
                          const std::stop_token& stop = {});

// Writes bytes to a new file name in folder, created exclusively without
// following a link (an existing entry, a link included, is never touched),
// and flushes it to disk. A failed write leaves no partial file behind.
Outcome<std::monostate> writeNewFile(int folder, const std::string& name, std::string_view bytes);

// Copies the symbolic link name of srcDir as a link in dstDir, with its times.
Outcome<std::monostate> copyLink(int srcDir, const std::string& name, int dstDir);

// Gives the open folder the permission bits and times of st.
void keepFolderAttributes(int folder, const struct stat& st);

}  // namespace larkvale::CarryFiles
