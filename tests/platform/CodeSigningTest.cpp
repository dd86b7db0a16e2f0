#include "platform/CodeSigning.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/MachOImage.h"
#include "tests/support/PlistShapes.h"
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

TEST(CodeSigningTest, ReadsTheEntitlementsOfThinImagesWhenThereAreAny) {
  struct Case {
    std::string what, bytes;
    bool isSigned;
    std::optional<bool> sandbox;
  };
  std::vector<Case> cases{
      {"unsigned", image({}), false, std::nullopt},
      {"no entitlements blob", image({superBlob({{0, blob(0xfade0c02, "cd")}})}), true, {}},
      {"not a plist", image({signedWith("not a plist at all")}), true, {}},
      {"not a dictionary", image({signedWith(PropertyList::toXml(PlistArray{"a"}))}), true, {}},
      {"sandbox off", image({signedWith(entitlementsXml(false))}), true, false}};
  for (bool bigEndian : {false, true}) {
    for (bool wide : {false, true}) {
      cases.push_back({"big-endian " + std::to_string(bigEndian) + " wide " + std::to_string(wide),
                       image({signedWith(entitlementsXml(true)), bigEndian, wide}), true, true});
    }
  }
  for (const auto& [what, bytes, isSigned, sandbox] : cases) {
    auto info = signingInformationOfImage(bytes);
    ASSERT_TRUE(info) << what;
    EXPECT_EQ(info->isSigned, isSigned) << what;
    EXPECT_EQ(sandboxOf(info), sandbox) << what;
    EXPECT_EQ(info->entitlements ? info->entitlements->size() : 0u, sandbox ? 2u : 0u) << what;
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
      {"header cut short", good.substr(0, 20)},
      {"load commands past the end", patched(20, le32(0x7fffffff))},
      {"command size zero", patched(36, le32(0))},
      {"command size past the commands", patched(36, le32(4096))},
      {"more commands than room", patched(16, le32(50))},
      {"signature offset past the end", patched(codeSigCommand + 8, le32(0xfffffff0))},
      {"signature size past the end", patched(codeSigCommand + 12, le32(0xfffffff0))},
      {"signature magic", patched(sig, be32(0x12345678))},
      {"signature length beyond its room", patched(sig + 4, be32(0x7fffffff))},
      {"signature length below its header", patched(sig + 4, be32(4))},
      {"blob count beyond the length", patched(sig + 8, be32(0x10000000))},
      {"entitlements offset beyond the length", patched(sig + 12 + 8 + 4, be32(0xfffffff0))},
      {"entitlements magic", patched(sig + 12 + 16 + 22, be32(0xfade0000))},
      {"entitlements length beyond", patched(sig + 12 + 16 + 22 + 4, be32(0x7fffffff))},
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
}

TEST(CodeSigningTest, FindsTheMainExecutableOfBundles) {
  test::TempDir dir;
  const std::string exe = image({signedWith(entitlementsXml(true))});
  auto bundle = [&](const std::string& contents, const PlistDict& info, const char* exeName) {
    dir.write(contents + "/Info.plist", PropertyList::toXml(info));
    if (exeName) dir.write(contents + "/" + exeName, exe);
  };
  auto named = [](const std::string& name) { return PlistDict{{"CFBundleExecutable", name}}; };
  dir.write("A.app/Contents/Info.plist", PropertyList::toBinary(named("A")));
  dir.write("A.app/Contents/MacOS/A", exe);
  bundle("Wrapped.app/Wrapper/Inner.app", named("Inner"), "Inner");
  // An executable name that climbs out of the bundle is not followed.
  bundle("Escape.app/Contents", named("../../A.app/Contents/MacOS/A"), nullptr);
  bundle("NoKey.app/Contents", {}, "MacOS/NoKey");
  // A FIFO in place of the executable is refused without waiting for a writer.
  bundle("Fifo.app/Contents", named("F"), nullptr);
  dir.mkdir("Fifo.app/Contents/MacOS");
  ASSERT_EQ(::mkfifo((dir / "Fifo.app/Contents/MacOS/F").c_str(), 0600), 0);

  for (const char* found : {"A.app", "A.app/Contents/MacOS/A", "Wrapped.app"}) {
    EXPECT_EQ(sandboxOf(signingInformation(dir / found)), true) << found;
  }
  for (const char* refused : {"Escape.app", "NoKey.app", "Fifo.app"}) {
    EXPECT_FALSE(signingInformation(dir / refused)) << refused;
  }
}

}  // namespace
}  // namespace larkvale
