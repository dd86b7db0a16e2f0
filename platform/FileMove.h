#pragma once
// Moving a file or folder to a new name in the same file system without ever
// replacing what already stands there. Callable from any thread.
#include <filesystem>

namespace larkvale::FileMove {

enum class Result {
  moved,   // the item now stands at the new name
  taken,   // something already stands at the new name; nothing was moved
  failed,  // the move failed for another reason; nothing was moved
};

// Renames `from` to `to` atomically unless `to` exists. Where the file system
// can't refuse atomically, the existence check and the rename are two steps.
Result withoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace larkvale::FileMove
