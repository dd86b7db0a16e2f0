#include "kit/movingday/MovingDayDocument.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <sstream>

#include "kit/movingday/Checklist.h"
#include "platform/TextTrim.h"
#include "tests/kit/movingday/Entries.h"
#include "tests/kit/movingday/PdfReader.h"

namespace larkvale {
namespace {

// Midday UTC: the same calendar day in every time zone a test machine uses.
const Date kDate = *Dates::parseIso8601("2026-12-05T12:00:00Z");

std::vector<InventoryEntry> inventory() {
  using test::inventoryEntry;
  auto firefox =
      inventoryEntry("Firefox", "org.mozilla.firefox", UpdateSource::homebrew("firefox"));
  firefox.settings = {"~/Library/Application Support/Firefox/Profiles"};
  auto things = inventoryEntry("Things", "com.culturedcode.ThingsMac", UpdateSource::appStore());
  things.storeTrackID = 904280696;
  things.container = "~/Library/Containers/com.culturedcode.ThingsMac";
  auto tool = inventoryEntry("Tool", "dev.tool", UpdateSource::github("owner/tool"));
  tool.licenceFiles = {"/home/me/.tool/licence.key", "/home/me/.tool/serial"};
  auto safari = inventoryEntry("Safari", "com.apple.Safari", UpdateSource::apple());
  return {firefox, things, tool, safari};
}

const char* const kGolden = R"(# Moving day: Studio

Made by Larkvale on December 5, 2026. 4 apps. Licence keys and Keychain items are not included.

## Restore checklist

## Before you leave this Mac

- [x] Export this checklist (Markdown or PDF) and keep it off this Mac
  Save it to an external drive or iCloud Drive, or email it to yourself.
- [ ] Find the licence keys and sign-ins for Tool
  Keychain items and licence keys are not exported by Larkvale.
- [ ] Save a Brewfile (also keeps your command-line tools)

  ```
  brew bundle dump --file=~/Brewfile
  ```

## Homebrew apps

- [ ] Install Homebrew on the new Mac
  Paste the install line from brew.sh into a terminal window.
  https://brew.sh
- [ ] Install 1 cask app

  ```
  brew install --cask firefox
  ```

## App Store apps

- [ ] Install Things
  App Store: it's under your account's Purchased apps.
  macappstore://apps.apple.com/app/id904280696

## Direct downloads

- [ ] Download Tool
  From its GitHub releases (owner/tool). Version here: 1.0.
  https://github.com/owner/tool/releases

## Settings worth carrying

- [x] Copy Firefox's settings (with the app quit on both Macs)
  \~/Library/Application Support/Firefox/Profiles

## Sign in and licences

- [ ] Firefox
  Signing in to a Mozilla account (Firefox Sync) brings bookmarks, passwords and add-ons.

## Last steps

- [ ] Open Larkvale on the new Mac and press Check Now
  Every app should show up; anything missing from this list still needs installing.
- [ ] Move your own files separately
  Documents, photos and projects move with Migration Assistant, Time Machine, iCloud or git; Moving day lists apps only.

## Inventory

## Homebrew cask (1)

- Firefox 1.0: brew install --cask firefox; settings: \~/Library/Application Support/Firefox/Profiles

## App Store (1)

- Things 1.0: App Store (your Apple Account); container: \~/Library/Containers/com.culturedcode.ThingsMac (not copied)

## GitHub releases (1)

- Tool 1.0: Download from github.com/owner/tool/releases; licence files: /home/me/.tool/licence.key, /home/me/.tool/serial

## macOS (1)

- Safari 1.0: Comes with macOS
)";

std::vector<std::string> linesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(MovingDayDocumentTest, FullDocumentAsMarkdownAndPdf) {
  const auto entries = inventory();
  const auto blocks =
      MovingDayDocument::blocks(entries, Checklist::items(entries),
                                {"before:export", "settings:org.mozilla.firefox"}, "Studio", kDate);
  EXPECT_EQ(MovingDayDocument::renderMarkdown(blocks), kGolden);

  test::TempDir dir;
  const auto pdf = MovingDayDocument::renderPDF(blocks);
  ASSERT_TRUE(pdf);
  const auto back = test::readPdf(dir, *pdf);
  // The last checklist paragraph runs over onto the second page.
  ASSERT_EQ(back.pageCount(), 2);
  EXPECT_NE(back.pages[0].find("\u2611 Export this checklist"), std::string::npos);
  EXPECT_NE(back.pages[1].find("\u2022 Safari 1.0: Comes with macOS"), std::string::npos);
  // Each line of a check item's detail stands on a line of its own.
  const auto lines = linesOf(back.pages[0]);
  auto after = [&](const std::string& line) {
    const auto at = std::find(lines.begin(), lines.end(), line);
    return at == lines.end() || at + 1 == lines.end() ? "(no line after " + line + ")" : *(at + 1);
  };
  EXPECT_EQ(after("Paste the install line from brew.sh into a terminal window."),
            "https://brew.sh");
  EXPECT_EQ(after("From its GitHub releases (owner/tool). Version here: 1.0."),
            "https://github.com/owner/tool/releases");
}

// Every outside field holds what ends a line in some reader (CR, LF, U+2028,
// U+0085), a direction override and what Markdown would open a construct
// with; `tame` builds the same inventory with harmless words in their place.
struct Hostile {
  bool tame = false;
  // prefix, then a break and an opener (or a blank and plain words).
  std::string operator()(const std::string& prefix, const char* brk, const char* opener) const {
    return tame ? prefix + " plain words" : prefix + brk + opener;
  }
};

std::vector<InventoryEntry> hostileInventory(Hostile h) {
  using test::inventoryEntry;
  auto fire = inventoryEntry(h("Fire", "\r", "- [x] Licence keys saved"), "org.example.fire",
                             UpdateSource::homebrew("x"), h("1.0", "\n", "# Heading"));
  fire.caskToken = h("fire", "\u2028", "```");  // no token: the command leaves it out
  fire.settings = {h("~/Library/a", "\r", "- [x] Licence keys saved"),
                   h("~/Library/b", "\u202E\n", "> quote"), h("", "", "- [x] Licence keys saved")};
  auto tool =
      inventoryEntry(h("Tool", "\u0085", "<b>"), "org.example.tool",
                     UpdateSource::sparkle("https://example.com/f"), h("2", "\u2028", "> quote"));
  tool.downloadHint = h("ev\u202Eil.com", "\r", "1. item");
  tool.settings = {h("~/x\u202E", "\n", "[link](x)")};
  auto hub =
      inventoryEntry(h("[link](x)", "\u2028", "Hub"), "org.example.hub",
                     UpdateSource::github(h("o/r", "\r", "# Heading")), h("3", "\u0085", "```"));
  hub.container = h("~/Library/Containers/", "\n", "> quote");
  hub.licenceFiles = {h("/home/me/", "\r", "1. item"), h("/home/me/k", "\u0085", "<b>")};
  auto store = inventoryEntry(h("> quote", "\n", "- [ ] Fake"), "org.example.store",
                              UpdateSource::appStore(), h("4", "\r\n", "1) item"));
  store.storeTrackID = 1;
  auto other = inventoryEntry(h("```", "\u202E", "~~~"), "org.example.other",
                              UpdateSource::unknown(), h("1. item", "\u2028", "| a | b |"));
  return {fire, tool, hub, store, other};
}

// The first hidden character of the text as "U+XXXX", or "" when none.
std::string firstHidden(std::string_view text, std::string_view allowed = "\n") {
  for (size_t i = 0; i < text.size();) {
    const auto [c, length] = TextTrim::decodeAt(text, i);
    i += length;
    if (TextTrim::isHidden(c) && (c >= 0x80 || allowed.find(char(c)) == std::string_view::npos)) {
      char buf[16];
      std::snprintf(buf, sizeof buf, "U+%04X", static_cast<unsigned>(c));
      return buf;
    }
  }
  return "";
}

// What a line opens in a Markdown reader, judged by its first characters
// after the indentation: "check", "item", "heading", "fence", or "" for text
// (a quote, HTML, a table row, an ordered item or an underline count as
// "other").
std::string opener(const std::string& line) {
  const std::string_view t = TextTrim::spaces(line);
  if (t.starts_with("- [ ] ") || t.starts_with("- [x] ") || t.starts_with("- [X] ")) return "check";
  if (t.starts_with("- ") || t.starts_with("* ") || t.starts_with("+ ")) return "item";
  if (t.starts_with("#")) return "heading";
  if (t.starts_with("```") || t.starts_with("~~~")) return "fence";
  if (t.empty()) return "";
  size_t digits = 0;
  while (digits < t.size() && std::isdigit(static_cast<unsigned char>(t[digits]))) ++digits;
  if (digits > 0 && digits < t.size() && (t[digits] == '.' || t[digits] == ')')) return "other";
  if (std::string_view("><|=[!*_~-+").find(t[0]) != std::string_view::npos) return "other";
  return "";
}

TEST(MovingDayDocumentTest, OutsideTextNeverBreaksALineNorOpensAConstruct) {
  const std::set<std::string> ticked = {"before:export", "settings:org.example.tool"};
  const std::string mac = "Studio\r- [x] Keys\u2028# H\u0085<b>\u202E";
  const auto entries = hostileInventory({});
  const auto items = Checklist::items(entries);
  const auto blocks = MovingDayDocument::blocks(entries, items, ticked, mac, kDate);
  const auto tameEntries = hostileInventory({true});
  const auto tameBlocks = MovingDayDocument::blocks(tameEntries, Checklist::items(tameEntries),
                                                    ticked, "Studio plain words", kDate);

  const std::string markdown = MovingDayDocument::renderMarkdown(blocks);
  EXPECT_EQ(firstHidden(markdown), "") << markdown;
  const auto lines = linesOf(markdown);
  EXPECT_EQ(lines.size(), linesOf(MovingDayDocument::renderMarkdown(tameBlocks)).size())
      << markdown;

  // Exactly the app's constructs, each at the place the app put it.
  size_t checks = 0, bullets = 0, headings = 0, fences = 0;
  for (const auto& line : lines) {
    const std::string what = opener(line);
    SCOPED_TRACE(line);
    if (what == "check") {
      ASSERT_LT(checks, items.size());
      const auto& item = items[checks++];
      EXPECT_TRUE(line.starts_with(ticked.contains(item.id) ? "- [x] " : "- [ ] ")) << item.id;
      if (item.titleText.front().kind == DocSpan::Kind::own) {
        EXPECT_TRUE(line.substr(6).starts_with(item.titleText.front().text)) << item.id;
      }
    } else if (what == "item") {
      EXPECT_TRUE(line.starts_with("- "));
      ++bullets;
    } else if (what == "heading") {
      EXPECT_TRUE(line.starts_with("# Moving day: ") || line.starts_with("## "));
      ++headings;
    } else if (what == "fence") {
      EXPECT_EQ(line, "  ```");
      ++fences;
    } else {
      EXPECT_EQ(what, "");
    }
  }
  auto count = [&](DocBlock::Kind kind) {
    return static_cast<size_t>(std::count_if(blocks.begin(), blocks.end(),
                                             [&](const DocBlock& b) { return b.kind == kind; }));
  };
  EXPECT_EQ(checks, items.size());
  EXPECT_EQ(bullets, entries.size());
  EXPECT_EQ(headings, 1 + count(DocBlock::Kind::heading));
  EXPECT_EQ(fences, 2 * count(DocBlock::Kind::code));
  EXPECT_EQ(lines.front(), "# Moving day: Studio - \\[x\\] Keys \\# H \\<b\\>");

  // The PDF: nothing hidden, and each outside text on the line it began.
  test::TempDir dir;
  const auto pdf = MovingDayDocument::renderPDF(blocks);
  ASSERT_TRUE(pdf);
  std::string all;
  for (const auto& page : test::readPdf(dir, *pdf).pages) all += page;
  EXPECT_EQ(firstHidden(all), "") << all;
  const auto pdfLines = linesOf(all);
  auto lineWith = [&](const std::string& start) {
    for (const auto& line : pdfLines)
      if (line.find(start) != std::string::npos) return line;
    return std::string("(no line holds " + start + ")");
  };
  EXPECT_NE(lineWith("Moving day: Studio").find("Keys # H <b>"), std::string::npos) << all;
  EXPECT_NE(lineWith("~/Library/a").find("\\u000D- [x] Licence keys saved"), std::string::npos);
  EXPECT_NE(lineWith("~/x").find("\\u202E\\u000A[link](x)"), std::string::npos);
  EXPECT_NE(lineWith("Install > quote").find("- [ ] Fake"), std::string::npos);
  EXPECT_NE(lineWith("Download Tool").find("<b>"), std::string::npos);
  EXPECT_NE(lineWith("From evil.com").find("1. item (where its updates come from)"),
            std::string::npos);
  size_t pdfChecks = 0;
  for (const auto& line : pdfLines)
    if (line.starts_with("\u2610") || line.starts_with("\u2611")) ++pdfChecks;
  EXPECT_EQ(pdfChecks, items.size());
}

}  // namespace
}  // namespace larkvale
