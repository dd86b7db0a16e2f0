#include "kit/movingday/MovingDayDocument.h"

#include <unicode/datefmt.h>
#include <unicode/locid.h>

#include <chrono>
#include <memory>

#include "kit/movingday/ChecklistItem.h"
#include "kit/movingday/InventoryEntry.h"

namespace larkvale::MovingDayDocument {
namespace {

using Kind = UpdateSource::Kind;

// The inventory's sections, most reinstallable first.
constexpr Kind kSourceOrder[] = {Kind::homebrew, Kind::appStore, Kind::sparkle,
                                 Kind::github,   Kind::unknown,  Kind::apple};

// "December 5, 2026": the en_US long date style, in the local time zone.
std::string longDate(Date date) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<icu::DateFormat> format(
      icu::DateFormat::createDateInstance(icu::DateFormat::kLong, icu::Locale("en_US")));
  if (!format) return Dates::iso8601(date).substr(0, 10);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(date.time_since_epoch());
  icu::UnicodeString text;
  format->format(static_cast<UDate>(ms.count()), text, status);
  std::string out;
  text.toUTF8String(out);
  return out;
}

std::string joined(const std::vector<std::string>& parts, std::string_view separator) {
  std::string out;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) out += separator;
    out += parts[i];
  }
  return out;
}

std::string bulletText(const InventoryEntry& e) {
  std::vector<std::string> parts = {e.app.name + " " + e.app.version + ": " + e.installHow()};
  if (!e.settings.empty()) parts.push_back("settings: " + joined(e.settings, ", "));
  if (e.container) parts.push_back("container: " + *e.container + " (not copied)");
  if (!e.licenceFiles.empty()) parts.push_back("licence files: " + joined(e.licenceFiles, ", "));
  return joined(parts, "; ");
}

void appendChecklist(std::vector<DocBlock>& out, const std::vector<ChecklistItem>& items,
                     const std::set<std::string>& ticked) {
  std::string section;
  for (const auto& item : items) {
    if (item.section != section) {
      out.push_back(DocBlock::heading(item.section));
      section = item.section;
    }
    std::optional<std::string> detail = item.detail;
    if (item.link) detail = detail ? *detail + "\n" + *item.link : *item.link;
    out.push_back(DocBlock::check(item.title, ticked.contains(item.id), std::move(detail)));
    if (item.command) out.push_back(DocBlock::code(*item.command));
  }
}

void appendInventory(std::vector<DocBlock>& out, const std::vector<InventoryEntry>& entries) {
  for (Kind kind : kSourceOrder) {
    std::vector<const InventoryEntry*> group;
    for (const auto& e : entries) {
      if (e.source.kind() == kind) group.push_back(&e);
    }
    if (group.empty()) continue;
    out.push_back(DocBlock::heading(std::string(group.front()->source.label()) + " (" +
                                    std::to_string(group.size()) + ")"));
    for (const auto* e : group) out.push_back(DocBlock::bullet(bulletText(*e)));
  }
}

}  // namespace

std::vector<DocBlock> blocks(const std::vector<InventoryEntry>& entries,
                             const std::vector<ChecklistItem>& items,
                             const std::set<std::string>& ticked, const std::string& macName,
                             Date date) {
  std::vector<DocBlock> out = {
      DocBlock::title("Moving day: " + macName),
      DocBlock::paragraph("Made by Larkvale on " + longDate(date) + ". " +
                          std::to_string(entries.size()) +
                          " apps. Licence keys and Keychain items are not included."),
      DocBlock::heading("Restore checklist"),
  };
  appendChecklist(out, items, ticked);
  out.push_back(DocBlock::heading("Inventory"));
  appendInventory(out, entries);
  return out;
}

}  // namespace larkvale::MovingDayDocument
