// The catalogue feed decoder on the largest feed it may take: 60 apps, each
// with a Spanish translation.
#include <benchmark/benchmark.h>

#include <string>

#include <nlohmann/json.hpp>

#include "Pennant/MoreAppsValidator.h"

namespace {

std::string fullFeed() {
  nlohmann::json apps = nlohmann::json::array();
  for (int i = 0; i < 60; ++i) {
    std::string id = "app-" + std::to_string(i);
    apps.push_back({{"id", id},
                    {"name", "Nombre número " + std::to_string(i) + " 👍🏽"},
                    {"detail", "Una línea que cuenta qué hace la app, con acentos y emoji ☕."},
                    {"symbol", "square.and.arrow.up"},
                    {"tint", "indigo"},
                    {"url", "https://maker.example/mac/" + id},
                    {"bundleId", "com.maker." + id},
                    {"localized", {{"es", {{"name", "Nombre"}, {"detail", "Detalle corto."}}}}}});
  }
  return nlohmann::json{{"schema", 1}, {"apps", apps}}.dump();
}

void BM_DecodeFullFeed(benchmark::State& state) {
  const std::string feed = fullFeed();
  for (auto _ : state) benchmark::DoNotOptimize(pennant::MoreAppsValidator::decode(feed));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * feed.size()));
}
BENCHMARK(BM_DecodeFullFeed);

void BM_ValidText(benchmark::State& state) {
  const std::string text =
      "Una línea que cuenta qué hace la app, con acentos y emoji ☕ 👍🏽.";
  for (auto _ : state) benchmark::DoNotOptimize(pennant::MoreAppsValidator::validText(text, 120));
}
BENCHMARK(BM_ValidText);

void BM_RefuseOversizedBody(benchmark::State& state) {
  const std::string body(64u << 20, '[');
  for (auto _ : state) {
    try {
      pennant::MoreAppsValidator::decode(body);
    } catch (const pennant::MoreAppsError& error) {
      benchmark::DoNotOptimize(error.kind());
    }
  }
}
BENCHMARK(BM_RefuseOversizedBody);

}  // namespace
