#pragma once
// Property lists (XML and binary) read into Larkvale's own value type.
// Nothing outside this layer sees the parsing library's types.
// All functions are pure and may be called from any thread.
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace larkvale {

struct PlistValue;
using PlistArray = std::vector<PlistValue>;
using PlistDict = std::map<std::string, PlistValue>;

// A date as seconds since 2001-01-01 00:00:00 UTC.
struct PlistDate {
  double secondsSince2001 = 0;
  friend bool operator==(const PlistDate&, const PlistDate&) = default;
};

struct PlistData {
  std::string bytes;
  friend bool operator==(const PlistData&, const PlistData&) = default;
};

struct PlistValue {
  using Storage =
      std::variant<std::string, int64_t, double, bool, PlistDate, PlistData, PlistArray, PlistDict>;
  Storage value;

  PlistValue() : value(std::string()) {}
  // The constraint keeps this from standing in for the copy and move
  // constructors.
  template <typename T>  // NOLINTNEXTLINE(bugprone-forwarding-reference-overload)
  requires std::is_constructible_v<Storage, T&&> PlistValue(T&& v)
      : value(std::forward<T>(v)) {}                    // NOLINT(google-explicit-constructor)
  PlistValue(const char* s) : value(std::string(s)) {}  // NOLINT(google-explicit-constructor)
  PlistValue(int v) : value(int64_t{v}) {}              // NOLINT(google-explicit-constructor)

  // Typed access: a pointer to the value when it has that type, else null.
  const std::string* string() const { return std::get_if<std::string>(&value); }
  const int64_t* integer() const { return std::get_if<int64_t>(&value); }
  const double* real() const { return std::get_if<double>(&value); }
  const bool* boolean() const { return std::get_if<bool>(&value); }
  const PlistArray* array() const { return std::get_if<PlistArray>(&value); }
  const PlistDict* dict() const { return std::get_if<PlistDict>(&value); }

  friend bool operator==(const PlistValue&, const PlistValue&) = default;
};

namespace PropertyList {

// The largest bundle Info.plist any reader takes in; a real one is a few
// kilobytes, and a larger file is treated as unreadable.
inline constexpr size_t kMaxInfoPlistBytes = size_t{8} << 20;

// Parses an XML or binary property list. Nothing when the bytes are not a
// property list, when a string in it holds a NUL character, or when its
// shape is beyond any real list (nested more than 512 deep, an object that
// contains itself, or a binary list whose shared objects would come to more
// than 262,144 values). Binary integers above INT64_MAX wrap to negative
// values.
std::optional<PlistValue> parse(std::string_view bytes);

// Writes a value as an XML or binary property list.
std::string toXml(const PlistValue& value);
std::string toBinary(const PlistValue& value);

}  // namespace PropertyList
}  // namespace larkvale
