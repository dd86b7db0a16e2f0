#include "platform/Collation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace larkvale {
namespace {

int sign(int value) {
  return (value > 0) - (value < 0);
}

// The collator's own answer: its sort keys, compared byte by byte.
int byKeys(const std::string& a, const std::string& b) {
  return sign(Collation::sortKey(a).compare(Collation::sortKey(b)));
}

// Sorted by `compare`, the texts must come out in the order of their sort
// keys, with exactly the neighbours the keys call equal compared as equal:
// then `compare` and the keys order the texts alike.
template <typename Compare>
void expectOrderOfKeys(std::vector<std::string> texts, Compare compare) {
  std::stable_sort(texts.begin(), texts.end(),
                   [&](const std::string& a, const std::string& b) { return compare(a, b) < 0; });
  std::vector<std::string> keys;
  keys.reserve(texts.size());
  for (const std::string& text : texts) keys.push_back(Collation::sortKey(text));
  int wrong = 0;
  for (size_t i = 1; i < texts.size() && wrong < 5; ++i) {
    const int expected = sign(keys[i - 1].compare(keys[i]));
    if (expected > 0 || sign(compare(texts[i - 1], texts[i])) != expected) {
      ADD_FAILURE() << "\"" << texts[i - 1] << "\" vs \"" << texts[i] << "\": keys say " << expected
                    << ", compare says " << compare(texts[i - 1], texts[i]);
      ++wrong;
    }
  }
}

// Every text of up to two ASCII characters (controls and punctuation too),
// and longer random ones.
std::vector<std::string> asciiTexts() {
  std::vector<std::string> out{""};
  for (int a = 0; a < 128; ++a) {
    out.emplace_back(1, static_cast<char>(a));
    for (int b = 0; b < 128; ++b) out.push_back({static_cast<char>(a), static_cast<char>(b)});
  }
  std::mt19937 random(31);
  const std::string likely = " -._'()&+0129AaBbZz\t\x01\x7F";
  for (int i = 0; i < 6000; ++i) {
    std::string text(3 + random() % 8, ' ');
    for (char& c : text) {
      c = random() % 3 ? likely[random() % likely.size()] : static_cast<char>(random() % 128);
    }
    out.push_back(text);
  }
  return out;
}

TEST(CollationTest, AsciiTextsCompareAsTheirSortKeysDo) {
  expectOrderOfKeys(asciiTexts(), [](const std::string& a, const std::string& b) {
    return Collation::compare(a, b);
  });
}

TEST(CollationTest, SortKeysOrderMixedTextsAsTheirSortKeysDo) {
  std::vector<std::string> texts = asciiTexts();
  texts.resize(3000);
  for (const char* other :
       {"\xC3\xA9", "E\xCC\x81",
        "\xC3\x89"
        "clair",
        "\xE6\x97\xA5\xE6\x9C\xAC", "a\xFF", "\xC3\x9F", "ss", "Zo\xC3\xAB", "\xEF\xBC\xA1"}) {
    texts.push_back(other);
    texts.push_back(std::string("App ") + other);
  }
  std::vector<std::string_view> views(texts.begin(), texts.end());
  Collation::SortKeys keys(views);
  std::vector<size_t> order(texts.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return keys.less(a, b); });
  for (size_t i = 1; i < order.size(); ++i) {
    const std::string& a = texts[order[i - 1]];
    const std::string& b = texts[order[i]];
    ASSERT_LE(byKeys(a, b), 0) << a << " / " << b;
    ASSERT_EQ(keys.compare(order[i - 1], order[i]), byKeys(a, b)) << a << " / " << b;
    ASSERT_EQ(Collation::compare(a, b), byKeys(a, b)) << a << " / " << b;
  }
}

}  // namespace
}  // namespace larkvale
