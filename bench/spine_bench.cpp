// What every message costs the plug-in's frame: the two companion checks
// (a full walk of the process list each), a chat-switch read, and the
// switch write of the rarer commands.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "common/settings.h"
#include "plugin/companion_start.h"

namespace {

void BM_CompanionCheck(benchmark::State& state) {
  const orvanta::Text absent = "no-such-program.exe";
  for (auto _ : state) benchmark::DoNotOptimize(orvanta::IsProcessRunning(absent));
}
BENCHMARK(BM_CompanionCheck)->Unit(benchmark::kMicrosecond);

// A settings file with `sections` sources already switched.
orvanta::Text Prepared(int sections) {
  const orvanta::Text file = "/tmp/orvanta_spine_bench.vt";
  std::remove(file.c_str());
  for (int i = 0; i < sections; ++i) orvanta::WriteSetting(file, std::to_string(i), "k", "v");
  return file;
}

void BM_ReadSetting(benchmark::State& state) {
  const orvanta::Text file = Prepared(static_cast<int>(state.range(0)));
  const std::string last = std::to_string(state.range(0) - 1);
  for (auto _ : state) benchmark::DoNotOptimize(orvanta::ReadSetting(file, last, "k"));
  std::remove(file.c_str());
}
BENCHMARK(BM_ReadSetting)->Arg(10)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_WriteSetting(benchmark::State& state) {
  const orvanta::Text file = Prepared(static_cast<int>(state.range(0)));
  bool flip = false;
  for (auto _ : state) orvanta::WriteSetting(file, "0", "k", (flip = !flip) ? "a" : "b");
  std::remove(file.c_str());
}
BENCHMARK(BM_WriteSetting)->Arg(10)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
