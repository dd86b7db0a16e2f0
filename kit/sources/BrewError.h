#pragma once
// The errors of running the Homebrew tool. A BrewError has no sentence of its
// own: what() is its plain text form, the case name followed by its payloads
// in parentheses (texts quoted with backslash escapes, every character that
// would hide or break the line as "\u{hex}"), which callers place
// inside their own sentences:
//   notInstalled
//   refused("info --cask")
//   failed(1, "Error: something")
#include <cstdint>
#include <string>

#include "platform/Error.h"

namespace larkvale {

class BrewError : public Error {
 public:
  enum class Kind {
    refused,       // the argument list is not one of the two allowed lists
    failed,        // non-zero exit (or killed, or timed out) with nothing on standard output
    notInstalled,  // there is no path to the tool
  };

  static BrewError refused(std::string arguments);
  static BrewError failed(int32_t status, std::string standardError);
  static BrewError notInstalled();

  Kind kind() const { return kind_; }
  // refused: the requested arguments joined by one space; failed: the text
  // of standard error; empty for notInstalled.
  const std::string& text() const { return text_; }
  int32_t status() const { return status_; }  // failed only

  friend bool operator==(const BrewError& a, const BrewError& b) {
    return a.kind_ == b.kind_ && a.status_ == b.status_ && a.text_ == b.text_;
  }

 private:
  BrewError(Kind kind, int32_t status, std::string text);
  Kind kind_;
  int32_t status_;
  std::string text_;
};

// A text in double quotes with backslash escapes, as the plain text form of
// an error writes its text payloads: made valid UTF-8 first (a stray byte
// becomes U+FFFD), then each TextTrim::isHidden character written out.
std::string quotedForDescription(const std::string& text);

}  // namespace larkvale
