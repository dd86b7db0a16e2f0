#include "platform/PropertyList.h"

#include <plist/plist.h>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <memory>

#include "platform/PropertyListShape.h"

namespace larkvale::PropertyList {
namespace {

using PropertyListShape::kMaxDepth;

struct PlistFree {
  void operator()(plist_t p) const { plist_free(p); }
};
using PlistPtr = std::unique_ptr<void, PlistFree>;

std::string takeString(char* s) {
  std::string out = s ? s : "";
  std::free(s);
  return out;
}

std::optional<PlistValue> convert(plist_t node, int depth);

std::optional<PlistValue> convertDict(plist_t node, int depth) {
  PlistDict dict;
  plist_dict_iter it = nullptr;
  plist_dict_new_iter(node, &it);
  if (!it) return dict;
  for (;;) {
    char* key = nullptr;
    plist_t item = nullptr;
    plist_dict_next_item(node, it, &key, &item);
    if (!item) {
      std::free(key);
      break;
    }
    std::string k = takeString(key);
    auto v = convert(item, depth + 1);
    if (!v) {
      std::free(it);
      return std::nullopt;
    }
    dict.insert_or_assign(std::move(k), std::move(*v));
  }
  std::free(it);
  return dict;
}

std::optional<PlistValue> convertArray(plist_t node, int depth) {
  PlistArray array;
  uint32_t n = plist_array_get_size(node);
  array.reserve(n);
  for (uint32_t i = 0; i < n; ++i) {
    plist_t item = plist_array_get_item(node, i);
    if (!item) return std::nullopt;
    auto v = convert(item, depth + 1);
    if (!v) return std::nullopt;
    array.push_back(std::move(*v));
  }
  return array;
}

std::optional<PlistValue> convert(plist_t node, int depth) {
  if (!node || depth > kMaxDepth) return std::nullopt;
  switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
      uint8_t b = 0;
      plist_get_bool_val(node, &b);
      return PlistValue(b != 0);
    }
    case PLIST_UINT: {
      uint64_t u = 0;
      plist_get_uint_val(node, &u);
      return PlistValue(static_cast<int64_t>(u));
    }
    case PLIST_REAL: {
      double d = 0;
      plist_get_real_val(node, &d);
      return PlistValue(d);
    }
    case PLIST_STRING: {
      // Read in place rather than through a copy the library allocates.
      const char* s = plist_get_string_ptr(node, nullptr);
      return PlistValue(s ? std::string(s) : std::string());
    }
    case PLIST_DATA: {
      char* bytes = nullptr;
      uint64_t length = 0;
      plist_get_data_val(node, &bytes, &length);
      PlistData data{bytes ? std::string(bytes, length) : std::string()};
      std::free(bytes);
      return PlistValue(std::move(data));
    }
    case PLIST_DATE: {
      int32_t sec = 0, usec = 0;
      plist_get_date_val(node, &sec, &usec);
      return PlistValue(PlistDate{sec + usec / 1e6});
    }
    case PLIST_UID: {
      uint64_t u = 0;
      plist_get_uid_val(node, &u);
      return PlistValue(static_cast<int64_t>(u));
    }
    case PLIST_ARRAY:
      return convertArray(node, depth);
    case PLIST_DICT:
      return convertDict(node, depth);
    default:
      return std::nullopt;
  }
}

uint64_t readBigEndian(std::string_view bytes, size_t at, size_t width) {
  uint64_t value = 0;
  for (size_t i = 0; i < width; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

// Whether the string object at offset of a binary property list holds a NUL
// character. An object that can't be read is left to the parser to refuse.
bool stringHoldsNul(std::string_view bytes, uint64_t offset) {
  if (offset >= bytes.size()) return false;
  const auto marker = static_cast<unsigned char>(bytes[offset]);
  const unsigned type = marker >> 4;
  if (type != 0x5 && type != 0x6) return false;
  uint64_t count = marker & 0x0F;
  uint64_t start = offset + 1;
  if (count == 0x0F) {  // the length follows as an integer object
    if (start >= bytes.size()) return false;
    const auto intMarker = static_cast<unsigned char>(bytes[start]);
    const size_t width = size_t{1} << (intMarker & 0x0F);
    if ((intMarker >> 4) != 0x1 || width > 8 || bytes.size() - start - 1 < width) return false;
    count = readBigEndian(bytes, static_cast<size_t>(start + 1), width);
    start += 1 + width;
  }
  const uint64_t unit = type == 0x6 ? 2 : 1;
  if (start > bytes.size() || count > (bytes.size() - start) / unit) return false;
  for (uint64_t i = 0; i < count; ++i) {
    const size_t at = static_cast<size_t>(start + i * unit);
    if (bytes[at] == '\0' && (unit == 1 || bytes[at + 1] == '\0')) return true;
  }
  return false;
}

// libplist 2.2 aborts the process (a failed assertion) when asked for a
// dictionary key that holds a NUL character, which a binary property list
// can encode. Such lists are refused before they reach it; no real property
// list has NUL in a string.
bool binaryHoldsNulString(std::string_view bytes) {
  if (bytes.size() < 8 + 32) return false;
  const size_t trailer = bytes.size() - 32;
  const size_t offsetWidth = static_cast<unsigned char>(bytes[trailer + 6]);
  const uint64_t objects = readBigEndian(bytes, trailer + 8, 8);
  const uint64_t table = readBigEndian(bytes, trailer + 24, 8);
  if (offsetWidth < 1 || offsetWidth > 8 || table > trailer) return false;
  const uint64_t listed = std::min<uint64_t>(objects, (trailer - table) / offsetWidth);
  for (uint64_t i = 0; i < listed; ++i) {
    const size_t at = static_cast<size_t>(table + i * offsetWidth);
    if (stringHoldsNul(bytes, readBigEndian(bytes, at, offsetWidth))) return true;
  }
  return false;
}

PlistPtr build(const PlistValue& value) {
  struct Builder {
    plist_t operator()(const std::string& s) const { return plist_new_string(s.c_str()); }
    plist_t operator()(int64_t i) const { return plist_new_uint(static_cast<uint64_t>(i)); }
    plist_t operator()(double d) const { return plist_new_real(d); }
    plist_t operator()(bool b) const { return plist_new_bool(b ? 1 : 0); }
    plist_t operator()(const PlistDate& d) const {
      auto sec = static_cast<int32_t>(d.secondsSince2001);
      return plist_new_date(sec, static_cast<int32_t>((d.secondsSince2001 - sec) * 1e6));
    }
    plist_t operator()(const PlistData& d) const {
      return plist_new_data(d.bytes.data(), d.bytes.size());
    }
    plist_t operator()(const PlistArray& a) const {
      plist_t node = plist_new_array();
      for (const auto& item : a) plist_array_append_item(node, build(item).release());
      return node;
    }
    plist_t operator()(const PlistDict& d) const {
      plist_t node = plist_new_dict();
      for (const auto& [k, v] : d) plist_dict_set_item(node, k.c_str(), build(v).release());
      return node;
    }
  };
  return PlistPtr(std::visit(Builder{}, value.value));
}

}  // namespace

std::optional<PlistValue> parse(std::string_view bytes) {
  if (bytes.size() < 8 || bytes.size() > std::numeric_limits<uint32_t>::max()) return std::nullopt;
  const auto length = static_cast<uint32_t>(bytes.size());
  plist_t root = nullptr;
  if (plist_is_binary(bytes.data(), length)) {
    if (binaryHoldsNulString(bytes) || !PropertyListShape::binaryFits(bytes)) return std::nullopt;
    plist_from_bin(bytes.data(), length, &root);
  } else {
    if (!PropertyListShape::xmlFits(bytes)) return std::nullopt;
    plist_from_xml(bytes.data(), length, &root);
  }
  PlistPtr owner(root);
  return convert(root, 0);
}

namespace {

// The value written by one of the library's writers, its buffer handed back
// to the matching free.
template <typename Write, typename Free>
std::string written(const PlistValue& value, Write write, Free release) {
  PlistPtr node = build(value);
  char* out = nullptr;
  uint32_t length = 0;
  write(node.get(), &out, &length);
  std::string bytes(out ? out : "", length);
  release(out);
  return bytes;
}

}  // namespace

std::string toXml(const PlistValue& value) {
  return written(value, plist_to_xml, plist_to_xml_free);
}

std::string toBinary(const PlistValue& value) {
  return written(value, plist_to_bin, plist_to_bin_free);
}

}  // namespace larkvale::PropertyList
