#include "platform/TextTrim.h"

#include <cstdint>

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
  if (cp < kMin[len]) return {0xFFFD, 1};
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

bool isFormatting(char32_t c) {
  return c == 0x061C || (c >= 0x200B && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) ||
         (c >= 0x2066 && c <= 0x2069) || c == 0xFEFF;
}

// C0, DEL and C1.
bool isControl(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

}  // namespace

std::string withoutFormatting(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    // Bytes that start no valid sequence are kept as they are, one by one.
    auto [c, length] = decodeAt(text, i);
    if (!isFormatting(c)) out.append(text.substr(i, length));
    i += length;
  }
  return out;
}

std::string oneLine(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    auto [c, length] = decodeAt(text, i);
    if (c == 0x09 || isLineBreak(c)) {
      out.push_back(' ');
    } else if (!isFormatting(c) && !isControl(c)) {
      out.append(text.substr(i, length));
    }
    i += length;
  }
  return out;
}

std::string visibleControls(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    auto [c, length] = decodeAt(text, i);
    if (isControl(c) || isFormatting(c) || c == 0x2028 || c == 0x2029) {
      out += "\\u";
      for (int shift = 12; shift >= 0; shift -= 4) out.push_back(kHex[(c >> shift) & 0xF]);
    } else {
      out.append(text.substr(i, length));
    }
    i += length;
  }
  return out;
}

}  // namespace larkvale::TextTrim
