# cmake -DINPUT=<file> -DOUTPUT=<file.cpp> -P EmbedFeed.cmake
# Writes a source file that defines pennant::shippedFeedBytes() over the bytes
# of INPUT, so the library carries its catalogue without any file beside it.
file(READ ${INPUT} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n  "
       bytes "${bytes}")
file(WRITE ${OUTPUT} "// Generated from resources/more-apps.json; do not edit.
#include <string_view>

namespace pennant {
namespace {
const unsigned char kBytes[] = {
  ${bytes}
};
}  // namespace

std::string_view shippedFeedBytes() {
  return {reinterpret_cast<const char*>(kBytes), sizeof kBytes};
}

}  // namespace pennant
")
