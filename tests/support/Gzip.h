#pragma once
// gzip bodies for test servers, without a compression library: a run of one
// byte is written as deflate back-references, so the wire is far smaller than
// the decoded body.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace larkvale::test {

namespace gzipdetail {

inline uint32_t crc32(std::string_view data, uint32_t crc = 0) {
  static const auto table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (unsigned char b : data) crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

// Bits go out least significant first; Huffman codes most significant first.
struct BitWriter {
  std::string out;
  uint32_t acc = 0;
  int count = 0;
  void bits(uint32_t value, int n) {
    for (int i = 0; i < n; ++i) push((value >> i) & 1);
  }
  void code(uint32_t value, int n) {
    for (int i = n - 1; i >= 0; --i) push((value >> i) & 1);
  }
  void push(uint32_t bit) {
    acc |= bit << count;
    if (++count == 8) flush();
  }
  void flush() {
    if (count == 0) return;
    out.push_back(static_cast<char>(acc));
    acc = 0;
    count = 0;
  }
};

inline void literal(BitWriter& w, unsigned char c) {
  if (c < 144)
    w.code(0x30 + c, 8);
  else
    w.code(0x190 + (c - 144), 9);
}

inline std::string frame(const std::string& deflated, std::string_view original) {
  std::string gz("\x1f\x8b\x08\x00\x00\x00\x00\x00\x00\xff", 10);
  gz += deflated;
  auto le32 = [&gz](uint32_t v) {
    for (int i = 0; i < 4; ++i) gz.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  le32(crc32(original));
  le32(static_cast<uint32_t>(original.size()));
  return gz;
}

}  // namespace gzipdetail

// n copies of one byte, gzip-compressed with back-references of length 258.
inline std::string gzipRun(char byte, size_t n) {
  using namespace gzipdetail;
  BitWriter w;
  w.bits(1, 1);  // final block
  w.bits(1, 2);  // fixed Huffman codes
  size_t left = n;
  if (left > 0) {
    literal(w, static_cast<unsigned char>(byte));
    --left;
  }
  for (; left >= 258; left -= 258) {
    w.code(0xC5, 8);  // length 258 (code 285)
    w.code(0, 5);     // distance 1
  }
  for (; left > 0; --left) literal(w, static_cast<unsigned char>(byte));
  w.code(0, 7);  // end of block
  w.flush();
  return frame(w.out, std::string(n, byte));
}

}  // namespace larkvale::test
