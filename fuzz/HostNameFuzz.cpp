// Feeds arbitrary machine-info files to the pretty-name reader: it must not
// crash, and a name it gives is never empty and always UTF-8.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/FileSystem.h"
#include "platform/HostName.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  auto name = larkvale::HostName::prettyName(text);
  if (name && (name->empty() || !larkvale::FileSystem::isValidUtf8(*name))) std::abort();
  larkvale::HostName::unquoteShellValue(text);
  return 0;
}
