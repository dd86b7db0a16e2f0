#pragma once
// Builds Mach-O files byte by byte for tests of the code-signature reader:
// thin images in either byte order and width, fat files, and the embedded
// signature with its entitlements blob.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/PropertyList.h"

namespace larkvale::test::macho {

inline std::string be32(uint32_t v) {
  return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
          static_cast<char>(v)};
}
inline std::string le32(uint32_t v) {
  return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
          static_cast<char>(v >> 24)};
}
inline std::string be64(uint64_t v) {
  return be32(static_cast<uint32_t>(v >> 32)) + be32(static_cast<uint32_t>(v));
}

inline std::string entitlementsXml(bool sandbox) {
  return PropertyList::toXml(PlistDict{{"com.apple.security.app-sandbox", sandbox},
                                       {"com.apple.security.network.client", true}});
}

inline std::string blob(uint32_t magic, const std::string& payload) {
  return be32(magic) + be32(static_cast<uint32_t>(8 + payload.size())) + payload;
}

// An embedded-signature SuperBlob holding the given (slot, blob) pairs.
inline std::string superBlob(const std::vector<std::pair<uint32_t, std::string>>& blobs) {
  std::string index, body;
  uint32_t offset = 12 + 8 * static_cast<uint32_t>(blobs.size());
  for (const auto& [slot, b] : blobs) {
    index += be32(slot) + be32(offset + static_cast<uint32_t>(body.size()));
    body += b;
  }
  std::string all = index + body;
  return be32(0xfade0cc0) + be32(static_cast<uint32_t>(12 + all.size())) +
         be32(static_cast<uint32_t>(blobs.size())) + all;
}

inline std::string signedWith(const std::string& xml) {
  return superBlob({{0, blob(0xfade0c02, "code directory")}, {5, blob(0xfade7171, xml)}});
}

struct ImageSpec {
  std::optional<std::string> signature;
  bool bigEndian = false;
  bool wide = true;
};

// A Mach-O image: header, an unrelated load command, LC_CODE_SIGNATURE when
// signed, padding, then the signature.
inline std::string image(const ImageSpec& spec) {
  auto w = [&](uint32_t v) { return spec.bigEndian ? be32(v) : le32(v); };
  std::string commands = w(0x2) + w(24) + std::string(16, '\0');  // LC_SYMTAB
  const uint32_t dataoff = 0x200;
  if (spec.signature) {
    commands += w(0x1d) + w(16) + w(dataoff) + w(static_cast<uint32_t>(spec.signature->size()));
  }
  std::string out = w(spec.wide ? 0xfeedfacf : 0xfeedface) + w(0x0100000c) + w(0) + w(2) +
                    w(spec.signature ? 2 : 1) + w(static_cast<uint32_t>(commands.size())) + w(0);
  if (spec.wide) out += w(0);
  out += commands;
  if (spec.signature) {
    out.resize(dataoff, '\0');
    out += *spec.signature;
  }
  return out;
}

// A fat file of (cpu type, image) slices, 32- or 64-bit table.
inline std::string fat(const std::vector<std::pair<uint32_t, std::string>>& slices,
                       bool wide = false) {
  std::string header =
      be32(wide ? 0xcafebabf : 0xcafebabe) + be32(static_cast<uint32_t>(slices.size()));
  std::string body;
  uint64_t offset = 0x1000;
  for (const auto& [cpu, img] : slices) {
    header += be32(cpu) + be32(0);
    header += wide ? be64(offset) + be64(img.size()) + be32(12) + be32(0)
                   : be32(static_cast<uint32_t>(offset)) + be32(static_cast<uint32_t>(img.size())) +
                         be32(12);
    body.resize(offset - 0x1000, '\0');
    body += img;
    offset = 0x1000 + ((body.size() + 0xfff) & ~uint64_t{0xfff});
  }
  header.resize(0x1000, '\0');
  return header + body;
}

}  // namespace larkvale::test::macho
