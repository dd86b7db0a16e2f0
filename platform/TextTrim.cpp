#include "platform/TextTrim.h"

#include <cstdint>

#include <unicode/uchar.h>

namespace larkvale::TextTrim {
std::pair<char32_t, size_t> decodeAt(std::string_view text, size_t i) {
  auto b = [&](size_t k) { return static_cast<unsigned char>(text[i + k]); };
  unsigned char c = b(0);
  if (c < 0x80) return {c, 1};
  size_t len = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
  if (len == 0 || i + len > text.size()) return {0xFFFD, 1};
  char32_t cp = c & (0x7F >> len);
  for (size_t k = 1; k < len; ++k) {
    if ((b(k) & 0xC0) != 0x80) return {0xFFFD, 1};
    cp = (cp << 6) | (b(k) & 0x3F);
  }
  static constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kMin[len] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return {0xFFFD, 1};
  return {cp, len};
}

namespace {

// The start of the code point that ends just before text[end].
size_t startBefore(std::string_view text, size_t end) {
  size_t i = end - 1;
  while (i > 0 && end - i < 4 && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) --i;
  auto [cp, len] = decodeAt(text, i);
  return i + len == end ? i : end - 1;
}

template <typename Pred>
std::string_view trim(std::string_view text, Pred drop) {
  size_t begin = 0;
  while (begin < text.size()) {
    auto [cp, len] = decodeAt(text, begin);
    if (!drop(cp)) break;
    begin += len;
  }
  size_t end = text.size();
  while (end > begin) {
    size_t start = startBefore(text, end);
    if (!drop(decodeAt(text, start).first)) break;
    end = start;
  }
  return text.substr(begin, end - begin);
}

}  // namespace

bool isHorizontalSpace(char32_t c) {
  return c == 0x09 || c == 0x20 || c == 0xA0 || c == 0x1680 || (c >= 0x2000 && c <= 0x200A) ||
         c == 0x202F || c == 0x205F || c == 0x3000;
}

bool isLineBreak(char32_t c) {
  return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029;
}

std::string_view spaces(std::string_view text) {
  return trim(text, isHorizontalSpace);
}

std::string_view whitespace(std::string_view text) {
  return trim(text, [](char32_t c) { return isHorizontalSpace(c) || isLineBreak(c); });
}

std::string_view chars(std::string_view text, std::string_view set) {
  size_t begin = text.find_first_not_of(set);
  if (begin == std::string_view::npos) return {};
  size_t end = text.find_last_not_of(set);
  return text.substr(begin, end - begin + 1);
}

namespace {

constexpr char32_t kInvalid = 0xFFFFFFFF;

// The code point at text[i] and its length, or kInvalid and 1 for a byte
// that starts no valid sequence (decodeAt can't tell those from a real
// U+FFFD).
std::pair<char32_t, size_t> scalarAt(std::string_view text, size_t i) {
  auto [c, length] = decodeAt(text, i);
  if (c == 0xFFFD && length == 1) return {kInvalid, 1};
  return {c, length};
}

void append(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

bool isPictograph(char32_t c) {
  return u_hasBinaryProperty(static_cast<UChar32>(c), UCHAR_EXTENDED_PICTOGRAPHIC);
}

// A joiner between two pictographs (a pictograph's own selector or skin tone
// may stand before it) and a variation selector right after an emoji are
// what make one emoji of several; anywhere else they hide.
bool keptInEmoji(char32_t c, char32_t before, char32_t after) {
  if (c == 0x200D) {
    const bool joinsFrom = isPictograph(before) || before == 0xFE0F ||
                           u_hasBinaryProperty(static_cast<UChar32>(before), UCHAR_EMOJI_MODIFIER);
    return joinsFrom && isPictograph(after);
  }
  if (c == 0xFE0E || c == 0xFE0F)
    return u_hasBinaryProperty(static_cast<UChar32>(before), UCHAR_EMOJI);
  return false;
}

enum class Breaks { space, keepLineFeeds };

std::string cleaned(std::string_view text, Breaks breaks) {
  std::string out;
  out.reserve(text.size());
  char32_t before = 0;  // the last character kept
  for (size_t i = 0; i < text.size();) {
    auto [c, length] = scalarAt(text, i);
    i += length;
    if (c == kInvalid) c = 0xFFFD;
    if (c < 0x80 && c >= 0x20 && c != 0x7F) {
      out.push_back(static_cast<char>(c));
    } else if (breaks == Breaks::keepLineFeeds && (c == '\n' || c == '\r')) {
      if (c == '\r' && i < text.size() && text[i] == '\n') ++i;
      out.push_back('\n');
    } else if (c == 0x09 || isLineBreak(c)) {
      out.push_back(' ');
    } else if (!isHidden(c) ||
               keptInEmoji(c, before, i < text.size() ? scalarAt(text, i).first : 0)) {
      append(out, c);
    } else {
      continue;
    }
    before = c;
  }
  return out;
}

}  // namespace

bool isHidden(char32_t c) {
  if (c >= 0x20 && c < 0x7F) return false;
  const auto code = static_cast<UChar32>(c);
  switch (u_charType(code)) {
    case U_CONTROL_CHAR:
    case U_FORMAT_CHAR:
    case U_LINE_SEPARATOR:
    case U_PARAGRAPH_SEPARATOR:
      return true;
    default:
      return u_hasBinaryProperty(code, UCHAR_DEFAULT_IGNORABLE_CODE_POINT);
  }
}

std::string validUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    auto [c, length] = scalarAt(text, i);
    if (c == kInvalid) {
      append(out, 0xFFFD);
    } else {
      out.append(text.substr(i, length));
    }
    i += length;
  }
  return out;
}

std::string oneLine(std::string_view text) {
  return cleaned(text, Breaks::space);
}

bool showsAsWritten(std::string_view text) {
  // The very function that shows the text decides, rather than a second
  // reading of its rule.
  return oneLine(text) == text;
}

std::string lines(std::string_view text) {
  return cleaned(text, Breaks::keepLineFeeds);
}

std::string writtenOut(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  auto hex = [&](std::string& out, uint32_t value, int digits) {
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
      out.push_back(kHex[(value >> shift) & 0xF]);
  };
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    auto [c, length] = scalarAt(text, i);
    if (c == kInvalid) {
      out += "\\x";
      hex(out, static_cast<unsigned char>(text[i]), 2);
    } else if (c == '\\') {
      out += "\\\\";
    } else if (isHidden(c)) {
      out += c > 0xFFFF ? "\\U" : "\\u";
      hex(out, c, c > 0xFFFF ? 8 : 4);
    } else {
      out.append(text.substr(i, length));
    }
    i += length;
  }
  return out;
}

}  // namespace larkvale::TextTrim
