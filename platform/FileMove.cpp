#include "platform/FileMove.h"

#include <fcntl.h>
#include <stdio.h>

#include <cerrno>

namespace larkvale::FileMove {

Result withoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return Result::moved;
  }
  if (errno == EEXIST) return Result::taken;
  if (errno != EINVAL && errno != ENOSYS) return Result::failed;
  // This file system can't refuse a replacing rename by itself.
  std::error_code ec;
  if (std::filesystem::symlink_status(to, ec).type() != std::filesystem::file_type::not_found) {
    return ec ? Result::failed : Result::taken;
  }
  return ::rename(from.c_str(), to.c_str()) == 0 ? Result::moved : Result::failed;
}

}  // namespace larkvale::FileMove
