#include "kit/model/Version.h"

#include "kit/model/VersionPaths.h"

#include <unicode/ubrk.h>
#include <unicode/uchar.h>
#include <unicode/ustring.h>
#include <unicode/utf8.h>

#include "platform/Strings.h"
#include "platform/TextTrim.h"

namespace larkvale::Version {
namespace {

constexpr int kMaxDigits = 18;

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}
bool isLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// Collects parts from a stream of characters, each either one ASCII character
// standing alone or a separator (passed as '\0').
class Tokenizer {
 public:
  void add(char c) {
    if (isDigit(c)) {
      if (!letters_.empty()) flush();
      if (digitCount_++ < kMaxDigits) number_ = number_ * 10 + static_cast<uint64_t>(c - '0');
    } else if (isLetter(c)) {
      if (digitCount_ > 0) flush();
      letters_.push_back(Strings::asciiLower(c));
    } else {
      flush();
    }
  }

  std::vector<Part> finish() {
    flush();
    return std::move(parts_);
  }

 private:
  void flush() {
    if (digitCount_ > 0) {
      parts_.push_back(Part::number(number_));
      digitCount_ = 0;
      number_ = 0;
    }
    if (!letters_.empty()) {
      parts_.push_back(Part::text(std::move(letters_)));
      letters_.clear();
    }
  }

  std::vector<Part> parts_;
  uint64_t number_ = 0;
  int digitCount_ = 0;
  std::string letters_;
};

// Opening a character break iterator loads and compiles its rules; one per
// thread is kept and pointed at each new text instead.
class CharacterBreaks {
 public:
  ~CharacterBreaks() {
    if (it_) ubrk_close(it_);
  }
  // The iterator over text, or null when ICU can't give one.
  UBreakIterator* over(const UChar* text, int32_t length) {
    UErrorCode status = U_ZERO_ERROR;
    if (!it_) {
      it_ = ubrk_open(UBRK_CHARACTER, "", text, length, &status);
      if (U_FAILURE(status)) it_ = nullptr;
      return it_;
    }
    ubrk_setText(it_, text, length, &status);
    return U_SUCCESS(status) ? it_ : nullptr;
  }

 private:
  UBreakIterator* it_ = nullptr;
};

// Calls emit once per user-perceived character: the ASCII character when the
// character is a single ASCII code point, '\0' otherwise.
template <typename Emit>
void forEachCharacter(std::string_view s, Emit&& emit) {
  if (isAscii(s)) {
    // In ASCII only CR LF forms a multi-code-point character, and it separates
    // either way.
    for (char c : s) emit(c);
    return;
  }
  std::u16string text(s.size(), u'\0');
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strFromUTF8WithSub(text.data(), static_cast<int32_t>(text.size()), &length, s.data(),
                       static_cast<int32_t>(s.size()), 0xFFFD, nullptr, &status);
  if (U_FAILURE(status)) return;
  text.resize(static_cast<size_t>(length));
  thread_local CharacterBreaks breaks;
  UBreakIterator* it = breaks.over(text.data(), length);
  if (!it) return;
  int32_t start = ubrk_first(it);
  for (int32_t end = ubrk_next(it); end != UBRK_DONE; start = end, end = ubrk_next(it)) {
    char16_t c = text[static_cast<size_t>(start)];
    emit(end - start == 1 && c < 0x80 ? static_cast<char>(c) : '\0');
  }
}

int compareParts(const Part& a, const Part& b) {
  const auto* an = std::get_if<uint64_t>(&a.value);
  const auto* bn = std::get_if<uint64_t>(&b.value);
  if (an && bn) return *an < *bn ? -1 : (*an > *bn ? 1 : 0);
  if (an) return 1;  // a number is newer than text
  if (bn) return -1;
  const auto& at = std::get<std::string>(a.value);
  const auto& bt = std::get<std::string>(b.value);
  int c = at.compare(bt);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// The order decided by the parts the longer list has beyond the shorter one.
int compareTail(const std::vector<Part>& longer, size_t from) {
  bool allZero = true;
  for (size_t i = from; i < longer.size() && allZero; ++i) {
    const auto* n = std::get_if<uint64_t>(&longer[i].value);
    allZero = n && *n == 0;
  }
  if (allZero) return 0;
  return longer[from].isNumber() ? 1 : -1;
}

// One token of a version string, read in place: a letter run is a stretch
// of single-byte characters, so it can stay a view of the text.
struct Token {
  bool isNumber = false;
  uint64_t number = 0;
  std::string_view letters;
};

// The grapheme-cluster rules that can join an ASCII letter or digit to a
// neighbour: a Prepend code point before it, or an Extend, ZWJ or
// SpacingMark code point after it (no other rule applies to ASCII letters
// and digits). Such a letter or digit is not a character of its own.
int32_t clusterBreak(UChar32 c) {
  return u_getIntPropertyValue(c, UCHAR_GRAPHEME_CLUSTER_BREAK);
}

// The code point at pos of a UTF-8 text, U+FFFD for an ill-formed sequence
// (never swallowing a following well-formed one); pos moves past it.
UChar32 nextCodePoint(std::string_view s, size_t& pos) {
  const auto* bytes = reinterpret_cast<const uint8_t*>(s.data() + pos);
  const int32_t window = static_cast<int32_t>(std::min<size_t>(s.size() - pos, 4));
  int32_t i = 0;
  UChar32 c;
  U8_NEXT_OR_FFFD(bytes, i, window, c);
  pos += static_cast<size_t>(i);
  return c;
}

// Reads the parts of a version string one at a time, as the comparison needs
// them. The same parts as splitting by grapheme clusters, without a break
// iterator: only the neighbours of ASCII letters and digits are looked up.
class PartReader {
 public:
  explicit PartReader(std::string_view s) : s_(s) {}

  // The next part; false at the end of the text. Inlined into the
  // comparison's loop, where a call per part cost a fifth of its time.
  [[gnu::always_inline]] bool next(Token& token) {
    while (pos_ < s_.size()) {
      const char c = s_[pos_];
      if (static_cast<unsigned char>(c) >= 0x80) {
        skipNonAscii();
      } else if ((isDigit(c) || isLetter(c)) && standsAlone(pos_)) {
        readRun(token);
        return true;
      } else {
        ++pos_;
      }
    }
    return false;
  }

 private:
  // Whether the ASCII character at at is not joined to the code point after it.
  bool standsAlone(size_t at) const {
    const size_t after = at + 1;
    if (after == s_.size() || static_cast<unsigned char>(s_[after]) < 0x80) return true;
    size_t pos = after;
    const int32_t kind = clusterBreak(nextCodePoint(s_, pos));
    return kind != U_GCB_EXTEND && kind != U_GCB_ZWJ && kind != U_GCB_SPACING_MARK;
  }

  // Steps over a non-ASCII code point, and over an ASCII character after it
  // that it joins as a Prepend.
  void skipNonAscii() {
    const UChar32 c = nextCodePoint(s_, pos_);
    if (pos_ < s_.size() && static_cast<unsigned char>(s_[pos_]) < 0x80 &&
        (isDigit(s_[pos_]) || isLetter(s_[pos_])) && clusterBreak(c) == U_GCB_PREPEND)
      ++pos_;
  }

  // Only the last character of a run can be joined to what follows (the
  // others are followed by ASCII), so the run is read first and its end
  // checked once.
  void readRun(Token& token) {
    const size_t start = pos_;
    size_t end = start + 1;
    token.isNumber = isDigit(s_[start]);
    if (token.isNumber) {
      uint64_t value = static_cast<uint64_t>(s_[start] - '0');
      for (; end < s_.size() && isDigit(s_[end]); ++end) {
        if (end - start < kMaxDigits) value = value * 10 + static_cast<uint64_t>(s_[end] - '0');
      }
      if (end - start > 1 && !standsAlone(end - 1)) {
        --end;
        if (end - start < kMaxDigits) value /= 10;  // the dropped digit had counted
      }
      token.number = value;
    } else {
      while (end < s_.size() && isLetter(s_[end])) ++end;
      if (end - start > 1 && !standsAlone(end - 1)) --end;
      token.letters = s_.substr(start, end - start);
    }
    pos_ = end;
  }

  std::string_view s_;
  size_t pos_ = 0;
};

int compareTokens(const Token& a, const Token& b) {
  if (a.isNumber && b.isNumber) return a.number < b.number ? -1 : (a.number > b.number ? 1 : 0);
  if (a.isNumber) return 1;
  if (b.isNumber) return -1;
  const size_t n = std::min(a.letters.size(), b.letters.size());
  for (size_t i = 0; i < n; ++i) {
    char ca = Strings::asciiLower(a.letters[i]), cb = Strings::asciiLower(b.letters[i]);
    if (ca != cb) return static_cast<unsigned char>(ca) < static_cast<unsigned char>(cb) ? -1 : 1;
  }
  return a.letters.size() < b.letters.size() ? -1 : (a.letters.size() > b.letters.size() ? 1 : 0);
}

// The order decided by what one string has beyond the other: nothing when
// the rest is all zeros, else the kind of its first part.
int compareTail(PartReader& rest, const Token& first) {
  Token token = first;
  do {
    if (!token.isNumber || token.number != 0) return first.isNumber ? 1 : -1;
  } while (rest.next(token));
  return 0;
}

}  // namespace

std::vector<Part> parts(std::string_view s) {
  std::vector<Part> out;
  PartReader reader(s);
  Token token;
  while (reader.next(token)) {
    if (token.isNumber)
      out.push_back(Part::number(token.number));
    else
      out.push_back(Part::text(Strings::asciiLowercased(token.letters)));
  }
  return out;
}

// Part by part as the two readers produce them, stopping at the first
// difference: most comparisons are decided long before either text ends.
int compare(std::string_view a, std::string_view b) {
  PartReader ra(a), rb(b);
  Token ta, tb;
  for (;;) {
    const bool moreA = ra.next(ta);
    const bool moreB = rb.next(tb);
    if (!moreA && !moreB) return 0;
    if (!moreB) return compareTail(ra, ta);
    if (!moreA) return -compareTail(rb, tb);
    if (int c = compareTokens(ta, tb); c != 0) return c;
  }
}

std::vector<Part> paths::partsByClusters(std::string_view s) {
  Tokenizer tokenizer;
  forEachCharacter(s, [&](char c) { tokenizer.add(c); });
  return tokenizer.finish();
}

int paths::compareByParts(std::string_view a, std::string_view b) {
  const auto pa = partsByClusters(a);
  const auto pb = partsByClusters(b);
  const size_t common = std::min(pa.size(), pb.size());
  for (size_t i = 0; i < common; ++i) {
    if (int c = compareParts(pa[i], pb[i]); c != 0) return c;
  }
  if (pa.size() == pb.size()) return 0;
  return pa.size() > pb.size() ? compareTail(pa, common) : -compareTail(pb, common);
}

bool hasNumber(std::string_view s) {
  PartReader reader(s);
  Token token;
  while (reader.next(token))
    if (token.isNumber) return true;
  return false;
}

namespace {

// The first piece of s split at the separator with empty pieces left out;
// s itself when there is no piece at all.
std::string_view firstPiece(std::string_view s, char separator) {
  size_t start = s.find_first_not_of(separator);
  if (start == std::string_view::npos) return s;
  size_t end = s.find(separator, start);
  return s.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

}  // namespace

std::string cleanCaskVersion(std::string_view s) {
  s = TextTrim::whitespace(s);
  s = firstPiece(s, ',');
  s = firstPiece(s, ' ');
  return std::string(s);
}

}  // namespace larkvale::Version
