#include "platform/Collation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace larkvale {
namespace {

TEST(CollationTest, IgnoresCaseButNotAccents) {
  EXPECT_EQ(Collation::compare("safari", "Safari"), 0);
  EXPECT_EQ(Collation::compare("", ""), 0);
  EXPECT_EQ(Collation::compare("cote", "côte"), -1);
  EXPECT_EQ(Collation::compare("côte", "cote"), 1);
  EXPECT_EQ(Collation::compare("zebra", "Apple"), 1);
  // Plain byte order would put every capital first.
  EXPECT_TRUE(Collation::less("apple", "Banana"));
  EXPECT_TRUE(Collation::less("Banana", "cherry"));
  EXPECT_TRUE(Collation::less("", "a"));
  // Invalid UTF-8 compares without failing.
  EXPECT_NE(Collation::compare("a\xFF", "b"), 0);
}

TEST(CollationTest, SortsNamesAsAPersonWould) {
  std::vector<std::string> names{"zoom", "Xcode", "1Password", "Éclair", "alfred", "Eclair"};
  std::stable_sort(names.begin(), names.end(), Collation::less);
  EXPECT_EQ(names,
            (std::vector<std::string>{"1Password", "alfred", "Eclair", "Éclair", "Xcode", "zoom"}));
}

}  // namespace
}  // namespace larkvale
