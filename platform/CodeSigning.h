#pragma once
// The code signature of an executable: reads the entitlements embedded in a
// Mach-O file (thin, or fat with several architectures).
//
// Only the ranges needed are read (header, load commands, signature index and
// the entitlements blob), every offset and size is checked against the file,
// and nothing is executed or verified: the signature's validity is not
// checked. Never throws; callable from any thread.
#include <filesystem>
#include <optional>
#include <string_view>

#include "platform/PropertyList.h"

namespace larkvale::CodeSigning {

struct SigningInformation {
  // The code carries a signature (an LC_CODE_SIGNATURE load command).
  bool isSigned = false;
  // The entitlements, when the signature has an entitlements blob whose
  // content reads as a property-list dictionary.
  std::optional<PlistDict> entitlements;
};

// The signing information of the code at path: a Mach-O file, or a bundle
// whose main executable is named by "CFBundleExecutable" in
// "Contents/Info.plist" (inside "Contents/MacOS"), or, for an iPhone or iPad
// app wrapped for the Mac, in the first "*.app" inside "Wrapper".
// Nothing when the code can't be examined: no such file or executable, not a
// Mach-O file, or a damaged header, load command or signature. Unsigned code
// gives information without entitlements.
std::optional<SigningInformation> signingInformation(const std::filesystem::path& path);

// The same for the bytes of one Mach-O file held in memory.
std::optional<SigningInformation> signingInformationOfImage(std::string_view bytes);

}  // namespace larkvale::CodeSigning
