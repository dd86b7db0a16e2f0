#pragma once
// One block of the Moving day document. A plain value; the factories keep the
// fields that a kind does not use at their defaults, so equality means "same
// kind and equal payload".
#include <functional>
#include <optional>
#include <string>

namespace larkvale {

struct DocBlock {
  enum class Kind { title, heading, paragraph, bullet, check, code };

  Kind kind = Kind::paragraph;
  std::string text;
  bool done = false;                  // check only: the item is ticked
  std::optional<std::string> detail;  // check only: may hold lines split by "\n"

  static DocBlock title(std::string text) {
    return {Kind::title, std::move(text), false, std::nullopt};
  }
  static DocBlock heading(std::string text) {
    return {Kind::heading, std::move(text), false, std::nullopt};
  }
  static DocBlock paragraph(std::string text) {
    return {Kind::paragraph, std::move(text), false, std::nullopt};
  }
  static DocBlock bullet(std::string text) {
    return {Kind::bullet, std::move(text), false, std::nullopt};
  }
  static DocBlock check(std::string text, bool done, std::optional<std::string> detail) {
    return {Kind::check, std::move(text), done, std::move(detail)};
  }
  static DocBlock code(std::string text) {
    return {Kind::code, std::move(text), false, std::nullopt};
  }

  friend bool operator==(const DocBlock&, const DocBlock&) = default;
};

}  // namespace larkvale
