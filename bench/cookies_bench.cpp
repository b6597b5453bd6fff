// Cookie merging and the answer-header scan for growing inputs: time per
// item should stay flat (linear work) as the item count grows.
#include <benchmark/benchmark.h>

#include <string>

#include "plugin/cookies.h"
#include "plugin/web_request_parts.h"

namespace orvanta {
namespace {

Text Items(int count, int offset) {
  Text out;
  for (int i = 0; i < count; ++i) out += "name" + std::to_string(i + offset) + "=value" + std::to_string(i) + "; ";
  return out;
}

template <Text (*Merge)(Text&, Text&)>
void BM_Merge(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  const Text old_items = Items(count, 0), new_items = Items(count, count / 2);
  for (auto _ : state) {
    Text cookies = old_items, fresh = new_items;
    benchmark::DoNotOptimize(Merge(cookies, fresh));
  }
  state.SetItemsProcessed(state.iterations() * 2 * count);
}
BENCHMARK(BM_Merge<MergeCookies>)->RangeMultiplier(8)->Range(8, 4096);
BENCHMARK(BM_Merge<MergeCookiesDistinct>)->RangeMultiplier(8)->Range(8, 4096);

void BM_ScanAnswerHeaders(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  Text raw = "HTTP/1.1 200 OK\r\n";
  for (int i = 0; i < count; ++i) raw += "Set-Cookie: c" + std::to_string(i) + "=v; path=/\r\n";
  raw += "\r\n";
  for (auto _ : state) {
    Text location, new_cookies;
    ScanAnswerHeaders(raw, location, new_cookies);
    benchmark::DoNotOptimize(new_cookies);
  }
  state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_ScanAnswerHeaders)->RangeMultiplier(8)->Range(8, 4096);

}  // namespace
}  // namespace orvanta
