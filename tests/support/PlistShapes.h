#pragma once
// Property lists of hostile shapes, built byte by byte: binary lists whose
// objects nest, share or contain one another, and deeply nested XML.
#include <cstdint>
#include <string>
#include <vector>

namespace larkvale::test::plist {

// One object of a binary list: a container (array or dictionary, a
// dictionary's references being its keys, then its values) or, without
// references and not a dictionary, the one-character string "x".
struct Object {
  bool dictionary = false;
  std::vector<uint32_t> refs;
};

inline std::string be(uint64_t value, int width) {
  std::string out;
  for (int i = width - 1; i >= 0; --i) out += static_cast<char>(value >> (8 * i));
  return out;
}

// A binary list of the objects, object 0 on top; offsets and references are
// four bytes wide.
inline std::string binary(const std::vector<Object>& objects) {
  std::string out = "bplist00";
  std::vector<uint32_t> offsets;
  for (const Object& o : objects) {
    offsets.push_back(static_cast<uint32_t>(out.size()));
    if (o.refs.empty() && !o.dictionary) {
      out += "\x51x";
      continue;
    }
    const size_t count = o.dictionary ? o.refs.size() / 2 : o.refs.size();
    const char type = o.dictionary ? '\xD0' : '\xA0';
    if (count < 15) {
      out += static_cast<char>(type | static_cast<char>(count));
    } else {
      out += static_cast<char>(type | 0x0F);
      out += '\x12' + be(count, 4);
    }
    for (uint32_t ref : o.refs) out += be(ref, 4);
  }
  const uint64_t table = out.size();
  for (uint32_t offset : offsets) out += be(offset, 4);
  out += std::string(6, '\0') + "\x04\x04";
  return out + be(objects.size(), 8) + be(0, 8) + be(table, 8);
}

// Arrays nested depth deep around the string "x".
inline std::string binaryChain(uint32_t depth) {
  std::vector<Object> objects(depth + 1);
  for (uint32_t i = 0; i < depth; ++i) objects[i].refs = {i + 1};
  return binary(objects);
}

// levels arrays, each holding the next one twice: a few hundred bytes that
// stand for 2^levels values once every reference is copied out.
inline std::string binaryDoubling(uint32_t levels) {
  std::vector<Object> objects(levels + 1);
  for (uint32_t i = 0; i < levels; ++i) objects[i].refs = {i + 1, i + 1};
  return binary(objects);
}

// An XML list of `depth` nested arrays, the given text first in the top one.
inline std::string xmlNested(int depth, const std::string& first = "") {
  std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><array>";
  out += first;
  for (int i = 1; i < depth; ++i) out += "<array>";
  for (int i = 0; i < depth; ++i) out += "</array>";
  return out + "</plist>\n";
}

}  // namespace larkvale::test::plist
