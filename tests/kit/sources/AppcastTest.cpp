#include "kit/sources/Appcast.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

#include "tests/support/RealWorld.h"
#include "tests/support/TempDir.h"

namespace larkvale {
namespace {

using test::readAll;
using test::realworld;
using test::TempDir;

std::string feed(const std::string& items) {
  return R"(<?xml version="1.0" encoding="utf-8"?>
<rss version="2.0" xmlns:sparkle="http://example.com/xml-namespaces/sparkle"><channel>
<title>App</title><link>https://example.com/</link>)" +
         items + "</channel></rss>";
}

AppcastItem only(const std::string& item) {
  auto items = Appcast::parseAppcast(feed(item));
  EXPECT_EQ(items.size(), 1u);
  return items.empty() ? AppcastItem{} : items[0];
}

TEST(AppcastTest, ReadsElementsBeforeEnclosureAttributes) {
  auto item = only(R"(<item>
      <title> Version 3 </title>
      <sparkle:version>300&#x202E;</sparkle:version>
      <pubDate>Tue, 04 Mar 2025 10:00:00 +0000</pubDate>
      <sparkle:minimumSystemVersion>14.0</sparkle:minimumSystemVersion>
      <sparkle:releaseNotesLink>
          https://example.com/notes/3.html
      </sparkle:releaseNotesLink>
      <link>https://example.com/</link>
      <enclosure url="https://example.com/App-3.zip" sparkle:version="299"
                 sparkle:shortVersionString="3.0&#x2066;" sparkle:minimumSystemVersion="13.0" length="1" />
    </item>)");
  AppcastItem expected;
  expected.title = "Version 3";
  expected.version = "300";
  expected.shortVersion = "3.0";
  expected.pubDate = Dates::parseIso8601("2025-03-04T10:00:00Z");
  expected.notesURL = "https://example.com/notes/3.html";
  expected.downloadURL = "https://example.com/App-3.zip";
  expected.minimumSystemVersion = "14.0";
  expected.link = "https://example.com/";
  EXPECT_EQ(item, expected);

  // Everything from the enclosure; the short version stands in for a missing version.
  item = only(
      R"(<item><enclosure sparkle:shortVersionString="2.1" sparkle:minimumSystemVersion="10.13"/></item>)");
  EXPECT_EQ(item.version, "2.1");
  EXPECT_EQ(item.minimumSystemVersion, "10.13");

  // A build number alone is the item's version, on one line: each break and
  // tab one space, every other control and formatting character gone.
  item = only(
      "<item><sparkle:version>12&#x9;3&#xA;4&#xD;5&#x2028;6&#x2029;7&#x85;8&#x202E;&#x2066;"
      "&#x7F;&#x80;&#x9F;9</sparkle:version></item>");
  EXPECT_EQ(item.version, "12 3 4 5 6 7 89");
  EXPECT_EQ(item.shortVersion, std::nullopt);
}

TEST(AppcastTest, KeepsTheFirstNonEmptyTextOfDirectChildren) {
  auto item = only(R"(<item><title>  </title><title>Second</title><title>Third</title>
      <sparkle:version>1</sparkle:version>
      <sparkle:informationalUpdate><sparkle:version>0.5</sparkle:version></sparkle:informationalUpdate>
      <sparkle:tags><sparkle:criticalUpdate/></sparkle:tags>
      <description>text <b>bold</b> tail</description></item>)");
  EXPECT_EQ(item.title, "Second");
  EXPECT_EQ(item.version, "1");  // the nested version is not a child of the item
  EXPECT_TRUE(item.informational);
  EXPECT_FALSE(item.critical);    // only a direct child marks an item critical
  EXPECT_EQ(item.notes, "tail");  // the text after the last child element

  item = only(
      "<item><sparkle:version>1</sparkle:version><sparkle:criticalUpdate "
      "sparkle:version=\"0.9\"/></item>");
  EXPECT_TRUE(item.critical);
  EXPECT_FALSE(item.informational);
}

TEST(AppcastTest, ChoosesTheEnclosureForThisSystem) {
  struct Case {
    const char* enclosures;
    const char* url;
    std::optional<std::string> os;
  };
  const Case cases[] = {
      {R"(<enclosure url="https://x/w1" sparkle:os="Windows"/><enclosure url="https://x/w2" sparkle:os="WINDOWS"/>)",
       "https://x/w1", "Windows"},
      {R"(<enclosure url="https://x/w" sparkle:os="windows"/><enclosure url="https://x/m" sparkle:os="macOS"/>)",
       "https://x/m", "macOS"},
      {R"(<enclosure/><enclosure url="https://x/later"/>)", nullptr, std::nullopt},
      // Deltas never become the item's enclosure.
      {R"(<sparkle:deltas><enclosure url="https://x/delta" sparkle:version="9"/></sparkle:deltas>
          <enclosure url="https://x/full"/>)",
       "https://x/full", std::nullopt},
  };
  for (const auto& c : cases) {
    auto item =
        only(std::string("<item><sparkle:version>1</sparkle:version>") + c.enclosures + "</item>");
    EXPECT_EQ(item.downloadURL, c.url ? std::optional<std::string>(c.url) : std::nullopt)
        << c.enclosures;
    EXPECT_EQ(item.os, c.os) << c.enclosures;
    EXPECT_EQ(item.version, "1");
  }
}

TEST(AppcastTest, ReadsEnglishReleaseNotesLinksOnly) {
  const std::pair<const char*, const char*> cases[] = {
      {R"(<sparkle:releaseNotesLink xml:lang="de">https://x/de</sparkle:releaseNotesLink>
          <sparkle:releaseNotesLink xml:lang="en">https://x/en</sparkle:releaseNotesLink>)",
       "https://x/en"},
      {R"(<sparkle:releaseNotesLink xml:lang="ja">https://x/ja</sparkle:releaseNotesLink>
          <sparkle:fullReleaseNotesLink xml:lang="en_GB">https://x/full</sparkle:fullReleaseNotesLink>)",
       "https://x/full"},
      {R"(<sparkle:releaseNotesLink xml:lang="EN">https://x/upper</sparkle:releaseNotesLink>)",
       nullptr},
  };
  for (const auto& [links, url] : cases) {
    auto item = only(std::string("<item><sparkle:version>1</sparkle:version>") + links + "</item>");
    EXPECT_EQ(item.notesURL, url ? std::optional<std::string>(url) : std::nullopt) << links;
  }
}

TEST(AppcastTest, KeepsOnlyWebAddresses) {
  const std::pair<const char*, const char*> cases[] = {
      {"\n   https://example.com/a?b=c%20d#e  \n", "https://example.com/a?b=c%20d#e"},
      {"ftp://example.com/a", nullptr},
      {"https://example.com/%zz", nullptr},
  };
  for (const auto& [text, url] : cases) {
    auto item = only(std::string("<item><sparkle:version>1</sparkle:version><link>") + text +
                     "</link></item>");
    EXPECT_EQ(item.link, url ? std::optional<std::string>(url) : std::nullopt) << text;
  }
}

TEST(AppcastTest, TurnsCDATANotesIntoPlainText) {
  auto item = only(R"(<item><sparkle:version>1</sparkle:version><description><![CDATA[
      <h2>What&rsquo;s new</h2><ul><li>Faster &amp; smaller</li><li>Fixed a crash</li></ul>
      <script>alert(1)</script>
    ]]></description></item>)");
  // The heading's end and the first list item each start a line: one blank line between.
  EXPECT_EQ(item.notes, "What\u2019s new\n\n\u2022 Faster & smaller\n\u2022 Fixed a crash");
}

TEST(AppcastTest, KeepsItemsFinishedBeforeABreak) {
  const std::string text = feed(
      "<item><sparkle:version>1</sparkle:version></item>"
      "<item><sparkle:version>2</sparkle:version></item>"
      "<item><sparkle:version>3</sparkle:version><title>Cut off");
  const auto cut = text.substr(0, text.find("Cut off") + 7);
  auto items = Appcast::parseAppcast(cut);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[1].version, "2");
  // An item without any version is dropped; the others stand.
  items = Appcast::parseAppcast(feed(
      "<item><title>No version</title></item><item><sparkle:version>4</sparkle:version></item>"));
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].version, "4");
}

TEST(AppcastTest, RefusesWhatIsNotAnAppcast) {
  for (const char* text : {"<html><body><item>no version</item></body></html>", "not xml"})
    EXPECT_THROW(Appcast::parseAppcast(text), AppcastError) << text;
  try {
    Appcast::parseAppcast("{}");
    ADD_FAILURE() << "JSON read as an appcast";
  } catch (const AppcastError& e) {
    EXPECT_STREQ(e.what(), "notAnAppcast");
  }
  EXPECT_TRUE(
      Appcast::parseAppcast("<rss><channel><title>Nothing yet</title></channel></rss>").empty());
  EXPECT_TRUE(Appcast::parseAppcast("<channel>").empty());  // cut off, but it started as a feed
  EXPECT_EQ(Appcast::parseAppcast("<feed><item><sparkle:version>5</sparkle:version></item></feed>")
                .size(),
            1u);
}

TEST(AppcastTest, NeverLoadsExternalEntities) {
  TempDir dir;
  const auto secret = dir.write("secret.txt", "SECRET");
  const std::string text =
      "<?xml version=\"1.0\"?>\n<!DOCTYPE rss [<!ENTITY leak SYSTEM \"file://" + secret.string() +
      "\">]>\n<rss><channel><item><title>&leak;</title>"
      "<sparkle:version>1</sparkle:version></item></channel></rss>";
  const auto items = Appcast::parseAppcast(text);
  for (const auto& item : items) EXPECT_NE(item.title, "SECRET");
}

TEST(AppcastTest, ChoosesTheNewestItemForThisSystem) {
  using S = std::optional<std::string>;
  auto item = [](std::string version, S minimum = {}, S channel = {}, S os = {}) {
    AppcastItem i;
    i.version = std::move(version);
    i.minimumSystemVersion = std::move(minimum);
    i.channel = std::move(channel);
    i.os = std::move(os);
    return i;
  };
  const std::vector<AppcastItem> items{item("10", "15.0"),
                                       item("12", "15.1"),
                                       item("13", {}, "beta"),
                                       item("14", {}, {}, "windows"),
                                       item("11", {}, ""),
                                       item("11", {}, {}, "MacOS"),
                                       item("9")};
  auto best = Appcast::bestItem(items, "15.0.0");
  ASSERT_TRUE(best);
  EXPECT_EQ(best->version, "11");
  EXPECT_EQ(best->channel, std::optional<std::string>(""));  // the earlier of the two 11s
  EXPECT_EQ(Appcast::bestItem(items, "15.1.0")->version, "12");
  EXPECT_EQ(Appcast::bestItem(items, "10.0.0")->version, "11");
  EXPECT_EQ(Appcast::bestItem(items, "")->version, "12");  // an unknown system meets every minimum
  EXPECT_EQ(Appcast::bestItem({item("2", {}, "beta")}, "15.0.0"), std::nullopt);
  // Blank channels read from a feed count as the default channel.
  auto parsed =
      Appcast::parseAppcast(feed("<item><sparkle:version>3</sparkle:version><sparkle:channel> \n "
                                 "</sparkle:channel></item>"));
  EXPECT_EQ(Appcast::bestItem(parsed, "15.0.0")->version, "3");
}

TEST(AppcastTest, ReadsFeedDates) {
  const std::pair<const char*, const char*> cases[] = {
      {"Tue, 4 Mar 2025 10:00:00 +0000", "2025-03-04T10:00:00Z"},
      {"2025-03-04T10:00:00+0200", "2025-03-04T08:00:00Z"},
      {"2025-03-04 trailing", nullptr},
      {"Di, 04 Okt 2025 10:00:00 +0000", nullptr},
      {"Tue, 31 Feb 2025 10:00:00 +0000", nullptr},
      {"Tue, 4 Mar 2325 10:00:00 +0000", nullptr},  // past what a date here can hold
      {"Thu, 19 Apr 2018 21:36:00 GMT+2", "2018-04-19T19:36:00Z"},
      {"Tuesday, 04 SEPTEMBER 2025 10:00:00 EST", "2025-09-04T15:00:00Z"},
      {"Tue, 04 \u017fep 2025 10:00:00 +0000", "2025-09-04T10:00:00Z"},  // ICU folds the long s
      {"04 Mar 2025 10:00:00 +0100", "2025-03-04T09:00:00Z"},
  };
  for (const auto& [text, iso] : cases) {
    const auto date = Appcast::parseFeedDate(text);
    EXPECT_EQ(date ? Dates::iso8601(*date) : "none", iso ? iso : "none") << text;
  }
}

TEST(AppcastTest, WritesTheSystemVersionAsATriple) {
  const std::pair<const char*, const char*> cases[] = {
      {"15.3", "15.3.0"},
      {"6.1.0-18-amd64", "6.1.0"},
      {"", "0.0.0"},
  };
  for (const auto& [text, triple] : cases) EXPECT_EQ(Appcast::versionTriple(text), triple) << text;

  TempDir dir;
  const auto plist = dir.write("SystemVersion.plist", R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>ProductName</key><string>macOS</string>
<key>ProductVersion</key><string>15.3</string></dict></plist>)");
  EXPECT_EQ(Appcast::osVersionString(plist), "15.3.0");
  // Without the file the version is unknown: nothing else stands in for it.
  const auto noVersion = dir.write("Other.plist", R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>ProductVersion</key><string>n/a</string></dict></plist>)");
  for (const auto& path : {dir / "missing.plist", dir.mkdir("folder.plist"), noVersion})
    EXPECT_EQ(Appcast::osVersionString(path), std::nullopt) << path;
}

// Real feeds published by others, each with the answer the rules give: the
// number of items and the one chosen for a system of version 15.3.0.
TEST(AppcastTest, TakesRealWorldFeeds) {
  const auto folder = realworld("appcast");
  const std::map<std::string, std::pair<size_t, const char*>> expected{
      {"adium-appcast-beta.xml", {2, "1.3.1b2"}},
      {"alt-tab-macos-appcast.xml", {283, "11.4.3"}},
      {"amethyst-appcast-2014.xml", {13, "14"}},
      {"codeedit-appcast_pre-EMPTY.xml", {0, nullptr}},
      {"coteditor-appcast-beta.xml", {9, "686"}},
      {"coteditor-appcast.xml", {13, "830"}},
      {"dockdoor-appcast.xml", {2, "1.39.5"}},
      {"hammerspoon-appcast.xml", {102, "6933"}},
      {"hexfiend-appcast.xml", {13, "1728795549"}},
      {"iterm2-final.xml", {4, "3.3.12"}},
      {"iterm2-nightly_modern.xml", {3, "3.7.20260819-nightly"}},
      {"iterm2-testing_new.xml", {4, "3.7.0beta11"}},
      {"maccy-appcast.xml", {1, "62"}},
      {"monitorcontrol-appcast.xml", {8, "7048"}},
      {"openemu-appcast.xml", {2, "2.4.1"}},
      {"quickrecorder-appcast.xml", {50, "169"}},
      {"sparkle-fixture-channels.xml", {6, "7.0"}},
      {"sparkle-fixture-info-updates.xml", {4, "5.0"}},
      {"sparkle-fixture-namespaces.xml", {0, nullptr}},
      {"sparkle-fixture-testappcast.xml", {4, "5.0"}},
      {"syncthing-macos-appcast-2018.xml", {9, "0144601"}},
  };
  size_t seen = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    const std::string data = readAll(entry.path());
    if (name.starts_with("NOT-")) {
      EXPECT_THROW(Appcast::parseAppcast(data), AppcastError) << name;
      continue;
    }
    ASSERT_TRUE(expected.count(name)) << "unexpected sample " << name;
    ++seen;
    const auto items = Appcast::parseAppcast(data);
    const auto& [count, version] = expected.at(name);
    EXPECT_EQ(items.size(), count) << name;
    const auto best = Appcast::bestItem(items, "15.3.0");
    EXPECT_EQ(best ? best->version : "none", version ? version : "none") << name;
  }
  EXPECT_EQ(seen, expected.size());
}

}  // namespace
}  // namespace larkvale
