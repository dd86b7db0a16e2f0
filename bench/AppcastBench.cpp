// parseAppcast against a bare expat pass over the same bytes: the reader's
// own work (element stack, item records, release notes, dates) should cost
// at most as much again as the XML parsing itself.
#include <benchmark/benchmark.h>
#include <expat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "kit/sources/Appcast.h"
#include "platform/FileSystem.h"
#include "tests/support/TempDir.h"

namespace {

// About 5 MB: 2,000 items of the kind real feeds carry, notes in CDATA HTML.
const std::string& generatedFeed() {
  static const std::string feed = [] {
    std::string notes;
    for (int i = 0; notes.size() < 1900; ++i)
      notes += "<li>Fixed an issue where the window &amp; its toolbar could lose focus (#" +
               std::to_string(i) + ")</li>\n";
    std::string out =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<rss version=\"2.0\" "
        "xmlns:sparkle=\"http://example.com/xml-namespaces/"
        "sparkle\"><channel><title>App</title>\n";
    for (int i = 0; i < 2000; ++i) {
      const std::string v = std::to_string(i);
      out += "<item><title>Version 1." + v +
             "</title><pubDate>Tue, 04 Mar 2025 10:00:00 +0000</pubDate>"
             "<sparkle:minimumSystemVersion>13.0</sparkle:minimumSystemVersion>"
             "<sparkle:releaseNotesLink>https://example.com/notes/" +
             v +
             ".html</sparkle:releaseNotesLink>"
             "<description><![CDATA[<h2>What&rsquo;s new</h2><ul>" +
             notes +
             "</ul>]]></description>"
             "<enclosure url=\"https://example.com/App-1." +
             v + ".zip\" sparkle:version=\"" + v + "\" sparkle:shortVersionString=\"1." + v +
             "\" length=\"12345678\" type=\"application/octet-stream\" "
             "sparkle:edSignature="
             "\"bG9uZyBzaWduYXR1cmUgdGV4dCBsb25nIHNpZ25hdHVyZSB0ZXh0IGxvbmcgc2ln\"/></item>\n";
    }
    return out + "</channel></rss>\n";
  }();
  return feed;
}

void BM_ParseAppcast(benchmark::State& state) {
  const std::string& feed = generatedFeed();
  for (auto _ : state) benchmark::DoNotOptimize(larkvale::Appcast::parseAppcast(feed));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * feed.size()));
}
BENCHMARK(BM_ParseAppcast)->Unit(benchmark::kMillisecond);

// The floor: expat reading the bytes with handlers that do nothing.
int bareExpatPass(const std::string& feed) {
  XML_Parser parser = XML_ParserCreate(nullptr);
  XML_SetElementHandler(
      parser, [](void*, const XML_Char*, const XML_Char**) {}, [](void*, const XML_Char*) {});
  XML_SetCharacterDataHandler(parser, [](void*, const XML_Char*, int) {});
  const int status = XML_Parse(parser, feed.data(), static_cast<int>(feed.size()), true);
  XML_ParserFree(parser);
  return status;
}

void BM_BareExpat(benchmark::State& state) {
  const std::string& feed = generatedFeed();
  for (auto _ : state) benchmark::DoNotOptimize(bareExpatPass(feed));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * feed.size()));
}
BENCHMARK(BM_BareExpat)->Unit(benchmark::kMillisecond);

// Real feeds whose dates miss the quick reading ("GMT+2", one-digit hours,
// a doubled space, spelled-out days), each against a bare expat pass over the
// same bytes, the two in turn in every iteration.
const char* const kRealFeeds[] = {"syncthing-macos-appcast-2018.xml", "coteditor-appcast-beta.xml",
                                  "adium-appcast-beta.xml", "hammerspoon-appcast.xml"};

void BM_ParseRealFeed(benchmark::State& state) {
  const char* name = kRealFeeds[static_cast<size_t>(state.range(0))];
  state.SetLabel(name);
  const auto feed = larkvale::FileSystem::readFile(
      larkvale::test::fixture("realworld/appcast/" + std::string(name)));
  if (!feed) {
    // The feeds ship with the project: without one this run measures nothing.
    std::fprintf(stderr, "missing real-world feed %s\n", name);
    std::exit(EXIT_FAILURE);
  }
  constexpr int kRounds = 16;
  using Clock = std::chrono::steady_clock;
  Clock::duration parse{}, bare{};
  for (auto _ : state) {
    const auto start = Clock::now();
    for (int r = 0; r < kRounds; ++r)
      benchmark::DoNotOptimize(larkvale::Appcast::parseAppcast(*feed));
    const auto middle = Clock::now();
    for (int r = 0; r < kRounds; ++r) benchmark::DoNotOptimize(bareExpatPass(*feed));
    parse += middle - start;
    bare += Clock::now() - middle;
  }
  const double n = static_cast<double>(state.iterations()) * kRounds;
  state.counters["parse_us"] = std::chrono::duration<double, std::micro>(parse).count() / n;
  state.counters["expat_us"] = std::chrono::duration<double, std::micro>(bare).count() / n;
  state.counters["ratio"] =
      std::chrono::duration<double>(parse) / std::chrono::duration<double>(bare);
}
BENCHMARK(BM_ParseRealFeed)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

}  // namespace
