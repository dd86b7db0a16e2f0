#include "kit/movingday/MovingDayDocument.h"

#include <unicode/datefmt.h>
#include <unicode/locid.h>

#include <chrono>
#include <memory>

#include "kit/movingday/ChecklistItem.h"
#include "kit/movingday/InventoryEntry.h"
#include "platform/Strings.h"

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

using Doc::line, Doc::own;

DocText bulletText(const InventoryEntry& e) {
  DocText out = Doc::concat(
      {{line(e.app.name), own(" "), line(e.app.version), own(": ")}, e.installHowText()});
  if (!e.settings.empty())
    out = Doc::concat(
        {out, {own("; settings: ")}, Doc::joined(e.settings, DocSpan::Kind::path, ", ")});
  if (e.container)
    out = Doc::concat({out, {own("; container: "), Doc::path(*e.container), own(" (not copied)")}});
  if (!e.licenceFiles.empty()) {
    out = Doc::concat(
        {out, {own("; licence files: ")}, Doc::joined(e.licenceFiles, DocSpan::Kind::path, ", ")});
  }
  return out;
}

void appendChecklist(std::vector<DocBlock>& out, const std::vector<ChecklistItem>& items,
                     const std::set<std::string>& ticked) {
  std::string section;
  for (const auto& item : items) {
    if (item.section != section) {
      out.push_back(DocBlock::heading({own(item.section)}));
      section = item.section;
    }
    // The link and the command are the app's own: built from checked parts
    // (a repository name, a store number, cask tokens).
    std::vector<DocText> detail = item.detailLines;
    if (item.link) detail.push_back({own(*item.link)});
    out.push_back(DocBlock::check(item.titleText, ticked.contains(item.id), std::move(detail)));
    if (item.command) out.push_back(DocBlock::code({own(*item.command)}));
  }
}

void appendInventory(std::vector<DocBlock>& out, const std::vector<InventoryEntry>& entries) {
  for (Kind kind : kSourceOrder) {
    std::vector<const InventoryEntry*> group;
    for (const auto& e : entries) {
      if (e.source.kind() == kind) group.push_back(&e);
    }
    if (group.empty()) continue;
    out.push_back(DocBlock::heading({own(std::string(group.front()->source.label()) + " (" +
                                         std::to_string(group.size()) + ")")}));
    for (const auto* e : group) out.push_back(DocBlock::bullet(bulletText(*e)));
  }
}

}  // namespace

std::vector<DocBlock> blocks(const std::vector<InventoryEntry>& entries,
                             const std::vector<ChecklistItem>& items,
                             const std::set<std::string>& ticked, const std::string& macName,
                             Date date) {
  std::vector<DocBlock> out = {
      DocBlock::title({own("Moving day: "), line(macName)}),
      DocBlock::paragraph(
          {own("Made by Larkvale on " + longDate(date) + ". " + std::to_string(entries.size()) +
               " apps. Licence keys and Keychain items are not included.")}),
      DocBlock::heading({own("Restore checklist")}),
  };
  appendChecklist(out, items, ticked);
  out.push_back(DocBlock::heading({own("Inventory")}));
  appendInventory(out, entries);
  return out;
}

}  // namespace larkvale::MovingDayDocument
