#pragma once
// The rules of Copy Settings in one place: which folders it copies from,
// which names are caches or look like licence files, how deep below a pick
// it goes, how an item is treated, and the fixed reasons of what it leaves
// out. Measuring and copying both follow them (through SettingsWalk), so a
// measured size always counts what a copy would carry. The inventory reports
// licence-looking files by the same words.
//
// Pure functions, callable from any thread.
#include <array>
#include <string>
#include <string_view>

struct stat;

namespace larkvale {

// How one file-system item is treated by the copy.
enum class CopyItemKind {
  file,         // a regular file: copied and counted
  folder,       // made in the copy and walked
  link,         // a symbolic link: copied as a link, not counted
  notRegular,   // a socket, FIFO or device, or unreadable: left out
  cache,        // a cache folder below the picked item: left out with its contents
  licenceFile,  // a name that looks like a licence file: left out
};

// The fixed reasons of left-out items.
namespace LeftOutReason {
inline constexpr std::string_view notAllowed =
    "Only Preferences and Application Support items are copied.";
inline constexpr std::string_view vanished = "Not on this Mac any more.";
inline constexpr std::string_view cache = "A cache the app rebuilds.";
inline constexpr std::string_view licenceFile =
    "Looks like a licence file: Larkvale never copies those. Bring the key yourself.";
inline constexpr std::string_view notRegular = "Not a regular file (a socket or device).";
// "Couldn't make the folder (" + description + ")."
std::string folderFailed(std::string_view description);
// "Couldn't copy (" + description + ")."
std::string copyFailed(std::string_view description);
}  // namespace LeftOutReason

// The lowercase fragments that make a file name look like a licence file.
inline constexpr std::array<std::string_view, 4> licenceWords = {"licen", "registration", "serial",
                                                                 "activation"};

// Whether a file name's lowercase form holds one of `licenceWords`.
bool looksLikeLicenceFile(std::string_view name);

namespace CopyRules {

// The only folders settings are copied from, tried in this order.
inline constexpr std::array<std::string_view, 2> allowedPrefixes = {
    "~/Library/Preferences/", "~/Library/Application Support/"};

// Folder names (compared lowercased, whole name) of what apps rebuild.
// clang-format off
inline constexpr std::array<std::string_view, 17> cacheNames = {
    "cache", "caches", "code cache", "gpucache", "cacheddata", "shadercache", "grshadercache",
    "dawncache", "dawngraphitecache", "dawnwebgpucache", "service worker", "crashpad",
    "crashreports", "logs", "log", "tmp", "temp"};
// clang-format on

// Folders nested deeper than this below a pick (the pick itself at depth 0)
// are neither entered nor counted: copied, they are left out by name. The
// walk holds a few descriptors per level, and this keeps it far below the
// descriptor limit.
inline constexpr int maxDepth = 200;

// Whether a tilde path lies strictly below one of the allowed folders with
// only plain pieces (no empty, "." or ".." piece, no NUL).
bool isAllowedPath(std::string_view tildePath);

bool isCacheName(std::string_view name);

// The kind of an item from its own status (nullptr when it could not be
// read) and its name. picked tells whether the item is the picked item
// itself, which is never a cache.
CopyItemKind classify(const struct stat* status, std::string_view name, bool picked);

// The reason of an item left out for its kind (cache, licenceFile; any
// other kind counts as not regular).
std::string_view reasonFor(CopyItemKind kind);

}  // namespace CopyRules
}  // namespace larkvale
