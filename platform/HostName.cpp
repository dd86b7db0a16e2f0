#include "platform/HostName.h"

#include <limits.h>
#include <unistd.h>

#include "platform/FileSystem.h"

namespace larkvale::HostName {
namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}

// The lines of the file, with a backslash before a line break joining two
// lines as the shell does.
std::string_view nextLine(std::string_view& text) {
  size_t end = 0;
  while (end < text.size() && text[end] != '\n') {
    end += (text[end] == '\\' && end + 1 < text.size()) ? 2 : 1;
  }
  std::string_view line = text.substr(0, end);
  text.remove_prefix(end < text.size() ? end + 1 : end);
  return line;
}

}  // namespace

std::optional<std::string> unquoteShellValue(std::string_view value) {
  std::string out;
  size_t keep = 0;  // length of `out` up to its last quoted or non-blank character
  size_t i = 0;
  while (i < value.size()) {
    char c = value[i++];
    if (c == '\'') {
      size_t close = value.find('\'', i);
      if (close == std::string_view::npos) return std::nullopt;
      out.append(value.substr(i, close - i));
      i = close + 1;
      keep = out.size();
    } else if (c == '"') {
      for (;;) {
        if (i >= value.size()) return std::nullopt;
        char d = value[i++];
        if (d == '"') break;
        if (d == '\\' && i < value.size()) {
          char e = value[i];
          if (e == '\n') {
            ++i;
            continue;
          }
          if (e == '$' || e == '`' || e == '"' || e == '\\') {
            out += e;
            ++i;
            continue;
          }
        }
        out += d;
      }
      keep = out.size();
    } else if (c == '\\') {
      if (i >= value.size()) break;
      char e = value[i++];
      if (e == '\n') continue;
      out += e;
      keep = out.size();
    } else {
      out += c;
      if (!isBlank(c)) keep = out.size();
    }
  }
  out.resize(keep);
  return out;
}

std::optional<std::string> prettyName(std::string_view machineInfo) {
  constexpr std::string_view kKey = "PRETTY_HOSTNAME=";
  std::optional<std::string> found;
  bool damaged = false;
  while (!machineInfo.empty()) {
    std::string_view line = nextLine(machineInfo);
    while (!line.empty() && isBlank(line.front())) line.remove_prefix(1);
    if (line.substr(0, kKey.size()) != kKey) continue;
    found = unquoteShellValue(line.substr(kKey.size()));
    damaged = !found;
  }
  if (damaged || !found || found->empty() || !FileSystem::isValidUtf8(*found)) return std::nullopt;
  return found;
}

std::optional<std::string> systemHostName() {
  char name[HOST_NAME_MAX + 1] = {};
  if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return std::nullopt;
  return std::string(name);
}

}  // namespace larkvale::HostName
