#include "kit/movingday/ChecklistItem.h"

#include "kit/model/Hash.h"

namespace larkvale {

Json toJson(const ChecklistItem& item) {
  Json obj = {{"id", item.id}, {"section", item.section}, {"title", item.title}};
  JsonCoding::putOptional(obj, "detail", item.detail);
  JsonCoding::putOptional(obj, "command", item.command);
  JsonCoding::putOptional(obj, "link", item.link);
  return obj;
}

template <>
ChecklistItem fromJson<ChecklistItem>(const JsonIn& in) {
  ChecklistItem item;
  item.id = in.string("id");
  item.section = in.string("section");
  item.title = in.string("title");
  item.detail = in.optionalString("detail");
  item.command = in.optionalString("command");
  item.link = in.optionalUrl("link");
  return item;
}

}  // namespace larkvale

size_t std::hash<larkvale::ChecklistItem>::operator()(
    const larkvale::ChecklistItem& item) const noexcept {
  using larkvale::hashCombine;
  size_t seed = 0;
  hashCombine(seed, item.id);
  hashCombine(seed, item.section);
  hashCombine(seed, item.title);
  hashCombine(seed, item.detail);
  hashCombine(seed, item.command);
  hashCombine(seed, item.link);
  return seed;
}
