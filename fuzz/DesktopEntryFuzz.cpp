// Feeds arbitrary text to the desktop entry reader, and as a program path to
// the Exec quoting: an entry written with the quoted path reads back, once
// the quoting is undone by the format's rules, to exactly that path.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/DesktopEntry.h"
#include "platform/FileSystem.h"

namespace {

// The Exec rules read backwards: outer quotes off, the backslash before " ` $
// or a backslash taken away, "%%" back to "%".
std::string unquote(const std::string& written) {
  std::string text = written;
  bool quoted = text.size() >= 2 && text.front() == '"' && text.back() == '"';
  if (quoted) text = text.substr(1, text.size() - 2);
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (quoted && text[i] == '\\' && i + 1 < text.size()) {
      out += text[++i];
    } else if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '%') {
      out += text[i++];
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  larkvale::DesktopEntry::value(text, "Exec");
  if (!larkvale::FileSystem::isValidUtf8(text) || text.find('\0') != std::string_view::npos)
    return 0;
  std::string entry = "[Desktop Entry]\nExec=" + larkvale::DesktopEntry::execArgument(text) + "\n";
  auto exec = larkvale::DesktopEntry::value(entry, "Exec");
  if (!exec || unquote(*exec) != text) std::abort();
  return 0;
}
