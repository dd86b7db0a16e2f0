#pragma once
// The ways a fetch fails. what() is the wording the update check shows.
#include <string>

#include "platform/Error.h"
#include "platform/TextTrim.h"

namespace larkvale {

class FetchError : public Error {
 public:
  enum class Kind {
    network,   // the request could not be completed and nothing was saved
    notWeb,    // the address is not http or https, or has no host
    tooLarge,  // the body is longer than the fetcher allows
  };

  // The transport's text may quote a host or an answer: kept to one line.
  static FetchError network(const std::string& text) {
    return FetchError(Kind::network, TextTrim::oneLine(text));
  }
  static FetchError notWeb() { return FetchError(Kind::notWeb, "not a web address"); }
  static FetchError tooLarge() { return FetchError(Kind::tooLarge, "the feed is over 8 MB"); }

  Kind kind() const { return kind_; }
  // The transport's own description for network; the fixed wording otherwise.
  std::string text() const { return what(); }

  // The case, and for network also the text.
  friend bool operator==(const FetchError& a, const FetchError& b) {
    return a.kind_ == b.kind_ && (a.kind_ != Kind::network || a.text() == b.text());
  }

 private:
  FetchError(Kind kind, const std::string& text) : Error(text), kind_(kind) {}
  Kind kind_;
};

}  // namespace larkvale
