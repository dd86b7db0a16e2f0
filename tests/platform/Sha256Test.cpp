#include "platform/Sha256.h"

#include <gtest/gtest.h>

namespace larkvale {
namespace {

TEST(Sha256, GivesLowerCaseHexDigests) {
  EXPECT_EQ(Sha256::hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(Sha256::hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  EXPECT_EQ(Sha256::hex(std::string("a\0b", 3)).size(), 64u);
}

}  // namespace
}  // namespace larkvale
