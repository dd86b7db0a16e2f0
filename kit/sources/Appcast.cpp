#include "kit/sources/Appcast.h"

#include <expat.h>

#include <cstring>
#include <memory>

#include "kit/model/Version.h"
#include "kit/sources/AppcastText.h"
#include "kit/sources/HTMLText.h"
#include "platform/Strings.h"
#include "platform/TextTrim.h"

namespace larkvale {
namespace {

using Strings::equalsIgnoringAsciiCase;

// The element names the reader acts on. Names are compared as written,
// prefix included: namespace processing is off.
enum class Tag : uint8_t {
  // The ten texts stored from direct children of an item, in this order.
  title,
  pubDate,
  description,
  link,
  version,
  shortVersion,
  minimumSystemVersion,
  channelName,
  releaseNotesLink,
  fullReleaseNotesLink,
  item,
  rss,
  channel,
  critical,
  informational,
  deltas,
  enclosure,
  ignored,  // a release-notes link in another language
  other,
};
constexpr size_t kTextFields = 10;

Tag classify(const char* name) {
  static constexpr std::pair<const char*, Tag> kNames[] = {
      {"item", Tag::item},
      {"title", Tag::title},
      {"pubDate", Tag::pubDate},
      {"description", Tag::description},
      {"link", Tag::link},
      {"enclosure", Tag::enclosure},
      {"rss", Tag::rss},
      {"channel", Tag::channel},
      {"sparkle:version", Tag::version},
      {"sparkle:shortVersionString", Tag::shortVersion},
      {"sparkle:minimumSystemVersion", Tag::minimumSystemVersion},
      {"sparkle:channel", Tag::channelName},
      {"sparkle:releaseNotesLink", Tag::releaseNotesLink},
      {"sparkle:fullReleaseNotesLink", Tag::fullReleaseNotesLink},
      {"sparkle:criticalUpdate", Tag::critical},
      {"sparkle:informationalUpdate", Tag::informational},
      {"sparkle:deltas", Tag::deltas},
  };
  for (const auto& [text, tag] : kNames)
    if (name[0] == text[0] && std::strcmp(name, text) == 0) return tag;
  return Tag::other;
}

// The attributes of an enclosure that the reader uses.
struct Enclosure {
  std::optional<std::string> url, version, shortVersion, minimumSystemVersion, os;
};

struct OpenItem {
  std::optional<std::string> texts[kTextFields];
  bool critical = false;
  bool informational = false;
  const std::optional<std::string>& operator[](Tag tag) const {
    return texts[static_cast<size_t>(tag)];
  }
};

const char* attribute(const char** attrs, const char* name) {
  for (; attrs[0]; attrs += 2)
    if (std::strcmp(attrs[0], name) == 0) return attrs[1];
  return nullptr;
}

std::optional<std::string> optionalAttribute(const char** attrs, const char* name) {
  const char* value = attribute(attrs, name);
  return value ? std::optional<std::string>(value) : std::nullopt;
}

// Receives the parser's events for one document.
class FeedReader {
 public:
  std::vector<AppcastItem> items;
  bool sawRSS = false;

  void start(const char* name, const char** attrs) {
    const Tag tag = classify(name);
    stack_.push_back(tag);
    text_.clear();
    switch (tag) {
      case Tag::rss:
      case Tag::channel:
        sawRSS = true;
        break;
      case Tag::item:
        current_.emplace();
        enclosure_.reset();
        break;
      case Tag::deltas:
        ++inDeltas_;
        break;
      case Tag::enclosure:
        if (current_ && inDeltas_ == 0) chooseEnclosure(attrs);
        break;
      case Tag::releaseNotesLink:
      case Tag::fullReleaseNotesLink:
        if (const char* lang = attribute(attrs, "xml:lang");
            lang && std::strncmp(lang, "en", 2) != 0)
          stack_.back() = Tag::ignored;
        break;
      default:
        break;
    }
  }

  void end(const char* name) {
    Tag key = Tag::other;
    if (stack_.empty()) {
      key = classify(name);
    } else {
      key = stack_.back();
      stack_.pop_back();
    }
    if (key == Tag::deltas) {
      if (inDeltas_ > 0) --inDeltas_;
    } else if (current_ && inDeltas_ == 0) {
      store(key);
    }
    text_.clear();
  }

  void characters(const char* s, int length) { text_.append(s, static_cast<size_t>(length)); }

 private:
  std::vector<Tag> stack_;
  std::optional<OpenItem> current_;
  std::optional<Enclosure> enclosure_;
  std::string text_;
  int inDeltas_ = 0;

  // The first enclosure counts; a later one replaces it only when the chosen
  // one is for Windows and the new one is not.
  void chooseEnclosure(const char** attrs) {
    const char* os = attribute(attrs, "sparkle:os");
    if (enclosure_) {
      const bool chosenIsWindows =
          enclosure_->os && equalsIgnoringAsciiCase(*enclosure_->os, "windows");
      if (!chosenIsWindows || (os && equalsIgnoringAsciiCase(os, "windows"))) return;
    }
    enclosure_ =
        Enclosure{optionalAttribute(attrs, "url"), optionalAttribute(attrs, "sparkle:version"),
                  optionalAttribute(attrs, "sparkle:shortVersionString"),
                  optionalAttribute(attrs, "sparkle:minimumSystemVersion"),
                  os ? std::optional<std::string>(os) : std::nullopt};
  }

  void store(Tag key) {
    if (key == Tag::item) return finishItem();
    const Tag parent = stack_.empty() ? Tag::other : stack_.back();
    if (parent != Tag::item) return;
    if (static_cast<size_t>(key) < kTextFields) {
      auto& slot = current_->texts[static_cast<size_t>(key)];
      if (slot) return;  // the first non-empty occurrence wins
      const std::string_view value = FeedText::trimmed(text_);
      if (!value.empty()) slot = std::string(value);
    } else if (key == Tag::critical) {
      current_->critical = true;
    } else if (key == Tag::informational) {
      current_->informational = true;
    }
  }

  void finishItem() {
    const OpenItem open = std::move(*current_);
    current_.reset();
    const Enclosure enclosure = enclosure_.value_or(Enclosure{});
    AppcastItem item;
    auto version = open[Tag::version] ? open[Tag::version] : enclosure.version;
    if (!version)
      version = open[Tag::shortVersion] ? open[Tag::shortVersion] : enclosure.shortVersion;
    if (!version) return;
    item.version = TextTrim::oneLine(*version);
    item.shortVersion = open[Tag::shortVersion] ? open[Tag::shortVersion] : enclosure.shortVersion;
    if (item.shortVersion) item.shortVersion = TextTrim::oneLine(*item.shortVersion);
    if (open[Tag::description]) {
      std::string notes = HTMLText::plainText(*open[Tag::description]);
      if (!notes.empty()) item.notes = std::move(notes);
    }
    const auto& notesLink =
        open[Tag::releaseNotesLink] ? open[Tag::releaseNotesLink] : open[Tag::fullReleaseNotesLink];
    if (notesLink) item.notesURL = FeedText::webAddress(*notesLink);
    item.title = open[Tag::title];
    if (open[Tag::pubDate]) item.pubDate = Appcast::parseFeedDate(*open[Tag::pubDate]);
    if (enclosure.url) item.downloadURL = FeedText::webAddress(*enclosure.url);
    item.minimumSystemVersion = open[Tag::minimumSystemVersion] ? open[Tag::minimumSystemVersion]
                                                                : enclosure.minimumSystemVersion;
    item.channel = open[Tag::channelName];
    item.os = enclosure.os;
    item.critical = open.critical;
    item.informational = open.informational;
    if (open[Tag::link]) item.link = FeedText::webAddress(*open[Tag::link]);
    items.push_back(std::move(item));
  }
};

struct ParserDeleter {
  void operator()(XML_Parser p) const { XML_ParserFree(p); }
};

}  // namespace

std::vector<AppcastItem> Appcast::parseAppcast(std::string_view data) {
  FeedReader reader;
  // Plain names, not namespace-resolved ones: "sparkle:version" as written.
  std::unique_ptr<XML_ParserStruct, ParserDeleter> parser(XML_ParserCreate(nullptr));
  if (!parser) throw std::bad_alloc();
  XML_Parser p = parser.get();
  // No external entity handler is set, so no DTD or entity is ever fetched;
  // parameter entities are not even considered.
  XML_SetParamEntityParsing(p, XML_PARAM_ENTITY_PARSING_NEVER);
  XML_SetUserData(p, &reader);
  XML_SetElementHandler(
      p,
      [](void* r, const XML_Char* name, const XML_Char** attrs) {
        static_cast<FeedReader*>(r)->start(name, attrs);
      },
      [](void* r, const XML_Char* name) { static_cast<FeedReader*>(r)->end(name); });
  XML_SetCharacterDataHandler(p, [](void* r, const XML_Char* s, int length) {
    static_cast<FeedReader*>(r)->characters(s, length);
  });

  // A document that breaks off keeps what was finished before the break, so
  // the parser's verdict is not consulted. Large inputs go in slices because
  // expat takes an int length.
  constexpr size_t kSlice = 1u << 30;
  bool ok = true;
  size_t at = 0;
  do {
    const size_t n = std::min(kSlice, data.size() - at);
    const bool last = at + n == data.size();
    ok = XML_Parse(p, data.data() + at, static_cast<int>(n), last) == XML_STATUS_OK;
    at += n;
  } while (ok && at < data.size());

  if (!reader.sawRSS && reader.items.empty()) throw AppcastError();
  return std::move(reader.items);
}

bool Appcast::meetsMinimum(std::string_view systemVersion, std::string_view minimum) {
  return systemVersion.empty() || Version::compare(systemVersion, minimum) >= 0;
}

std::optional<AppcastItem> Appcast::bestItem(const std::vector<AppcastItem>& items,
                                             std::string_view systemVersion) {
  const AppcastItem* best = nullptr;
  for (const auto& item : items) {
    const bool defaultChannel = !item.channel || item.channel->empty();
    const bool forMac = !item.os || equalsIgnoringAsciiCase(*item.os, "macos");
    const bool runsHere =
        !item.minimumSystemVersion || meetsMinimum(systemVersion, *item.minimumSystemVersion);
    if (!defaultChannel || !forMac || !runsHere) continue;
    // A linear best-so-far scan: the version order is not fit for sorting.
    if (!best || Version::compare(best->version, item.version) < 0) best = &item;
  }
  return best ? std::optional<AppcastItem>(*best) : std::nullopt;
}

}  // namespace larkvale
