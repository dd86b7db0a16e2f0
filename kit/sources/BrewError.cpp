#include "kit/sources/BrewError.h"

#include <cstdio>

namespace larkvale {
namespace {

std::string describe(BrewError::Kind kind, int32_t status, const std::string& text) {
  switch (kind) {
    case BrewError::Kind::refused:
      return "refused(" + quotedForDescription(text) + ")";
    case BrewError::Kind::failed:
      return "failed(" + std::to_string(status) + ", " + quotedForDescription(text) + ")";
    case BrewError::Kind::notInstalled:
      break;
  }
  return "notInstalled";
}

}  // namespace

BrewError::BrewError(Kind kind, int32_t status, std::string text)
    : Error(describe(kind, status, text)), kind_(kind), status_(status), text_(std::move(text)) {}

BrewError BrewError::refused(std::string arguments) {
  return {Kind::refused, 0, std::move(arguments)};
}

BrewError BrewError::failed(int32_t status, std::string standardError) {
  return {Kind::failed, status, std::move(standardError)};
}

BrewError BrewError::notInstalled() {
  return {Kind::notInstalled, 0, {}};
}

std::string quotedForDescription(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\0':
        out += "\\0";
        break;
      default:
        if (c < 0x20 || c == 0x7f) {
          char buf[12];
          std::snprintf(buf, sizeof buf, "\\u{%x}", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

}  // namespace larkvale
