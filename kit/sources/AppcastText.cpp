#include "kit/sources/AppcastText.h"

#include "platform/Strings.h"
#include "platform/TextTrim.h"
#include "platform/WebURL.h"

namespace larkvale::FeedText {
namespace {

bool isSchemeChar(char c, bool first) {
  const bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  if (first) return alpha;
  return alpha || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

}  // namespace

bool isWideSpaceAt(std::string_view text, size_t at, size_t* length) {
  const auto [cp, n] = TextTrim::decodeAt(text, at);
  *length = n;
  return cp != 0xFFFD && TextTrim::isHorizontalSpace(cp);
}

bool isWideLineBreakAt(std::string_view text, size_t at, size_t* length) {
  const auto [cp, n] = TextTrim::decodeAt(text, at);
  *length = n;
  return cp == 0x85 || cp == 0x2028 || cp == 0x2029;
}

std::string_view trimmed(std::string_view text, bool lineBreaks) {
  return lineBreaks ? TextTrim::whitespace(text) : TextTrim::spaces(text);
}

std::optional<std::string> url(std::string_view text) {
  text = trimmed(text);
  size_t colon = 0;
  while (colon < text.size() && isSchemeChar(text[colon], colon == 0)) ++colon;
  if (colon == 0 || colon >= text.size() || text[colon] != ':') return std::nullopt;
  if (!WebURL::isKeepable(text)) return std::nullopt;
  return std::string(text);
}

std::optional<std::string> webAddress(std::string_view text) {
  auto u = url(text);
  if (!u) return std::nullopt;
  const std::string_view scheme = std::string_view(*u).substr(0, u->find(':'));
  if (!Strings::equalsIgnoringAsciiCase(scheme, "http") &&
      !Strings::equalsIgnoringAsciiCase(scheme, "https"))
    return std::nullopt;
  return u;
}

}  // namespace larkvale::FeedText
