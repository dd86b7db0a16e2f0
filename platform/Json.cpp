#include "platform/Json.h"

#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>

#include "platform/WebURL.h"

namespace larkvale {
namespace {

std::string_view kindName(JsonDecodingError::Kind kind) {
  switch (kind) {
    case JsonDecodingError::Kind::typeMismatch:
      return "typeMismatch";
    case JsonDecodingError::Kind::valueNotFound:
      return "valueNotFound";
    case JsonDecodingError::Kind::keyNotFound:
      return "keyNotFound";
    case JsonDecodingError::Kind::dataCorrupted:
      return "dataCorrupted";
  }
  return "dataCorrupted";
}

std::string textForm(JsonDecodingError::Kind kind, const std::string& path,
                     const std::string& description) {
  std::string text(kindName(kind));
  text += "(\"" + path + "\", \"" + description + "\")";
  return text;
}

std::string_view typeName(const Json& value) {
  switch (value.type()) {
    case Json::value_t::null:
      return "null";
    case Json::value_t::boolean:
      return "a Boolean";
    case Json::value_t::string:
      return "a string";
    case Json::value_t::array:
      return "an array";
    case Json::value_t::object:
      return "an object";
    case Json::value_t::number_float:
      return "a number with a fraction";
    default:
      return "a number";
  }
}

}  // namespace

JsonDecodingError::JsonDecodingError(Kind kind, std::string path, std::string description,
                                     Details details)
    : Error(textForm(kind, path, description)),
      kind_(kind),
      path_(std::move(path)),
      description_(std::move(description)),
      details_(std::move(details)) {}

std::string JsonDecodingError::place() const {
  if (details_.key.empty()) return path_;
  return path_.empty() ? details_.key : path_ + "." + details_.key;
}

std::string JsonDecodingError::member() const {
  std::string at = place();
  while (at.ends_with(']')) at.erase(at.rfind('['));
  size_t dot = at.rfind('.');
  return dot == std::string::npos ? at : at.substr(dot + 1);
}

void JsonIn::mismatch(std::string_view expected) const {
  using Kind = JsonDecodingError::Kind;
  JsonDecodingError::Details details{std::string(expected), {}, {}};
  if (value_->is_null()) {
    throw JsonDecodingError(Kind::valueNotFound, path(),
                            "Expected " + std::string(expected) + " but found null instead.",
                            std::move(details));
  }
  throw JsonDecodingError(Kind::typeMismatch, path(),
                          "Expected " + std::string(expected) + " but found " +
                              std::string(typeName(*value_)) + " instead.",
                          std::move(details));
}

std::string JsonIn::string() const {
  if (!value_->is_string()) mismatch("a string");
  return value_->get_ref<const std::string&>();
}

bool JsonIn::boolean() const {
  if (!value_->is_boolean()) mismatch("a Boolean");
  return value_->get<bool>();
}

int64_t JsonIn::int64() const {
  if (value_->is_number_integer() && !value_->is_number_unsigned()) {
    return value_->get<int64_t>();
  }
  // nlohmann keeps values above INT64_MAX as unsigned; those don't fit.
  if (value_->is_number_unsigned()) {
    auto u = value_->get<uint64_t>();
    if (u <= static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
      return static_cast<int64_t>(u);
    }
    throw JsonDecodingError(JsonDecodingError::Kind::dataCorrupted, path(),
                            "Number " + value_->dump() + " does not fit in a 64-bit integer.",
                            {"a whole number", {}, {}});
  }
  mismatch("a whole number");
}

int64_t JsonIn::integral() const {
  if (!value_->is_number_float()) return int64();
  double d = value_->get<double>();
  if (std::isfinite(d) && d == std::trunc(d) && d >= -0x1p63 && d < 0x1p63) {
    return static_cast<int64_t>(d);
  }
  throw JsonDecodingError(JsonDecodingError::Kind::dataCorrupted, path(),
                          "Number " + value_->dump() + " is not a whole 64-bit integer.",
                          {"a whole number", {}, {}});
}

double JsonIn::number() const {
  if (!value_->is_number()) mismatch("a number");
  return value_->get<double>();
}

Date JsonIn::date() const {
  auto parsed = Dates::parseIso8601(string());
  if (!parsed) {
    throw JsonDecodingError(JsonDecodingError::Kind::dataCorrupted, path(),
                            "Expected date string to be ISO8601-formatted.");
  }
  return *parsed;
}

std::string JsonIn::url() const {
  std::string text = string();
  if (!JsonCoding::isReadableUrl(text)) {
    throw JsonDecodingError(JsonDecodingError::Kind::dataCorrupted, path(), "Invalid URL string.");
  }
  return text;
}

void JsonIn::requireObject() const {
  if (!value_->is_object()) mismatch("an object");
}

void JsonIn::requireArray() const {
  if (!value_->is_array()) mismatch("an array");
}

// A child keeps the document it was read from; its place is found there
// only when an error asks for it.
JsonIn JsonIn::child(const Json& value, std::string_view) const {
  JsonIn in(*this);
  in.value_ = &value;
  return in;
}

JsonIn JsonIn::element(size_t index) const {
  return child((*value_)[index], {});
}

namespace {

// Appends the steps from `node` down to `target` to `path`: ".key" (no dot
// at the very start) for a member, "[index]" for an element. False, with
// `path` as it was, when `target` is not below `node`.
bool appendSteps(const Json& node, const Json* target, std::string& path) {
  const size_t mark = path.size();
  if (node.is_object()) {
    for (const auto& [key, value] : node.get_ref<const Json::object_t&>()) {
      if (!path.empty()) path += '.';
      path += key;
      if (&value == target || appendSteps(value, target, path)) return true;
      path.resize(mark);
    }
  } else if (node.is_array()) {
    const auto& elements = node.get_ref<const Json::array_t&>();
    for (size_t i = 0; i < elements.size(); ++i) {
      char digits[24];
      auto end = std::to_chars(std::begin(digits), std::end(digits), i).ptr;
      path += '[';
      path.append(digits, end);
      path += ']';
      if (&elements[i] == target || appendSteps(elements[i], target, path)) return true;
      path.resize(mark);
    }
  }
  return false;
}

}  // namespace

std::string JsonIn::path() const {
  if (!places_) return {};
  std::string path = prefix_;
  if (value_ != root_) appendSteps(*root_, value_, path);
  return path;
}

JsonIn JsonIn::at(std::string_view key) const {
  return at(key, {});
}

JsonIn JsonIn::at(std::string_view key, std::string_view expected) const {
  requireObject();
  auto it = value_->find(key);
  if (it == value_->end()) {
    throw JsonDecodingError(JsonDecodingError::Kind::keyNotFound, path(),
                            "No value for key “" + std::string(key) + "”.",
                            {std::string(expected), std::string(key), {}});
  }
  return child(*it, key);
}

std::vector<std::string> JsonIn::strings(std::string_view key) const {
  return at(key, "an array").array([](const JsonIn& e) { return e.string(); });
}

std::optional<JsonIn> JsonIn::find(std::string_view key) const {
  requireObject();
  auto it = value_->find(key);
  if (it == value_->end() || it->is_null()) return std::nullopt;
  return child(*it, key);
}

std::optional<std::string> JsonIn::optionalString(std::string_view key) const {
  if (auto v = find(key)) return v->string();
  return std::nullopt;
}

std::optional<bool> JsonIn::optionalBoolean(std::string_view key) const {
  if (auto v = find(key)) return v->boolean();
  return std::nullopt;
}

std::optional<int64_t> JsonIn::optionalInt64(std::string_view key) const {
  if (auto v = find(key)) return v->int64();
  return std::nullopt;
}

std::optional<double> JsonIn::optionalNumber(std::string_view key) const {
  if (auto v = find(key)) return v->number();
  return std::nullopt;
}

std::optional<std::vector<std::string>> JsonIn::optionalStrings(std::string_view key) const {
  if (auto v = find(key)) return v->array([](const JsonIn& e) { return e.string(); });
  return std::nullopt;
}

std::optional<Date> JsonIn::optionalDate(std::string_view key) const {
  if (auto v = find(key)) return v->date();
  return std::nullopt;
}

std::optional<std::string> JsonIn::optionalUrl(std::string_view key) const {
  if (auto v = find(key)) return v->url();
  return std::nullopt;
}

std::pair<size_t, JsonIn> JsonIn::enumCase(std::initializer_list<std::string_view> cases) const {
  requireObject();
  std::optional<std::pair<size_t, JsonIn>> found;
  size_t index = 0;
  for (std::string_view name : cases) {
    auto it = value_->find(name);
    if (it != value_->end()) {
      if (found) {
        found.reset();
        break;
      }
      found.emplace(index, child(*it, name));
    }
    ++index;
  }
  if (!found) {
    throw JsonDecodingError(JsonDecodingError::Kind::typeMismatch, path(),
                            "Invalid number of keys found, expected one.");
  }
  found->second.requireObject();
  return *found;
}

namespace JsonCoding {

std::string encode(const Json& value) {
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

namespace {

// Builds the tree as nlohmann's own parser does, but stops at the first array
// or object that would open past maxDepth: deep nesting is refused before it
// costs more than the levels already open.
class DepthLimitedBuilder {
 public:
  using number_integer_t = Json::number_integer_t;
  using number_unsigned_t = Json::number_unsigned_t;
  using number_float_t = Json::number_float_t;
  using string_t = Json::string_t;
  using binary_t = Json::binary_t;

  explicit DepthLimitedBuilder(Json& result) : dom_(result) {}

  bool tooDeep() const { return tooDeep_; }

  bool null() { return dom_.null(); }
  bool boolean(bool v) { return dom_.boolean(v); }
  bool number_integer(number_integer_t v) { return dom_.number_integer(v); }
  bool number_unsigned(number_unsigned_t v) { return dom_.number_unsigned(v); }
  bool number_float(number_float_t v, const string_t& s) { return dom_.number_float(v, s); }
  bool string(string_t& v) { return dom_.string(v); }
  bool binary(binary_t& v) { return dom_.binary(v); }
  bool key(string_t& v) { return dom_.key(v); }
  bool start_object(std::size_t n) { return open() && dom_.start_object(n); }
  bool end_object() { return close() && dom_.end_object(); }
  bool start_array(std::size_t n) { return open() && dom_.start_array(n); }
  bool end_array() { return close() && dom_.end_array(); }
  template <typename Exception>
  bool parse_error(std::size_t at, const std::string& token, const Exception& e) {
    return dom_.parse_error(at, token, e);
  }

 private:
  bool open() {
    if (depth_ == JsonCoding::maxDepth) {
      tooDeep_ = true;
      return false;
    }
    ++depth_;
    return true;
  }
  bool close() {
    --depth_;
    return true;
  }

  nlohmann::detail::json_sax_dom_parser<Json> dom_;
  size_t depth_ = 0;
  bool tooDeep_ = false;
};

}  // namespace

Json parse(std::string_view text) {
  Json result;
  DepthLimitedBuilder builder(result);
  try {
    Json::sax_parse(text, &builder);
  } catch (const Json::exception& e) {
    throw JsonDecodingError(JsonDecodingError::Kind::dataCorrupted, "",
                            "The given data was not valid JSON.", {{}, {}, e.what()});
  }
  if (builder.tooDeep()) {
    throw JsonDecodingError(
        JsonDecodingError::Kind::dataCorrupted, "", "The given data was not valid JSON.",
        {{}, {}, "arrays and objects nest deeper than " + std::to_string(maxDepth) + " levels"});
  }
  return result;
}

Json date(Date value) {
  return Dates::iso8601(value);
}

Json enumCase(std::string_view name) {
  Json obj = Json::object();
  obj[std::string(name)] = Json::object();
  return obj;
}

Json enumCase(std::string_view name, Json payload) {
  Json inner = Json::object();
  inner["_0"] = std::move(payload);
  Json obj = Json::object();
  obj[std::string(name)] = std::move(inner);
  return obj;
}

void putOptional(Json& obj, const char* key, const std::optional<Date>& value) {
  if (value) obj[key] = date(*value);
}

bool isReadableUrl(std::string_view text) {
  return WebURL::isKeepable(text);
}

}  // namespace JsonCoding
}  // namespace larkvale
