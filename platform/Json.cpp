#include "platform/Json.h"

#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>

#include "platform/TextTrim.h"
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
  // A place names keys of the document, which may hold anything.
  text += "(\"" + TextTrim::oneLine(path) + "\", \"" + description + "\")";
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

// nlohmann keeps whole numbers above INT64_MAX as unsigned; those don't fit.
std::optional<int64_t> signedWhole(uint64_t value) {
  if (value > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) return std::nullopt;
  return static_cast<int64_t>(value);
}

// An enumeration names exactly one of its cases (other keys don't count).
// `lookup(name)` gives the member or nothing; the result is the case's index
// and its member, or nothing for no case or several.
template <typename Lookup>
auto singleCase(std::initializer_list<std::string_view> cases, Lookup lookup) {
  using Member = decltype(lookup(std::string_view()));
  std::optional<std::pair<size_t, Member>> found;
  size_t index = 0;
  for (std::string_view name : cases) {
    if (Member member = lookup(name)) {
      if (found) return std::optional<std::pair<size_t, Member>>();
      found.emplace(index, member);
    }
    ++index;
  }
  return found;
}

// An optional member: empty when missing or null (find() gives nothing),
// else read as a required one is.
template <typename In, typename Read>
auto optionalMember(const In& in, std::string_view key, Read read)
    -> std::optional<decltype(read(in))> {
  if (auto v = in.find(key)) return read(*v);
  return std::nullopt;
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
  if (value_->is_number_unsigned()) {
    if (auto fits = signedWhole(value_->get<uint64_t>())) return *fits;
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
  auto found = singleCase(cases, [this](std::string_view name) -> const Json* {
    auto it = value_->find(name);
    return it == value_->end() ? nullptr : &*it;
  });
  if (!found) {
    throw JsonDecodingError(JsonDecodingError::Kind::typeMismatch, path(),
                            "Invalid number of keys found, expected one.");
  }
  JsonIn inner = child(*found->second, {});
  inner.requireObject();
  return {found->first, inner};
}

// The streamed values follow JsonIn's rules above; a refusal says nothing
// more, as the document is read again for the error.

std::string JsonStreamIn::string() const {
  if (value().type != Json::value_t::string) refuse();
  return std::move(value().text);
}

std::optional<std::string> JsonStreamIn::optionalString(std::string_view key) const {
  return optionalMember(*this, key, [](const JsonStreamIn& v) { return v.string(); });
}

bool JsonStreamIn::boolean() const {
  if (value().type != Json::value_t::boolean) refuse();
  return value().boolean;
}

std::optional<bool> JsonStreamIn::optionalBoolean(std::string_view key) const {
  return optionalMember(*this, key, [](const JsonStreamIn& v) { return v.boolean(); });
}

int64_t JsonStreamIn::int64() const {
  if (value().type == Json::value_t::number_integer) return value().integer;
  if (value().type != Json::value_t::number_unsigned) refuse();
  if (auto fits = signedWhole(value().whole)) return *fits;
  refuse();
}

std::optional<int64_t> JsonStreamIn::optionalInt64(std::string_view key) const {
  return optionalMember(*this, key, [](const JsonStreamIn& v) { return v.int64(); });
}

Date JsonStreamIn::date() const {
  if (value().type != Json::value_t::string) refuse();
  auto parsed = Dates::parseIso8601(value().text);
  if (!parsed) refuse();
  return *parsed;
}

std::optional<Date> JsonStreamIn::optionalDate(std::string_view key) const {
  return optionalMember(*this, key, [](const JsonStreamIn& v) { return v.date(); });
}

std::string JsonStreamIn::url() const {
  std::string text = string();
  if (!JsonCoding::isReadableUrl(text)) refuse();
  return text;
}

std::optional<std::string> JsonStreamIn::optionalUrl(std::string_view key) const {
  return optionalMember(*this, key, [](const JsonStreamIn& v) { return v.url(); });
}

void JsonStreamIn::requireObject() const {
  if (value().type != Json::value_t::object) refuse();
}

JsonStreamIn JsonStreamIn::at(std::string_view key) const {
  if (auto member = find(key, true)) return *member;
  refuse();
}

std::optional<JsonStreamIn> JsonStreamIn::find(std::string_view key) const {
  return find(key, false);
}

std::optional<JsonStreamIn> JsonStreamIn::find(std::string_view key, bool withNull) const {
  requireObject();
  const std::vector<Value>& values = *values_;
  std::optional<uint32_t> last;
  for (uint32_t i = at_ + 1; i < values[at_].end; i = values[i].end) {
    if (values[i].key == key) last = i;
  }
  if (!last || (!withNull && values[*last].type == Json::value_t::null)) return std::nullopt;
  return JsonStreamIn(*values_, *last);
}

std::pair<size_t, JsonStreamIn> JsonStreamIn::enumCase(
    std::initializer_list<std::string_view> cases) const {
  auto found = singleCase(cases, [this](std::string_view name) { return find(name, true); });
  if (!found) refuse();
  found->second->requireObject();
  return {found->first, *found->second};
}

namespace JsonCoding {

std::string encode(const Json& value) {
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

namespace {

// The types nlohmann's parser asks of the handlers it reports to.
struct SaxTypes {
  using number_integer_t = Json::number_integer_t;
  using number_unsigned_t = Json::number_unsigned_t;
  using number_float_t = Json::number_float_t;
  using string_t = Json::string_t;
  using binary_t = Json::binary_t;
};

// Builds the tree as nlohmann's own parser does, but stops at the first array
// or object that would open past maxDepth: deep nesting is refused before it
// costs more than the levels already open.
class DepthLimitedBuilder : public SaxTypes {
 public:
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

namespace {

// Builds the tree as DepthLimitedBuilder does, except for the elements of
// the array at `path`: each is laid out in a flat list, handed to `element`
// and forgotten. Gives up (returns false) at anything parse() would refuse,
// at a repeated key on the path and when `element` refuses.
class StreamingBuilder : public SaxTypes {
 public:
  using Value = JsonStreamIn::Value;

  StreamingBuilder(Json& result, std::initializer_list<std::string_view> path,
                   const std::function<void(const JsonStreamIn&)>& element)
      : dom_(result), path_(path), seen_(path.size()), element_(element) {}

  bool null() {
    if (!inBulk_) return scalar() && dom_.null();
    add(Json::value_t::null);
    return finish();
  }
  bool boolean(bool v) {
    if (!inBulk_) return scalar() && dom_.boolean(v);
    add(Json::value_t::boolean).boolean = v;
    return finish();
  }
  bool number_integer(number_integer_t v) {
    if (!inBulk_) return scalar() && dom_.number_integer(v);
    add(Json::value_t::number_integer).integer = v;
    return finish();
  }
  bool number_unsigned(number_unsigned_t v) {
    if (!inBulk_) return scalar() && dom_.number_unsigned(v);
    add(Json::value_t::number_unsigned).whole = v;
    return finish();
  }
  bool number_float(number_float_t v, const string_t& s) {
    if (!inBulk_) return scalar() && dom_.number_float(v, s);
    add(Json::value_t::number_float);  // no streamed reader takes a fraction
    return finish();
  }
  bool string(string_t& v) {
    if (!inBulk_) return scalar() && dom_.string(v);
    add(Json::value_t::string).text = std::move(v);
    return finish();
  }
  bool binary(binary_t&) { return false; }  // not in JSON text

  bool key(string_t& v) {
    if (inBulk_) {
      key_.assign(v);
      return true;
    }
    nextOnPath_ = false;
    if (depth_ == pathDepth_ && depth_ <= path_.size() && v == path_.begin()[depth_ - 1]) {
      if (seen_[depth_ - 1]) return false;
      seen_[depth_ - 1] = true;
      nextOnPath_ = true;
    }
    return dom_.key(v);
  }

  bool start_object(std::size_t n) {
    if (!open()) return false;
    if (inBulk_) return startContainer(Json::value_t::object);
    if (onPath() && pathDepth_ < path_.size()) ++pathDepth_;
    return dom_.start_object(n);
  }
  bool end_object() {
    --depth_;
    if (inBulk_) return endContainer();
    if (depth_ + 1 == pathDepth_) --pathDepth_;
    return dom_.end_object();
  }
  bool start_array(std::size_t n) {
    if (!open()) return false;
    if (inBulk_) return startContainer(Json::value_t::array);
    if (onPath() && pathDepth_ == path_.size()) inBulk_ = true;
    return dom_.start_array(n);
  }
  bool end_array() {
    --depth_;
    if (inBulk_ && !open_.empty()) return endContainer();
    inBulk_ = false;
    return dom_.end_array();
  }

  template <typename Exception>
  bool parse_error(std::size_t, const std::string&, const Exception&) {
    return false;
  }

 private:
  bool open() {
    if (depth_ == JsonCoding::maxDepth) return false;
    ++depth_;
    return true;
  }
  bool scalar() {
    nextOnPath_ = false;
    return true;
  }
  // Whether the array or object just opened is the value a key on the path
  // names (the top one counts when it is opened first).
  bool onPath() {
    bool on = nextOnPath_ && depth_ == pathDepth_ + 1;
    nextOnPath_ = false;
    return on;
  }

  Value& add(Json::value_t type) {
    if (count_ == values_.size()) values_.emplace_back();
    Value& v = values_[count_];
    v.type = type;
    if (open_.empty() || values_[open_.back()].type != Json::value_t::object) {
      v.key.clear();
    } else {
      v.key.swap(key_);
    }
    v.end = static_cast<uint32_t>(++count_);
    return v;
  }
  bool startContainer(Json::value_t type) {
    add(type);
    open_.push_back(static_cast<uint32_t>(count_ - 1));
    return true;
  }
  bool endContainer() {
    values_[open_.back()].end = static_cast<uint32_t>(count_);
    open_.pop_back();
    return finish();
  }
  // After a value: when it completes an element, reads and forgets it.
  bool finish() {
    if (!open_.empty()) return true;
    try {
      element_(JsonStreamIn(values_, 0));
    } catch (const JsonStreamIn::Refused&) {
      return false;
    }
    count_ = 0;
    return true;
  }

  nlohmann::detail::json_sax_dom_parser<Json> dom_;
  std::initializer_list<std::string_view> path_;
  std::vector<bool> seen_;  // the key of each level of the path, met once
  size_t depth_ = 0;
  size_t pathDepth_ = 0;    // the open objects that lie on the path
  bool nextOnPath_ = true;  // the value about to start is on the path
  bool inBulk_ = false;     // within the array at the path
  const std::function<void(const JsonStreamIn&)>& element_;
  // The element being read: its values so far, the open arrays and objects
  // among them and the key of the next member. Kept between elements, so
  // the values and their keys' buffers are reused.
  std::vector<Value> values_;
  size_t count_ = 0;
  std::vector<uint32_t> open_;
  std::string key_;
};

}  // namespace

std::optional<Json> parseStreaming(std::string_view text,
                                   std::initializer_list<std::string_view> path,
                                   const std::function<void(const JsonStreamIn&)>& element) {
  Json result;
  StreamingBuilder builder(result, path, element);
  try {
    if (!Json::sax_parse(text, &builder)) return std::nullopt;
  } catch (const Json::exception&) {
    return std::nullopt;
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
  return !text.empty() && WebURL::isWellFormed(text);
}

}  // namespace JsonCoding
}  // namespace larkvale
