#include "kit/movingday/CopyRules.h"

#include <sys/stat.h>

#include <algorithm>

#include "platform/Collation.h"
#include "platform/Strings.h"

namespace larkvale {

std::string LeftOutReason::folderFailed(std::string_view description) {
  return "Couldn't make the folder (" + std::string(description) + ").";
}

std::string LeftOutReason::copyFailed(std::string_view description) {
  return "Couldn't copy (" + std::string(description) + ").";
}

bool looksLikeLicenceFile(std::string_view name) {
  const std::string lower = Collation::lowercased(name);
  return std::any_of(licenceWords.begin(), licenceWords.end(),
                     [&](std::string_view word) { return lower.find(word) != std::string::npos; });
}

bool CopyRules::isAllowedPath(std::string_view tildePath) {
  for (std::string_view prefix : allowedPrefixes) {
    if (!tildePath.starts_with(prefix)) continue;
    std::string_view rest = tildePath.substr(prefix.size());
    if (rest.empty()) return false;
    size_t start = 0;
    for (;;) {
      size_t slash = rest.find('/', start);
      std::string_view piece = rest.substr(start, slash == rest.npos ? rest.npos : slash - start);
      if (piece.empty() || piece == "." || piece == ".." ||
          piece.find('\0') != std::string_view::npos)
        return false;
      if (slash == rest.npos) return true;
      start = slash + 1;
    }
  }
  return false;
}

bool CopyRules::isCacheName(std::string_view name) {
  const std::string lower = Strings::asciiLowercased(name);
  return std::find(cacheNames.begin(), cacheNames.end(), lower) != cacheNames.end();
}

CopyItemKind CopyRules::classify(const struct stat* status, std::string_view name, bool picked) {
  if (status && S_ISLNK(status->st_mode)) return CopyItemKind::link;
  if (status && S_ISDIR(status->st_mode))
    return !picked && isCacheName(name) ? CopyItemKind::cache : CopyItemKind::folder;
  if (looksLikeLicenceFile(name)) return CopyItemKind::licenceFile;
  if (status && S_ISREG(status->st_mode)) return CopyItemKind::file;
  return CopyItemKind::notRegular;
}

std::string_view CopyRules::reasonFor(CopyItemKind kind) {
  switch (kind) {
    case CopyItemKind::cache:
      return LeftOutReason::cache;
    case CopyItemKind::licenceFile:
      return LeftOutReason::licenceFile;
    default:
      return LeftOutReason::notRegular;
  }
}

}  // namespace larkvale
