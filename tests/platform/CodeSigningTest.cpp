#include "platform/CodeSigning.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/MachOImage.h"
#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

using CodeSigning::signingInformation;
using CodeSigning::signingInformationOfImage;
using namespace test::macho;

std::optional<bool> sandboxOf(const std::optional<CodeSigning::SigningInformation>& info) {
  if (!info || !info->entitlements) return std::nullopt;
  auto it = info->entitlements->find("com.apple.security.app-sandbox");
  return it == info->entitlements->end() ? std::nullopt
                                         : std::optional<bool>(*it->second.boolean());
}

TEST(CodeSigningTest, ReadsEntitlementsOfThinImagesInEveryLayout) {
  for (bool bigEndian : {false, true}) {
    for (bool wide : {false, true}) {
      SCOPED_TRACE(testing::Message() << "bigEndian " << bigEndian << " wide " << wide);
      auto info =
          signingInformationOfImage(image({signedWith(entitlementsXml(true)), bigEndian, wide}));
      ASSERT_TRUE(info);
      EXPECT_TRUE(info->isSigned);
      EXPECT_EQ(sandboxOf(info), true);
      EXPECT_EQ(info->entitlements->size(), 2u);
    }
  }
  EXPECT_EQ(sandboxOf(signingInformationOfImage(image({signedWith(entitlementsXml(false))}))),
            false);
}

TEST(CodeSigningTest, UnsignedOrWithoutEntitlementsGivesInformationWithoutEntitlements) {
  auto unsignedInfo = signingInformationOfImage(image({}));
  ASSERT_TRUE(unsignedInfo);
  EXPECT_FALSE(unsignedInfo->isSigned);
  EXPECT_FALSE(unsignedInfo->entitlements);

  auto noBlob = signingInformationOfImage(image({superBlob({{0, blob(0xfade0c02, "cd")}})}));
  ASSERT_TRUE(noBlob);
  EXPECT_TRUE(noBlob->isSigned);
  EXPECT_FALSE(noBlob->entitlements);

  for (const std::string& payload :
       {std::string("not a plist at all"), PropertyList::toXml(PlistArray{"a", "b"})}) {
    auto info = signingInformationOfImage(image({signedWith(payload)}));
    ASSERT_TRUE(info) << payload;
    EXPECT_TRUE(info->isSigned);
    EXPECT_FALSE(info->entitlements);
  }
}

TEST(CodeSigningTest, RefusesDamagedImagesWithoutReadingOutOfBounds) {
  const std::string good = image({signedWith(entitlementsXml(true))});
  ASSERT_TRUE(signingInformationOfImage(good));
  auto patched = [&](size_t at, const std::string& bytes) {
    std::string copy = good;
    copy.replace(at, bytes.size(), bytes);
    return copy;
  };
  const size_t sig = 0x200;          // where image() puts the signature
  const size_t codeSigCommand = 56;  // header 32 + LC_SYMTAB 24
  const std::vector<std::pair<std::string, std::string>> damaged{
      {"empty", ""},
      {"magic only", good.substr(0, 4)},
      {"header cut short", good.substr(0, 20)},
      {"not Mach-O", std::string("#!/bin/sh\necho hello\n") + std::string(64, ' ')},
      {"load commands past the end", patched(20, le32(0x7fffffff))},
      {"command size zero", patched(36, le32(0))},
      {"command size past the commands", patched(36, le32(4096))},
      {"more commands than room", patched(16, le32(50))},
      {"signature offset past the end", patched(codeSigCommand + 8, le32(0xfffffff0))},
      {"signature size past the end", patched(codeSigCommand + 12, le32(0xfffffff0))},
      {"signature cut short", good.substr(0, good.size() - 10)},
      {"signature magic", patched(sig, be32(0x12345678))},
      {"signature length beyond its room", patched(sig + 4, be32(0x7fffffff))},
      {"signature length below its header", patched(sig + 4, be32(4))},
      {"blob count beyond the length", patched(sig + 8, be32(0x10000000))},
      {"entitlements offset beyond the length", patched(sig + 12 + 8 + 4, be32(0xfffffff0))},
      {"entitlements magic", patched(sig + 12 + 16 + 22, be32(0xfade0000))},
      {"entitlements length beyond", patched(sig + 12 + 16 + 22 + 4, be32(0x7fffffff))},
      {"entitlements length below header", patched(sig + 12 + 16 + 22 + 4, be32(3))},
  };
  for (const auto& [what, bytes] : damaged) {
    EXPECT_FALSE(signingInformationOfImage(bytes)) << what;
  }
}

TEST(CodeSigningTest, PrefersTheArm64SliceOfAFatFile) {
  const std::string intel = image({signedWith(entitlementsXml(false))});
  const std::string arm = image({signedWith(entitlementsXml(true))});
  for (bool wide : {false, true}) {
    EXPECT_EQ(
        sandboxOf(signingInformationOfImage(fat({{0x01000007, intel}, {0x0100000c, arm}}, wide))),
        true);
    EXPECT_EQ(sandboxOf(signingInformationOfImage(fat({{0x01000007, intel}}, wide))), false);
  }
  std::string bad = fat({{0x01000007, intel}});
  bad.replace(8 + 12, 4, be32(0x7fffffff));  // slice size beyond the file
  EXPECT_FALSE(signingInformationOfImage(bad));
  // Java class files share the fat magic; their version reads as a huge count.
  EXPECT_FALSE(signingInformationOfImage(be32(0xcafebabe) + be32(0x00000034) + std::string(64, 0)));
  EXPECT_FALSE(signingInformationOfImage(be32(0xcafebabe) + be32(0)));
}

TEST(CodeSigningTest, FindsTheMainExecutableOfBundles) {
  test::TempDir dir;
  const std::string exe = image({signedWith(entitlementsXml(true))});
  dir.write("A.app/Contents/Info.plist",
            PropertyList::toBinary(PlistDict{{"CFBundleExecutable", "A"}}));
  dir.write("A.app/Contents/MacOS/A", exe);
  EXPECT_EQ(sandboxOf(signingInformation(dir / "A.app")), true);
  EXPECT_EQ(sandboxOf(signingInformation(dir / "A.app/Contents/MacOS/A")), true);

  dir.write("Wrapped.app/Wrapper/Inner.app/Info.plist",
            PropertyList::toXml(PlistDict{{"CFBundleExecutable", "Inner"}}));
  dir.write("Wrapped.app/Wrapper/Inner.app/Inner", exe);
  EXPECT_EQ(sandboxOf(signingInformation(dir / "Wrapped.app")), true);

  // An executable name that climbs out of the bundle is not followed.
  dir.write("Escape.app/Contents/Info.plist",
            PropertyList::toXml(PlistDict{{"CFBundleExecutable", "../../A.app/Contents/MacOS/A"}}));
  EXPECT_FALSE(signingInformation(dir / "Escape.app"));

  dir.write("NoExe.app/Contents/Info.plist",
            PropertyList::toXml(PlistDict{{"CFBundleExecutable", "X"}}));
  EXPECT_FALSE(signingInformation(dir / "NoExe.app"));
  dir.write("NoKey.app/Contents/Info.plist", PropertyList::toXml(PlistDict{}));
  dir.write("NoKey.app/Contents/MacOS/NoKey", exe);
  EXPECT_FALSE(signingInformation(dir / "NoKey.app"));
  EXPECT_FALSE(signingInformation(dir / "missing.app"));

  // A FIFO in place of the executable is refused without waiting for a writer.
  dir.write("Fifo.app/Contents/Info.plist",
            PropertyList::toXml(PlistDict{{"CFBundleExecutable", "F"}}));
  dir.mkdir("Fifo.app/Contents/MacOS");
  ASSERT_EQ(::mkfifo((dir / "Fifo.app/Contents/MacOS/F").c_str(), 0600), 0);
  EXPECT_FALSE(signingInformation(dir / "Fifo.app"));
}

}  // namespace
}  // namespace larkvale
