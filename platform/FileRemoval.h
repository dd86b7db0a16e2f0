#pragma once
// Removing only what lies inside a folder of one's own. Every removal of a
// file or folder the program made (an answer saved in its cache, a script it
// wrote, a test's scratch files) goes through here, so that a path worked
// out from an empty, relative or hostile value can never reach the working
// folder, the user's home or anything a link points to.
// Callable from any thread.
#include <filesystem>
#include <system_error>

namespace larkvale::FileRemoval {

enum class Reach {
  entry,         // a file, a link or an empty folder; a folder with something
                 // in it stays (std::errc::directory_not_empty)
  withContents,  // a folder goes with everything in it
};

// Removes `path` (see Reach) when it lies strictly inside `folder`. A link at `path` is removed,
// never what it points to; links in the folders above it are followed only as far as they stay in
// the folder.
//
// Refused with std::errc::invalid_argument, removing nothing:
//  - a folder or path that is empty or relative, or has a "." or ".." piece;
//  - a folder that is the root;
//  - a path that names no entry (ends in a separator), the folder itself, a
//    folder above it, or anything outside it;
//  - a path whose folders, links resolved, lead out of the folder (links
//    resolved too).
// A path at which nothing stands is no failure. Otherwise the system's reason
// when something could not be removed (some of a folder may be gone then).
[[nodiscard]] std::error_code removeInside(const std::filesystem::path& folder,
                                           const std::filesystem::path& path,
                                           Reach reach = Reach::withContents) noexcept;

}  // namespace larkvale::FileRemoval
