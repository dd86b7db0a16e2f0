#include "platform/CodeSigning.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

using CodeSigning::signingInformation;
using CodeSigning::signingInformationOfImage;

std::string be32(uint32_t v) {
  return {static_cast<char>(v >> 24), static_cast<char>(v >> 16), static_cast<char>(v >> 8),
          static_cast<char>(v)};
}
std::string le32(uint32_t v) {
  return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
          static_cast<char>(v >> 24)};
}
std::string be64(uint64_t v) {
  return be32(static_cast<uint32_t>(v >> 32)) + be32(static_cast<uint32_t>(v));
}

std::string entitlementsXml(bool sandbox) {
  return PropertyList::toXml(PlistDict{{"com.apple.security.app-sandbox", sandbox},
                                       {"com.apple.security.network.client", true}});
}

std::string blob(uint32_t magic, const std::string& payload) {
  return be32(magic) + be32(static_cast<uint32_t>(8 + payload.size())) + payload;
}

// An embedded-signature SuperBlob holding the given (slot, blob) pairs.
std::string superBlob(const std::vector<std::pair<uint32_t, std::string>>& blobs) {
  std::string index, body;
  uint32_t offset = 12 + 8 * static_cast<uint32_t>(blobs.size());
  for (const auto& [slot, b] : blobs) {
    index += be32(slot) + be32(offset + static_cast<uint32_t>(body.size()));
    body += b;
  }
  std::string all = index + body;
  return be32(0xfade0cc0) + be32(static_cast<uint32_t>(12 + all.size())) +
         be32(static_cast<uint32_t>(blobs.size())) + all;
}

std::string signedWith(const std::string& xml) {
  return superBlob({{0, blob(0xfade0c02, "code directory")}, {5, blob(0xfade7171, xml)}});
}

struct ImageSpec {
  std::optional<std::string> signature;
  bool bigEndian = false;
  bool wide = true;
};

// A Mach-O image: header, an unrelated load command, LC_CODE_SIGNATURE when
// signed, padding, then the signature.
std::string image(const ImageSpec& spec) {
  auto w = [&](uint32_t v) { return spec.bigEndian ? be32(v) : le32(v); };
  std::string commands = w(0x2) + w(24) + std::string(16, '\0');  // LC_SYMTAB
  const uint32_t headerSize = spec.wide ? 32 : 28;
  const uint32_t dataoff = 0x200;
  if (spec.signature) {
    commands += w(0x1d) + w(16) + w(dataoff) + w(static_cast<uint32_t>(spec.signature->size()));
  }
  std::string out = w(spec.wide ? 0xfeedfacf : 0xfeedface) + w(0x0100000c) + w(0) + w(2) +
                    w(spec.signature ? 2 : 1) + w(static_cast<uint32_t>(commands.size())) + w(0);
  if (spec.wide) out += w(0);
  out += commands;
  EXPECT_EQ(out.size(), headerSize + commands.size());
  if (spec.signature) {
    out.resize(dataoff, '\0');
    out += *spec.signature;
  }
  return out;
}

// A fat file of (cpu type, image) slices, 32- or 64-bit table.
std::string fat(const std::vector<std::pair<uint32_t, std::string>>& slices, bool wide = false) {
  std::string header =
      be32(wide ? 0xcafebabf : 0xcafebabe) + be32(static_cast<uint32_t>(slices.size()));
  std::string body;
  uint64_t offset = 0x1000;
  for (const auto& [cpu, img] : slices) {
    header += be32(cpu) + be32(0);
    header += wide ? be64(offset) + be64(img.size()) + be32(12) + be32(0)
                   : be32(static_cast<uint32_t>(offset)) + be32(static_cast<uint32_t>(img.size())) +
                         be32(12);
    body.resize(offset - 0x1000, '\0');
    body += img;
    offset = 0x1000 + ((body.size() + 0xfff) & ~uint64_t{0xfff});
  }
  header.resize(0x1000, '\0');
  return header + body;
}

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

  for (std::string payload :
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
