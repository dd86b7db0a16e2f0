// Mach-O bytes read for their code signature's entitlements.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/CodeSigning.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto info = larkvale::CodeSigning::signingInformationOfImage(
      std::string_view(reinterpret_cast<const char*>(data), size));
  if (info && info->entitlements && !info->isSigned) __builtin_trap();
  return 0;
}
