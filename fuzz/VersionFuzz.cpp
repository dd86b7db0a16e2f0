// Two version strings, split at the first NUL byte (or halved), compared
// both ways: the answers must mirror each other, and the part-by-part
// reading must give the parts, the order and the digits of the reference
// reading by ICU's user-perceived characters.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "kit/model/Version.h"
#include "kit/model/VersionPaths.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace larkvale;
  std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t cut = input.find('\0');
  if (cut == std::string_view::npos) cut = size / 2;
  std::string_view a = input.substr(0, cut);
  std::string_view b = input.substr(std::min(cut + 1, size));
  int ab = Version::compare(a, b);
  if (ab < -1 || ab > 1 || Version::compare(b, a) != -ab) __builtin_trap();
  if (Version::compare(a, a) != 0) __builtin_trap();
  if (ab != Version::paths::compareByParts(a, b)) __builtin_trap();
  const auto reference = Version::paths::partsByClusters(a);
  if (Version::parts(a) != reference) __builtin_trap();
  bool digits = false;
  for (const auto& part : reference) digits = digits || part.isNumber();
  if (Version::hasNumber(a) != digits) __builtin_trap();
  Version::cleanCaskVersion(b);
  return 0;
}
