// Two version strings, split at the first NUL byte (or halved), compared
// both ways: the answers must mirror each other, and for ASCII strings the
// in-place reading must give the order of the parts.
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
  auto ascii = [](std::string_view s) {
    for (char c : s)
      if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
  };
  if (ascii(a) && ascii(b) &&
      Version::paths::compareAscii(a, b) != Version::paths::compareByParts(a, b))
    __builtin_trap();
  Version::hasNumber(a);
  Version::cleanCaskVersion(b);
  return 0;
}
