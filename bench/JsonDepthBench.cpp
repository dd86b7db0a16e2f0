// What hostile nesting costs the JSON layer: 32 MiB of opening brackets (as a
// Moving Day manifest, a state file or an update answer might hold) must be
// refused quickly and with little memory. The counter peakPerInputByte is the
// most heap the parse held at once, divided by the size of the text; it must
// stay under 10.
//
// A program of its own, because it replaces the global operator new to count
// the bytes held.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "platform/Json.h"

namespace {

std::atomic<size_t> held{0};
std::atomic<size_t> peak{0};

void* take(size_t n) {
  void* p = std::malloc(n == 0 ? 1 : n);
  if (!p) throw std::bad_alloc();
  size_t now = held.fetch_add(malloc_usable_size(p)) + malloc_usable_size(p);
  size_t seen = peak.load();
  while (now > seen && !peak.compare_exchange_weak(seen, now)) {
  }
  return p;
}

void give(void* p) noexcept {
  if (!p) return;
  held.fetch_sub(malloc_usable_size(p));
  std::free(p);
}

}  // namespace

void* operator new(size_t n) {
  return take(n);
}
void* operator new[](size_t n) {
  return take(n);
}
void operator delete(void* p) noexcept {
  give(p);
}
void operator delete[](void* p) noexcept {
  give(p);
}
void operator delete(void* p, size_t) noexcept {
  give(p);
}
void operator delete[](void* p, size_t) noexcept {
  give(p);
}

namespace larkvale {
namespace {

constexpr size_t kInputBytes = size_t{32} << 20;

std::string repeated(std::string_view piece) {
  std::string text;
  text.reserve(kInputBytes);
  while (text.size() + piece.size() <= kInputBytes) text += piece;
  return text;
}

bool parses(const std::string& text) {
  try {
    benchmark::DoNotOptimize(JsonCoding::parse(text));
    return true;
  } catch (const JsonDecodingError&) {
    return false;
  }
}

void measure(benchmark::State& bench, const std::string& text,
             bool (*accepts)(const std::string&)) {
  size_t most = 0;
  for (auto _ : bench) {
    const size_t before = held.load();
    peak.store(before);
    if (accepts(text)) bench.SkipWithError("nesting was accepted");
    most = std::max(most, peak.load() - before);
  }
  bench.counters["peakPerInputByte"] = static_cast<double>(most) / static_cast<double>(text.size());
}

void BM_JsonNestedArrays(benchmark::State& bench) {
  measure(bench, repeated("["), parses);
}
BENCHMARK(BM_JsonNestedArrays)->Unit(benchmark::kMillisecond);

void BM_JsonNestedObjects(benchmark::State& bench) {
  measure(bench, repeated(R"({"a":)"), parses);
}
BENCHMARK(BM_JsonNestedObjects)->Unit(benchmark::kMillisecond);

// The shape of a state file's report nested inside itself.
void BM_JsonNestedRecords(benchmark::State& bench) {
  measure(bench, repeated(R"({"updates":[{"app":{"name":"x","path":)"), parses);
}
BENCHMARK(BM_JsonNestedRecords)->Unit(benchmark::kMillisecond);

// Nesting within the updates of a state file, which are read as they stream
// past rather than into the tree.
void BM_JsonNestedInStreamedArray(benchmark::State& bench) {
  measure(bench, R"({"lastReport":{"updates":[)" + repeated("["), [](const std::string& text) {
    return JsonCoding::parseStreaming(text, {"lastReport", "updates"}, [](const JsonStreamIn&) {})
        .has_value();
  });
}
BENCHMARK(BM_JsonNestedInStreamedArray)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace larkvale
