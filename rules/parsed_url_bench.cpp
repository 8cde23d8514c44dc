#include <benchmark/benchmark.h>

#include <string>

#include "rules/parsed_url.h"

namespace {

const std::string kAddress =
    "http://user:pw@ads.server.example.com:8080/banners/popup/index.html?id=42&ref=home#top";

// Baseline: copying the address into a fresh string, the least a parser does.
void BM_CopyAddress(benchmark::State& state) {
    for (auto _ : state) {
        std::string copy(kAddress);
        benchmark::DoNotOptimize(copy);
    }
}
BENCHMARK(BM_CopyAddress);

void BM_ParseAddress(benchmark::State& state) {
    for (auto _ : state) {
        qm::ParsedUrl url;
        url.Parse(kAddress);
        benchmark::DoNotOptimize(url.domain);
    }
}
BENCHMARK(BM_ParseAddress);

}  // namespace
