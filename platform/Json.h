#pragma once
// The one JSON layer (nlohmann-json underneath): the saved records and every
// JSON answer from outside are read through it.
//
// Written form of the saved records: compact (no spaces, no line breaks, no final newline), object
// keys in ascending byte order, empty optionals left out (never null), dates
// as ISO 8601 whole seconds UTC ("2026-12-05T17:30:42Z"), an enumeration as
// {"case":{"_0":payload}} or, without a payload, {"case":{}}.
//
// Reading is strict about types: a number is never read as a string or a
// Boolean, 12.7 is no integer, and an integer out of the signed 64-bit range
// is refused. Every refusal throws JsonDecodingError naming the place in the
// document and, where the refusal is about a type, the type expected. An
// optional key reads as empty when it is missing or null.
//
// All functions are pure and may be called from any thread.
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/Dates.h"
#include "platform/Error.h"

namespace larkvale {

using Json = nlohmann::json;
// An object that keeps its keys in insertion order, for files whose key order
// is part of their format.
using OrderedJson = nlohmann::ordered_json;

// A document that could not be read as the record asked for. what() is the
// error's text form: the case, then the place and description in quotes,
// such as keyNotFound("lastReport.updates[0]", "No value for key “critical”.").
class JsonDecodingError : public Error {
 public:
  enum class Kind { typeMismatch, valueNotFound, keyNotFound, dataCorrupted };

  // What a refusal may say beyond its place and description.
  struct Details {
    std::string expected;
    std::string key;
    std::string underlying;
  };

  JsonDecodingError(Kind kind, std::string path, std::string description, Details details = {});

  Kind kind() const { return kind_; }
  // Dotted keys and [index] steps from the top; empty for the top itself.
  // For keyNotFound, the place of the object that lacks the key.
  const std::string& path() const { return path_; }
  const std::string& description() const { return description_; }
  // The kind of value that was asked for ("a string", "an array" …); empty
  // when the refusal is not about a type.
  const std::string& expected() const { return details_.expected; }
  // keyNotFound: the key that is missing; empty otherwise.
  const std::string& key() const { return details_.key; }
  // The parser's own account of text that is not JSON; empty otherwise.
  const std::string& underlying() const { return details_.underlying; }

  // The place of the value at fault: path(), with the missing key added for
  // keyNotFound.
  std::string place() const;
  // The last key of place(), without [index] steps; empty at the top.
  std::string member() const;

 private:
  Kind kind_;
  std::string path_;
  std::string description_;
  Details details_;
};

// One value of a document being read, with its place in the document. A
// cheap view: it refers to the Json it was made from, which must outlive it.
// The place is worked out only when asked for (an error names it), by finding
// the value in the document it was read from, so reading a document whole
// builds no place texts.
class JsonIn {
 public:
  explicit JsonIn(const Json& value, std::string path = {})
      : root_(&value), value_(&value), prefix_(std::move(path)) {}

  // For readers that drop the place of a fault: the values read from it keep
  // no path (their errors name none), so reading costs no more than the
  // checks themselves.
  static JsonIn withoutPlaces(const Json& value) {
    JsonIn in(value);
    in.places_ = false;
    return in;
  }

  const Json& raw() const { return *value_; }
  // Dotted keys and [index] steps from the value this reader began at, after
  // the path it was made with; empty for readers without places.
  std::string path() const;
  bool isNull() const { return value_->is_null(); }

  // The value must be of the named kind, else typeMismatch.
  std::string string() const;
  bool boolean() const;
  int64_t int64() const;
  // Any JSON number whose value is a whole number in the signed 64-bit range,
  // however written: 1, 1.0 and 1e0 all read as 1; 1.5 and 1e30 are refused.
  int64_t integral() const;
  double number() const;    // any JSON number
  Date date() const;        // ISO 8601 whole seconds with "Z"
  std::string url() const;  // a string that reads as an absolute or relative URL

  // Object members. A required key that is missing gives keyNotFound, one
  // that is null valueNotFound; both name the type the typed getters ask
  // for. find() gives nothing for missing or null. Each throws typeMismatch
  // when this value is no object.
  JsonIn at(std::string_view key) const;
  std::optional<JsonIn> find(std::string_view key) const;

  std::string string(std::string_view key) const { return at(key, "a string").string(); }
  bool boolean(std::string_view key) const { return at(key, "a Boolean").boolean(); }
  int64_t int64(std::string_view key) const { return at(key, "a whole number").int64(); }
  Date date(std::string_view key) const { return at(key, "a string").date(); }
  std::string url(std::string_view key) const { return at(key, "a string").url(); }
  std::vector<std::string> strings(std::string_view key) const;
  std::optional<std::string> optionalString(std::string_view key) const;
  std::optional<bool> optionalBoolean(std::string_view key) const;
  std::optional<int64_t> optionalInt64(std::string_view key) const;
  std::optional<double> optionalNumber(std::string_view key) const;
  std::optional<Date> optionalDate(std::string_view key) const;
  std::optional<std::string> optionalUrl(std::string_view key) const;
  std::optional<std::vector<std::string>> optionalStrings(std::string_view key) const;

  // The elements of an array, each read by `read(JsonIn)`.
  template <typename Read>
  auto array(Read read) const -> std::vector<decltype(read(std::declval<JsonIn>()))> {
    requireArray();
    std::vector<decltype(read(std::declval<JsonIn>()))> out;
    out.reserve(value_->size());
    for (size_t i = 0; i < value_->size(); ++i) out.push_back(read(element(i)));
    return out;
  }

  // The members of an object as a map keyed by member name.
  template <typename Read>
  auto map(Read read) const -> std::map<std::string, decltype(read(std::declval<JsonIn>()))> {
    requireObject();
    std::map<std::string, decltype(read(std::declval<JsonIn>()))> out;
    for (const auto& [key, value] : value_->items()) {
      out.emplace_hint(out.end(), key, read(child(value, key)));
    }
    return out;
  }

  // An enumeration object: exactly one of `cases` must be a key (other keys
  // are ignored) and hold an object. Gives the case's index and that inner
  // object; its payload, where the case has one, is at("_0").
  std::pair<size_t, JsonIn> enumCase(std::initializer_list<std::string_view> cases) const;

  void requireObject() const;
  void requireArray() const;

 private:
  JsonIn at(std::string_view key, std::string_view expected) const;
  JsonIn element(size_t index) const;
  JsonIn child(const Json& value, std::string_view key) const;
  [[noreturn]] void mismatch(std::string_view expected) const;

  const Json* root_;    // the value the first reader was made from
  const Json* value_;   // within *root_
  std::string prefix_;  // the place of *root_
  bool places_ = true;
};

// One value of a document read as it streams past (JsonCoding::parseStreaming),
// held in a flat list rather than a tree. Its getters are JsonIn's, with the
// same rules, so one record reader written for either kind of reader serves
// both. It keeps no places: any refusal throws Refused, on which the
// streaming read gives up and the caller reads the text again through JsonIn
// for the exact error. Reading a string moves it out of the list, so each
// value is read once.
class JsonStreamIn {
 public:
  struct Refused {};

  // One value of the list. An array or object is followed by the values
  // inside it; `end` is the index past its last one (past itself for the
  // other types).
  struct Value {
    Json::value_t type = Json::value_t::null;
    bool boolean = false;
    int64_t integer = 0;  // number_integer
    uint64_t whole = 0;   // number_unsigned
    std::string key;      // its name in the enclosing object
    std::string text;     // a string's
    uint32_t end = 0;
  };

  JsonStreamIn(std::vector<Value>& values, uint32_t at) : values_(&values), at_(at) {}

  std::string string() const;
  bool boolean() const;
  int64_t int64() const;
  Date date() const;
  std::string url() const;

  // As JsonIn's: of a repeated key, the last one counts.
  JsonStreamIn at(std::string_view key) const;
  std::optional<JsonStreamIn> find(std::string_view key) const;

  std::string string(std::string_view key) const { return at(key).string(); }
  bool boolean(std::string_view key) const { return at(key).boolean(); }
  int64_t int64(std::string_view key) const { return at(key).int64(); }
  Date date(std::string_view key) const { return at(key).date(); }
  std::string url(std::string_view key) const { return at(key).url(); }
  std::optional<std::string> optionalString(std::string_view key) const;
  std::optional<bool> optionalBoolean(std::string_view key) const;
  std::optional<int64_t> optionalInt64(std::string_view key) const;
  std::optional<Date> optionalDate(std::string_view key) const;
  std::optional<std::string> optionalUrl(std::string_view key) const;

  std::pair<size_t, JsonStreamIn> enumCase(std::initializer_list<std::string_view> cases) const;

  void requireObject() const;

 private:
  Value& value() const { return (*values_)[at_]; }
  std::optional<JsonStreamIn> find(std::string_view key, bool withNull) const;
  [[noreturn]] static void refuse() { throw Refused{}; }

  std::vector<Value>* values_;
  uint32_t at_;
};

// Reads a record of type T from a JSON value; each record's header declares
// its specialisation next to its toJson. Throws JsonDecodingError.
template <typename T>
T fromJson(const JsonIn& in);

namespace JsonCoding {

// The compact, key-sorted text of a value. Bytes that are not UTF-8 are
// replaced by U+FFFD rather than failing the whole document.
std::string encode(const Json& value);

// The deepest that arrays and objects may nest in a document that parse()
// accepts: [[1]] nests 2 levels deep.
inline constexpr size_t maxDepth = 512;

// Parses text; throws JsonDecodingError(dataCorrupted) for anything that is
// not one JSON value (empty text included) and for nesting deeper than
// maxDepth, with the parser's account of the fault as underlying(). Deep
// nesting is refused as soon as it is met, so a hostile document costs little
// more memory than its own text.
Json parse(std::string_view text);

// Parses text as parse() does, except for the elements of the one array
// reached by following the object keys `path` from the top: those are not
// built into the tree, which keeps an empty array in their place, but handed
// one by one to `element` as soon as each is read. Gives nothing, rather than
// an error, for any text that parse() refuses, when `element` throws
// JsonStreamIn::Refused, and when a key on the path is repeated (which array
// counts is then the tree's business): the caller then reads the text with
// parse() for the exact result.
std::optional<Json> parseStreaming(std::string_view text,
                                   std::initializer_list<std::string_view> path,
                                   const std::function<void(const JsonStreamIn&)>& element);

// Parses and reads a record in one step.
template <typename T>
T decode(std::string_view text) {
  Json json = parse(text);
  return fromJson<T>(JsonIn(json));
}

Json date(Date value);

// {"name":{}} and {"name":{"_0":payload}}.
Json enumCase(std::string_view name);
Json enumCase(std::string_view name, Json payload);

// Sets obj[key] only when the optional holds a value.
template <typename T>
void putOptional(Json& obj, const char* key, const std::optional<T>& value) {
  if (value) obj[key] = *value;
}
void putOptional(Json& obj, const char* key, const std::optional<Date>& value);

// Whether text reads as a URL: not empty, no spaces, controls, non-ASCII or
// characters that a URL may not hold unescaped, and every "%" starts an
// escape. Looser than WebURL::isKeepable, which every source applies to the
// links it records, so that a file written by an earlier build, whose links
// were checked by the syntax alone, stays readable.
bool isReadableUrl(std::string_view text);

}  // namespace JsonCoding
}  // namespace larkvale
