#include "kit/sources/BrewError.h"

#include <cstdio>

#include "platform/TextTrim.h"

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
  // Made valid first, so each byte that is not UTF-8 shows as U+FFFD; every
  // character that would hide or break the line is written out.
  const std::string valid = TextTrim::validUtf8(text);
  std::string out = "\"";
  for (size_t i = 0; i < valid.size();) {
    const auto [c, length] = TextTrim::decodeAt(valid, i);
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
        if (TextTrim::isHidden(c)) {
          char buf[16];
          std::snprintf(buf, sizeof buf, "\\u{%x}", static_cast<unsigned>(c));
          out += buf;
        } else {
          out.append(valid, i, length);
        }
    }
    i += length;
  }
  return out + "\"";
}

}  // namespace larkvale
