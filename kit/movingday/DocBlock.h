#pragma once
// One block of the Moving day document. A plain value; the factories keep the
// fields that a kind does not use at their defaults, so equality means "same
// kind and equal payload".
#include <functional>
#include <string>
#include <vector>

#include "kit/movingday/DocText.h"

namespace larkvale {

struct DocBlock {
  enum class Kind { title, heading, paragraph, bullet, check, code };

  Kind kind = Kind::paragraph;
  DocText text;
  bool done = false;            // check only: the item is ticked
  std::vector<DocText> detail;  // check only: its lines below the item

  static DocBlock title(DocText text) { return {Kind::title, std::move(text), false, {}}; }
  static DocBlock heading(DocText text) { return {Kind::heading, std::move(text), false, {}}; }
  static DocBlock paragraph(DocText text) { return {Kind::paragraph, std::move(text), false, {}}; }
  static DocBlock bullet(DocText text) { return {Kind::bullet, std::move(text), false, {}}; }
  static DocBlock check(DocText text, bool done, std::vector<DocText> detail) {
    return {Kind::check, std::move(text), done, std::move(detail)};
  }
  static DocBlock code(DocText text) { return {Kind::code, std::move(text), false, {}}; }

  friend bool operator==(const DocBlock&, const DocBlock&) = default;
};

}  // namespace larkvale
