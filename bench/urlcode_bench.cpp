// Throughput of the percent coding and of the GBK / UTF-8 conversions on
// 1 MiB inputs that mix ASCII and Chinese as chat messages and pages do.
#include <benchmark/benchmark.h>

#include <string>

#include "plugin/codepage.h"
#include "plugin/urlcode.h"

namespace orvanta {
namespace {

constexpr std::size_t kSize = 1 << 20;

// GBK: ASCII words and punctuation between runs of Chinese characters.
const Text& GbkText() {
  static const Text text = [] {
    const std::string piece =
        "Hello, world 123 - \xC4\xE3\xBA\xC3\xA3\xAC\xCA\xC0\xBD\xE7 "
        "\xBD\xF1\xCC\xEC\xCC\xEC\xC6\xF8\xD4\xF5\xC3\xB4\xD1\xF9\xA3\xBF a.b/c?d=e&f ";
    Text t;
    while (t.size() + piece.size() <= kSize) t += piece;
    t.append(kSize - t.size(), 'x');
    return t;
  }();
  return text;
}

// The first 1 MiB of the UTF-8 form and of the percent form.
const Text& Utf8Text() {
  static const Text text = GbkToUtf8(GbkText()).substr(0, kSize);
  return text;
}

const Text& EncodedText() {
  static const Text text = UrlEncode(GbkText(), true, true).substr(0, kSize);
  return text;
}

template <typename F>
void Run(benchmark::State& state, const Text& input, F f) {
  for (auto _ : state) {
    Text out = f(input);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(input.size()));
}

void BM_UrlEncode(benchmark::State& state) {
  Run(state, GbkText(), [](const Text& t) { return UrlEncode(t); });
}
void BM_UrlEncodeKeepPlainToUtf8(benchmark::State& state) {
  Run(state, GbkText(), [](const Text& t) { return UrlEncode(t, true, true); });
}
void BM_EncodeSearchKeyword(benchmark::State& state) {
  Run(state, GbkText(), [](const Text& t) { return EncodeSearchKeyword(t); });
}
void BM_UrlDecode(benchmark::State& state) {
  Run(state, EncodedText(), [](const Text& t) { return UrlDecode(t); });
}
void BM_UrlDecodeFromUtf8(benchmark::State& state) {
  Run(state, EncodedText(), [](const Text& t) { return UrlDecode(t, true); });
}
void BM_Utf8ToGbk(benchmark::State& state) {
  Run(state, Utf8Text(), [](const Text& t) { return Utf8ToGbk(t); });
}
void BM_GbkToUtf8(benchmark::State& state) {
  Run(state, GbkText(), [](const Text& t) { return GbkToUtf8(t); });
}
void BM_Utf8BytesToText(benchmark::State& state) {
  static const Bytes bytes(Utf8Text().begin(), Utf8Text().end());
  for (auto _ : state) {
    Text out = Utf8BytesToText(bytes);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                          static_cast<int64_t>(bytes.size()));
}

BENCHMARK(BM_UrlEncode);
BENCHMARK(BM_UrlEncodeKeepPlainToUtf8);
BENCHMARK(BM_EncodeSearchKeyword);
BENCHMARK(BM_UrlDecode);
BENCHMARK(BM_UrlDecodeFromUtf8);
BENCHMARK(BM_Utf8ToGbk);
BENCHMARK(BM_GbkToUtf8);
BENCHMARK(BM_Utf8BytesToText);

}  // namespace
}  // namespace orvanta
