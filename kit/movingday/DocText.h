#pragma once
// A text of the Moving day document with what came from outside marked, so
// that each writer makes that part safe in its own way and writes the app's
// own words as they are. Plain values; any thread.
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/TextTrim.h"

namespace larkvale {

struct DocSpan {
  enum class Kind {
    own,   // the app's own words (and links it built), written as they are
    line,  // outside text on one line: a name, a version, a host, a token
    path,  // outside text that names a file, so it is written out, not cut
  };

  Kind kind = Kind::own;
  std::string text;

  friend bool operator==(const DocSpan&, const DocSpan&) = default;
};

// Spans in reading order.
using DocText = std::vector<DocSpan>;

namespace Doc {

inline DocSpan own(std::string text) {
  return {DocSpan::Kind::own, std::move(text)};
}
inline DocSpan line(std::string text) {
  return {DocSpan::Kind::line, std::move(text)};
}
inline DocSpan path(std::string text) {
  return {DocSpan::Kind::path, std::move(text)};
}

// A span as a document shows it: the app's own words as they are, outside
// text on its one line (TextTrim::oneLine), a path written out so that it
// names its file (TextTrim::writtenOut). Neither can break the line it
// stands on or hide anything.
inline std::string shown(const DocSpan& span) {
  switch (span.kind) {
    case DocSpan::Kind::line:
      return TextTrim::oneLine(span.text);
    case DocSpan::Kind::path:
      return TextTrim::writtenOut(span.text);
    case DocSpan::Kind::own:
      break;
  }
  return span.text;
}

// The spans as a document shows them, joined.
inline std::string shown(const DocText& text) {
  std::string out;
  for (const auto& span : text) out += shown(span);
  return out;
}

// The texts of the spans as they are, joined: what the app shows, which
// cleans outside text by its own rule.
inline std::string plain(const DocText& text) {
  std::string out;
  for (const auto& span : text) out += span.text;
  return out;
}

// Outside texts of one kind with the app's separator between them.
inline DocText joined(const std::vector<std::string>& texts, DocSpan::Kind kind,
                      std::string_view separator) {
  DocText out;
  for (const auto& text : texts) {
    if (!out.empty()) out.push_back(own(std::string(separator)));
    out.push_back({kind, text});
  }
  return out;
}

// The texts one after the other.
inline DocText concat(std::initializer_list<DocText> texts) {
  DocText out;
  for (const auto& text : texts) out.insert(out.end(), text.begin(), text.end());
  return out;
}

}  // namespace Doc
}  // namespace larkvale
