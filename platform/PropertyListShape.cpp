#include "platform/PropertyListShape.h"

#include <expat.h>

#include <algorithm>
#include <memory>
#include <unordered_map>
#include <vector>

namespace larkvale::PropertyListShape {
namespace {

constexpr size_t kTrailerSize = 32;

unsigned byteAt(std::string_view bytes, size_t at) {
  return static_cast<unsigned char>(bytes[at]);
}

uint64_t readBigEndian(std::string_view bytes, size_t at, size_t width) {
  uint64_t value = 0;
  for (size_t i = 0; i < width; ++i) value = value << 8 | byteAt(bytes, at + i);
  return value;
}

// The walk of a binary list's object graph from its top object: depth first
// with an explicit stack, each container's references read once, and what
// is known of a finished container kept for every later reference to it.
class BinaryWalk {
 public:
  explicit BinaryWalk(std::string_view bytes) : bytes_(bytes), end_(bytes.size() - kTrailerSize) {}

  bool run() {
    if (!readTrailer()) return false;
    Summary top;
    if (!enter(top_, top)) return false;
    while (!stack_.empty()) {
      Frame& frame = stack_.back();
      if (frame.next == frame.refs) {
        const Summary done = frame.summary;
        seen_[frame.index] = {false, done};
        stack_.pop_back();
        if (!stack_.empty() && !fold(stack_.back().summary, done)) return false;
        continue;
      }
      const uint64_t child = readBigEndian(bytes_, frame.at + frame.next * refWidth_, refWidth_);
      ++frame.next;
      if (++walkedRefs_ > kMaxValues || child >= objects_) return false;
      Summary summary;
      if (auto it = seen_.find(child); it != seen_.end()) {
        if (it->second.open) return false;  // an object that contains itself
        summary = it->second.summary;
      } else if (!enter(child, summary)) {
        return false;
      } else if (summary.isContainer) {
        continue;  // folded into its parent once it is finished
      }
      if (!fold(stack_.back().summary, summary)) return false;
    }
    return true;
  }

 private:
  struct Summary {
    bool isContainer = false;
    uint64_t height = 1;  // values on the longest path down, this one included
    uint64_t values = 1;  // values below and including this one, shared ones copied
  };
  struct Seen {
    bool open = false;
    Summary summary;
  };
  struct Frame {
    uint64_t index = 0;
    size_t at = 0;  // of the first reference
    uint64_t refs = 0;
    uint64_t next = 0;
    Summary summary;
  };

  bool readTrailer() {
    offsetWidth_ = byteAt(bytes_, end_ + 6);
    refWidth_ = byteAt(bytes_, end_ + 7);
    objects_ = readBigEndian(bytes_, end_ + 8, 8);
    top_ = readBigEndian(bytes_, end_ + 16, 8);
    table_ = readBigEndian(bytes_, end_ + 24, 8);
    return offsetWidth_ >= 1 && offsetWidth_ <= 8 && refWidth_ >= 1 && refWidth_ <= 8 &&
           table_ >= 8 && table_ <= end_ && objects_ <= (end_ - table_) / offsetWidth_ &&
           top_ < objects_;
  }

  // Reads the object's marker. A container is pushed onto the stack (its
  // summary is filled in when it is finished); a leaf is summarised at once.
  bool enter(uint64_t index, Summary& summary) {
    const uint64_t offset =
        readBigEndian(bytes_, static_cast<size_t>(table_ + index * offsetWidth_), offsetWidth_);
    if (offset < 8 || offset >= end_) return false;
    const unsigned marker = byteAt(bytes_, static_cast<size_t>(offset));
    const unsigned type = marker >> 4;
    summary = Summary{};
    if (type != 0xA && type != 0xC && type != 0xD) return true;  // array, set, dictionary

    uint64_t count = marker & 0x0F;
    size_t at = static_cast<size_t>(offset) + 1;
    if (count == 0x0F) {  // the count follows as an integer object
      if (at >= end_) return false;
      const unsigned intMarker = byteAt(bytes_, at);
      const size_t width = size_t{1} << (intMarker & 0x0F);
      if ((intMarker >> 4) != 0x1 || width > 8 || end_ - at - 1 < width) return false;
      count = readBigEndian(bytes_, at + 1, width);
      at += 1 + width;
    }
    const uint64_t perEntry = type == 0xD ? 2 : 1;  // a dictionary lists keys, then values
    if (count > (end_ - at) / refWidth_ / perEntry) return false;
    if (stack_.size() >= static_cast<size_t>(kMaxDepth) || seen_.size() >= kMaxValues) return false;
    summary.isContainer = true;
    seen_[index] = {true, summary};
    stack_.push_back({index, at, count * perEntry, 0, summary});
    return true;
  }

  static bool fold(Summary& parent, const Summary& child) {
    parent.height = std::max(parent.height, child.height + 1);
    parent.values += child.values;
    return parent.height <= static_cast<uint64_t>(kMaxDepth) && parent.values <= kMaxValues;
  }

  std::string_view bytes_;
  size_t end_;  // where the trailer starts
  size_t offsetWidth_ = 0;
  size_t refWidth_ = 0;
  uint64_t objects_ = 0;
  uint64_t top_ = 0;
  uint64_t table_ = 0;
  uint64_t walkedRefs_ = 0;
  std::unordered_map<uint64_t, Seen> seen_;
  std::vector<Frame> stack_;
};

struct ExpatFree {
  void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};

struct XmlDepth {
  XML_Parser parser = nullptr;
  int depth = 0;
  bool tooDeep = false;
};

void XMLCALL startElement(void* data, const XML_Char*, const XML_Char**) {
  auto* state = static_cast<XmlDepth*>(data);
  if (++state->depth > kMaxDepth) {
    state->tooDeep = true;
    XML_StopParser(state->parser, XML_FALSE);
  }
}

void XMLCALL endElement(void* data, const XML_Char*) {
  --static_cast<XmlDepth*>(data)->depth;
}

// A byte-order mark and white space may come before the XML declaration in
// files the library reads; the XML rules would refuse them there.
std::string_view skipLeadingSpace(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  const size_t start = text.find_first_not_of(" \t\r\n");
  return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

}  // namespace

bool binaryFits(std::string_view bytes) {
  if (bytes.size() < 8 + kTrailerSize) return false;
  return BinaryWalk(bytes).run();
}

bool xmlFits(std::string_view bytes) {
  // Every element opens with a "<": a list with few of them can't nest
  // deeper than that, and most lists are read without a second parser.
  if (std::count(bytes.begin(), bytes.end(), '<') <= kMaxDepth) return true;
  // Read as Latin-1, whatever the document declares: every byte is a
  // character then, and the markup, all ASCII, reads the same as in UTF-8.
  std::unique_ptr<XML_ParserStruct, ExpatFree> parser(XML_ParserCreate("ISO-8859-1"));
  if (!parser) return false;
  XmlDepth state;
  state.parser = parser.get();
  XML_SetUserData(parser.get(), &state);
  XML_SetElementHandler(parser.get(), startElement, endElement);

  std::string_view text = skipLeadingSpace(bytes);
  constexpr size_t kSlice = size_t{1} << 24;
  do {
    const size_t n = std::min(kSlice, text.size());
    const bool last = n == text.size();
    if (XML_Parse(parser.get(), text.data(), static_cast<int>(n), last) != XML_STATUS_OK)
      return false;
    text.remove_prefix(n);
  } while (!text.empty());
  return !state.tooDeep;
}

}  // namespace larkvale::PropertyListShape
