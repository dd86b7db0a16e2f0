#include <gtest/gtest.h>

#include <thread>

#include "kit/movingday/MovingDayDocument.h"
#include "tests/kit/movingday/PdfReader.h"

namespace larkvale {
namespace {

using Doc::line, Doc::own, Doc::path;
using test::readPdf;
using test::TempDir;

std::string footer(int page) {
  return "Larkvale \u00b7 Moving day \u00b7 page " + std::to_string(page);
}

// pdftotext breaks wrapped lines; joining them back lets long texts compare.
std::string withoutBreaks(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c != '\n' && c != ' ') out += c;
  }
  return out;
}

// A paragraph longer than a page continues on the next; the document stops at 200 pages.
TEST(MovingDayDocumentPdfTest, PaginatesWithFooterOnEveryPageUpToTwoHundred) {
  TempDir dir;
  EXPECT_EQ(readPdf(dir, *MovingDayDocument::renderPDF({})).pageCount(), 1);
  std::string words;
  for (int i = 0; i < 1500; ++i) words += "word" + std::to_string(i) + " ";
  std::vector<DocBlock> blocks = {DocBlock::title({own("Moving day: Studio")}),
                                  DocBlock::paragraph({own(words + "END")})};
  for (int i = 0; i < 20000; ++i)
    blocks.push_back(DocBlock::bullet({own("App number " + std::to_string(i) + ":")}));
  const auto back = readPdf(dir, *MovingDayDocument::renderPDF(blocks));
  EXPECT_EQ(back.info.at("Title"), "Moving day");
  EXPECT_EQ(back.info.at("Creator"), "Larkvale");
  EXPECT_EQ(back.info.at("Page size").substr(0, 9), "612 x 792");
  ASSERT_EQ(back.pageCount(), 200);
  ASSERT_EQ(back.pages.size(), 200u);
  std::string all;
  for (size_t i = 0; i < back.pages.size(); ++i) {
    EXPECT_NE(back.pages[i].find(footer(static_cast<int>(i) + 1)), std::string::npos) << i;
    all += back.pages[i];
  }
  for (size_t at = 0, i = 0; i < 300; ++i)  // every line, in order, across the breaks
    ASSERT_NE(at = all.find("App number " + std::to_string(i) + ":", at), std::string::npos) << i;
  EXPECT_NE(withoutBreaks(back.pages[0]).find("word0word1"), std::string::npos);
  EXPECT_EQ(withoutBreaks(back.pages[0]).find("END"), std::string::npos);
  EXPECT_NE(withoutBreaks(all).find("word1498word1499END"), std::string::npos);
}

TEST(MovingDayDocumentPdfTest, SurvivesHostileText) {
  TempDir dir;
  const std::string longPath = "/" + std::string(size_t{100} * 1024, 'x');
  const std::vector<DocBlock> blocks = {
      DocBlock::title({line("\u05de\u05e2\u05d1\u05e8 \u05d3\u05d9\u05e8\u05d4 "
                            "\u0627\u0644\u0627\u0646\u062a\u0642\u0627\u0644")}),
      DocBlock::bullet({path(longPath)}),
      DocBlock::check({line("\U0001F680 Rocket \U0001F468\u200D\U0001F469\u200D\U0001F467")}, false,
                      {{own(std::string("bad \xff\xfe bytes and a NUL \0 here", 29))}}),
      DocBlock::code({own("<b>not markup</b> & \u202Eevil")}),
      DocBlock::paragraph({own("after")}),
  };
  const auto pdf = MovingDayDocument::renderPDF(blocks);
  ASSERT_TRUE(pdf);
  const auto back = readPdf(dir, *pdf);
  EXPECT_GE(back.pageCount(), 2);
  std::string all;
  for (const auto& page : back.pages) all += page;
  EXPECT_NE(all.find("<b>not markup</b>"), std::string::npos);
  EXPECT_NE(all.find("after"), std::string::npos);
  const std::string flat = withoutBreaks(all);
  EXPECT_EQ(std::count(flat.begin(), flat.end(), 'x'), static_cast<long>(longPath.size() - 1));
}

TEST(MovingDayDocumentPdfTest, RendersOnSeveralThreadsAtOnce) {
  std::vector<DocBlock> blocks = {DocBlock::title({own("Moving day: Studio")})};
  for (int i = 0; i < 120; ++i)
    blocks.push_back(DocBlock::check({own("Step " + std::to_string(i))}, i % 2, {{own("detail")}}));
  std::vector<std::optional<std::string>> results(4);
  {
    std::vector<std::jthread> threads;
    for (auto& result : results) {
      threads.emplace_back([&] { result = MovingDayDocument::renderPDF(blocks); });
    }
  }
  TempDir dir;
  const int pages = readPdf(dir, *MovingDayDocument::renderPDF(blocks)).pageCount();
  EXPECT_GT(pages, 1);
  for (const auto& result : results) {
    ASSERT_TRUE(result);
    EXPECT_EQ(readPdf(dir, *result).pageCount(), pages);
  }
}

}  // namespace
}  // namespace larkvale
