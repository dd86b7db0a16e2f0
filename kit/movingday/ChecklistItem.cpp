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
  item.titleText = {Doc::line(item.title)};
  if (item.detail) {
    std::string_view rest = *item.detail;
    for (size_t end; (end = rest.find('\n')) != std::string_view::npos; rest.remove_prefix(end + 1))
      item.detailLines.push_back({Doc::line(std::string(rest.substr(0, end)))});
    item.detailLines.push_back({Doc::line(std::string(rest))});
  }
  return item;
}

}  // namespace larkvale

size_t std::hash<larkvale::ChecklistItem>::operator()(
    const larkvale::ChecklistItem& item) const noexcept {
  return larkvale::hashValues(item.id, item.section, item.title, item.detail, item.command,
                              item.link);
}
