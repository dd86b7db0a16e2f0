#include "kit/sources/HTMLText.h"

#include <unicode/brkiter.h>
#include <unicode/uchar.h>
#include <unicode/utext.h>

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>

#include "kit/sources/AppcastText.h"
#include "platform/Strings.h"
#include "platform/TextTrim.h"

// Each step is one left-to-right pass over the result of the one before, as
// a replace-all of one pattern would be; the passes are kept apart because
// merging them changes what overlapping tags such as "<a <br>" become.
namespace larkvale::HTMLText {
namespace {

using Strings::startsWithIgnoringAsciiCase;

// The output of one pass, written only from its first change on: a pass
// that finds nothing to do costs its scan and no copy. The output buffer is
// the caller's, so the passes of one text share two allocations.
class Rewrite {
 public:
  Rewrite(std::string_view in, std::string& out) : in_(in), out_(out) {}

  // Puts `with` in place of in[at, end); spans come left to right.
  void replace(size_t at, size_t end, std::string_view with) {
    if (!changed_) {
      out_.clear();
      out_.reserve(in_.size());
      changed_ = true;
    }
    out_.append(in_.substr(copied_, at - copied_)).append(with);
    copied_ = end;
  }

  // True when the output holds the rewritten text; false when the input
  // stands unchanged (the output is then untouched).
  bool finish() {
    if (changed_) out_.append(in_.substr(copied_));
    return changed_;
  }

 private:
  std::string_view in_;
  std::string& out_;
  size_t copied_ = 0;
  bool changed_ = false;
};

size_t findIgnoringCase(std::string_view s, std::string_view needle, size_t from) {
  for (size_t at = s.find('<', from); at != std::string_view::npos; at = s.find('<', at + 1))
    if (startsWithIgnoringAsciiCase(s.substr(at), needle)) return at;
  return std::string_view::npos;
}

// <script …>…</script> and <style …>…</style>, content and all.
void dropScripts(std::string_view s, Rewrite& out) {
  std::array<bool, 2> unclosed{};  // once a close tag is missing, it stays missing further on
  for (size_t at = s.find('<'); at != std::string_view::npos; at = s.find('<', at + 1)) {
    const std::string_view rest = s.substr(at + 1);
    const int which = startsWithIgnoringAsciiCase(rest, "script")  ? 0
                      : startsWithIgnoringAsciiCase(rest, "style") ? 1
                                                                   : -1;
    if (which < 0 || unclosed[which]) continue;
    const std::string_view close = which == 0 ? "</script>" : "</style>";
    const size_t gt = s.find('>', at + close.size() - 2);
    if (gt == std::string_view::npos) break;
    const size_t end = findIgnoringCase(s, close, gt + 1);
    if (end == std::string_view::npos) {
      unclosed[which] = true;
      continue;
    }
    out.replace(at, end + close.size(), "");
    at = end + close.size() - 1;
  }
}

// The length of a line-break tag (<br>, <br/>, <BR />) or block end (</p>,
// </div>, </h1>…</h6>, </ul>, </ol>, </tr>) at the start of s, or 0.
size_t breakTagLength(std::string_view s) {
  if (startsWithIgnoringAsciiCase(s, "<br")) {
    // Any white space may pad the tag, the vertical tab, no-break and other
    // Unicode spaces and line separators included.
    size_t i = 3, n = 0;
    while (i < s.size() && (FeedText::isSpaceAt(s, i, &n) || FeedText::isLineBreakAt(s, i, &n)))
      i += n;
    if (i < s.size() && s[i] == '/') ++i;
    return i < s.size() && s[i] == '>' ? i + 1 : 0;
  }
  if (!s.starts_with("</")) return 0;
  static constexpr std::string_view kBlockEnds[] = {"p>", "div>", "ul>", "ol>", "tr>"};
  for (std::string_view name : kBlockEnds)
    if (startsWithIgnoringAsciiCase(s.substr(2), name)) return 2 + name.size();
  if (s.size() >= 5 && (s[2] == 'h' || s[2] == 'H') && s[3] >= '1' && s[3] <= '6' && s[4] == '>')
    return 5;
  return 0;
}

void breaksToNewlines(std::string_view s, Rewrite& out) {
  for (size_t at = s.find('<'); at != std::string_view::npos; at = s.find('<', at + 1)) {
    const size_t length = breakTagLength(s.substr(at));
    if (length == 0) continue;
    out.replace(at, at + length, "\n");
    at += length - 1;
  }
}

// Replaces every tag that starts with `prefix` up to the first ">" after it
// with `replacement`; a bare "<" prefix needs at least one character inside.
void replaceTags(std::string_view s, std::string_view prefix, std::string_view replacement,
                 Rewrite& out) {
  for (size_t at = s.find('<'); at != std::string_view::npos; at = s.find('<', at + 1)) {
    if (!startsWithIgnoringAsciiCase(s.substr(at), prefix)) continue;
    const size_t from = at + prefix.size();
    if (prefix.size() == 1 && (from >= s.size() || s[from] == '>')) continue;  // "<>" is no tag
    const size_t gt = s.find('>', prefix.size() == 1 ? from + 1 : from);
    if (gt == std::string_view::npos) break;  // no tag can close from here on
    out.replace(at, gt + 1, replacement);
    at = gt;
  }
}

constexpr std::pair<std::string_view, std::string_view> kEntities[] = {
    {"&nbsp;", " "},       {"&amp;", "&"},         {"&lt;", "<"},         {"&gt;", ">"},
    {"&quot;", "\""},      {"&#39;", "'"},         {"&apos;", "'"},       {"&rsquo;", "\u2019"},
    {"&lsquo;", "\u2018"}, {"&ldquo;", "\u201c"},  {"&rdquo;", "\u201d"}, {"&mdash;", "\u2014"},
    {"&ndash;", "\u2013"}, {"&hellip;", "\u2026"},
};

void decodeEntities(std::string_view s, Rewrite& out) {
  for (size_t at = s.find('&'); at != std::string_view::npos; at = s.find('&', at + 1)) {
    for (const auto& [entity, text] : kEntities) {
      if (!s.substr(at).starts_with(entity)) continue;
      out.replace(at, at + entity.size(), text);
      at += entity.size() - 1;
      break;
    }
  }
}

// Decimal references the entity table did not cover are dropped, not decoded.
void dropDecimalReferences(std::string_view s, Rewrite& out) {
  for (size_t at = s.find("&#"); at != std::string_view::npos; at = s.find("&#", at + 1)) {
    size_t end = at + 2;
    while (end < s.size()) {  // decimal digits of any script count
      const auto [c, n] = TextTrim::decodeAt(s, end);
      if (!u_isdigit(static_cast<UChar32>(c))) break;
      end += n;
    }
    if (end == at + 2 || end >= s.size() || s[end] != ';') continue;
    out.replace(at, end + 1, "");
    at = end;
  }
}

// Bytes that may begin a line break: LF, VT, FF, CR, and the lead bytes of
// NEL (C2 85) and LINE / PARAGRAPH SEPARATOR (E2 80 A8/A9).
constexpr std::array<bool, 256> kBreakLead = [] {
  std::array<bool, 256> table{};
  for (int c = '\n'; c <= '\r'; ++c) table[c] = true;
  table[0xc2] = table[0xe2] = true;
  return table;
}();

class LineTidier {
 public:
  explicit LineTidier(size_t capacity) { out_.reserve(capacity); }
  void add(std::string_view line) {
    line = FeedText::trimmed(line, false);
    if (line.empty()) {
      blankPending_ = keptAny_;
      return;
    }
    if (keptAny_) out_.append(blankPending_ ? "\n\n" : "\n");
    out_.append(line);
    keptAny_ = true;
    blankPending_ = false;
  }
  std::string take() { return std::move(out_); }

 private:
  std::string out_;
  bool keptAny_ = false;
  bool blankPending_ = false;
};

// The first byte at or after `from` that may begin a line break, or the
// size of s. Ordinary text is skipped eight bytes at a time: every lead byte
// is below 0x0E or above 0x7F.
size_t nextBreakLead(std::string_view s, size_t from) {
  constexpr uint64_t kOnes = 0x0101010101010101, kHighBits = kOnes * 0x80;
  while (from < s.size()) {
    if (from + 8 <= s.size()) {
      uint64_t word = 0;
      std::memcpy(&word, s.data() + from, 8);
      // The high bit of each byte that is below 0x0E or above 0x7F; bytes
      // above the lowest one marked may be marked wrongly, so only it counts.
      const uint64_t marks = ((word - kOnes * 0x0e) | word) & kHighBits;
      if (marks == 0) {
        from += 8;
        continue;
      }
      if constexpr (std::endian::native == std::endian::little)
        from += static_cast<size_t>(std::countr_zero(marks)) / 8;
    }
    if (kBreakLead[static_cast<unsigned char>(s[from])]) return from;
    ++from;
  }
  return s.size();
}

// Trimmed lines, no blank line at either end and never two in a row. A CR LF
// pair counts as one break.
std::string tidyLines(std::string_view s) {
  LineTidier lines(s.size());
  size_t start = 0;
  for (size_t i = nextBreakLead(s, 0); i < s.size(); i = nextBreakLead(s, i)) {
    size_t n = 1;  // on no break, the length of the character at i: no break starts inside it
    if (FeedText::isLineBreakAt(s, i, &n)) {
      lines.add(s.substr(start, i - start));
      if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++n;
      start = i + n;
    }
    i += n;
  }
  lines.add(s.substr(start));
  return lines.take();
}

// The byte length of the first `limit` grapheme clusters, or nothing when
// the text has no more than that.
std::optional<size_t> cutPoint(const std::string& s, size_t limit) {
  if (s.size() <= limit) return std::nullopt;
  size_t codePoints = 0;
  for (unsigned char c : s) codePoints += (c & 0xc0) != 0x80;
  if (codePoints <= limit) return std::nullopt;
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::BreakIterator> it(
      icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), status));
  UText* text = utext_openUTF8(nullptr, s.data(), static_cast<int64_t>(s.size()), &status);
  if (U_FAILURE(status)) {
    utext_close(text);
    return std::nullopt;
  }
  it->setText(text, status);
  int32_t at = it->first();
  for (size_t count = 0; count < limit && at != icu::BreakIterator::DONE; ++count) at = it->next();
  const bool more = at != icu::BreakIterator::DONE && it->next() != icu::BreakIterator::DONE;
  utext_close(text);
  if (!more) return std::nullopt;
  return static_cast<size_t>(at);
}

}  // namespace

std::string plainText(std::string_view html) {
  std::string text(html), spare;
  const auto apply = [&](const auto& pass) {
    Rewrite rewrite(text, spare);
    pass(text, rewrite);
    if (rewrite.finish()) text.swap(spare);
  };
  apply(dropScripts);
  apply(breaksToNewlines);
  apply([](std::string_view s, Rewrite& out) { replaceTags(s, "<li", "\n\u2022 ", out); });
  apply([](std::string_view s, Rewrite& out) { replaceTags(s, "<", "", out); });
  apply(decodeEntities);
  apply(dropDecimalReferences);
  text = tidyLines(text);
  return cutNotes(std::move(text));
}

std::string cutNotes(std::string text) {
  if (auto cut = cutPoint(text, maxNoteCharacters)) {
    text.resize(*cut);
    text += "\u2026";
  }
  return text;
}

}  // namespace larkvale::HTMLText
