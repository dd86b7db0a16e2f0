#include "kit/model/Version.h"

#include "kit/model/VersionPaths.h"

#include <unicode/ubrk.h>
#include <unicode/ustring.h>

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

// One token of an ASCII version string, read in place.
struct AsciiToken {
  bool isNumber = false;
  uint64_t number = 0;
  std::string_view letters;
};

// The next token at or after pos, separators skipped; false at the end.
bool nextAsciiToken(std::string_view s, size_t& pos, AsciiToken& token) {
  while (pos < s.size() && !isDigit(s[pos]) && !isLetter(s[pos])) ++pos;
  if (pos == s.size()) return false;
  const size_t start = pos;
  if (isDigit(s[pos])) {
    token.isNumber = true;
    token.number = 0;
    for (int count = 0; pos < s.size() && isDigit(s[pos]); ++pos, ++count) {
      if (count < kMaxDigits)
        token.number = token.number * 10 + static_cast<uint64_t>(s[pos] - '0');
    }
  } else {
    token.isNumber = false;
    while (pos < s.size() && isLetter(s[pos])) ++pos;
    token.letters = s.substr(start, pos - start);
  }
  return true;
}

int compareTokens(const AsciiToken& a, const AsciiToken& b) {
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
// the rest is all zeros, else the kind of its first token.
int compareAsciiTail(std::string_view s, size_t pos, const AsciiToken& first) {
  AsciiToken token = first;
  do {
    if (!token.isNumber || token.number != 0) return first.isNumber ? 1 : -1;
  } while (nextAsciiToken(s, pos, token));
  return 0;
}

}  // namespace

// The same order as the general path, for ASCII strings, without building
// the lists of parts: the common case, and the one checks run thousands of.
int paths::compareAscii(std::string_view a, std::string_view b) {
  size_t pa = 0, pb = 0;
  AsciiToken ta, tb;
  for (;;) {
    const bool moreA = nextAsciiToken(a, pa, ta);
    const bool moreB = nextAsciiToken(b, pb, tb);
    if (!moreA && !moreB) return 0;
    if (!moreB) return compareAsciiTail(a, pa, ta);
    if (!moreA) return -compareAsciiTail(b, pb, tb);
    if (int c = compareTokens(ta, tb); c != 0) return c;
  }
}

std::vector<Part> parts(std::string_view s) {
  Tokenizer tokenizer;
  forEachCharacter(s, [&](char c) { tokenizer.add(c); });
  return tokenizer.finish();
}

int compare(std::string_view a, std::string_view b) {
  if (isAscii(a) && isAscii(b)) return paths::compareAscii(a, b);
  return paths::compareByParts(a, b);
}

int paths::compareByParts(std::string_view a, std::string_view b) {
  const auto pa = parts(a);
  const auto pb = parts(b);
  const size_t common = std::min(pa.size(), pb.size());
  for (size_t i = 0; i < common; ++i) {
    if (int c = compareParts(pa[i], pb[i]); c != 0) return c;
  }
  if (pa.size() == pb.size()) return 0;
  return pa.size() > pb.size() ? compareTail(pa, common) : -compareTail(pb, common);
}

bool hasNumber(std::string_view s) {
  bool found = false;
  forEachCharacter(s, [&](char c) { found = found || isDigit(c); });
  return found;
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
