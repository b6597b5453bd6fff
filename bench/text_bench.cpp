// Searching, cutting and replacing over a 1 MiB page, each next to memmem on
// the same bytes. The wanted text stands near the end (or nowhere), so every
// routine reads the whole buffer; compare the bytes/second columns.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>

#include "common/text.h"
#include "plugin/extract.h"

namespace orvanta {
namespace {

constexpr std::size_t kSize = 1 << 20;

// A common Chinese character in GBK.
void AddChinese(std::mt19937& rng, Text& out) {
  out += static_cast<char>(0xB0 + rng() % 40);
  out += static_cast<char>(0xA1 + rng() % 94);
}

// Markup with attributes, scripts and some Chinese text, like a search
// result page: hyphens, quotes and '=' are everywhere.
Text MakeHtml(std::string_view tail) {
  std::mt19937 rng(1);
  Text page =
      "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=gbk\">"
      "<title>search</title></head><body>\n";
  while (page.size() + tail.size() + 400 < kSize) {
    const std::string id = std::to_string(rng() % 100000);
    page += "<li class=\"song-item clearfix\" data-id=\"" + id +
            "\"><a href=\"http://www.example.com/song/" + id + ".html\" target=\"_blank\" title=\"";
    for (int i = 0; i < 6; ++i) AddChinese(rng, page);
    page += "\" onclick=\"play_song(" + id + ", 'mp3');return false;\">Song-" + id +
            "</a><span class=\"singer-name\">";
    for (int i = 0; i < 3; ++i) AddChinese(rng, page);
    page += "</span>&nbsp;<em class=\"album_name\">Album (" + id + ")</em><br></li>\n";
  }
  page += tail;
  page += "</body></html>\n";
  page.resize(kSize, '\n');
  return page;
}

// Chinese prose with full-width punctuation and line breaks.
Text MakeChinese(std::string_view tail) {
  std::mt19937 rng(2);
  Text text;
  while (text.size() + tail.size() + 16 < kSize) {
    for (int i = 0; i < 12; ++i) AddChinese(rng, text);
    text += rng() % 4 ? "\xA3\xAC" : "\xA1\xA3\r\n";  // "，" or "。" and a line end
  }
  text += tail;
  text.resize(kSize, '\n');
  return text;
}

const std::string_view kHtmlLeft = "<div class=\"lemma-summary\">";
const std::string_view kHtmlRight = "</div>";
const std::string_view kChineseLeft = "\xB0\xD9\xBF\xC6\xC8\xAB\xCA\xE9";  // "百科全书"
const std::string_view kChineseRight = "\xA1\xA3";                         // "。"

const Text& Html() {
  static const Text page =
      MakeHtml(Concat(kHtmlLeft, "The summary <b>text</b>.", kHtmlRight, "\n"));
  return page;
}
const Text& Chinese() {
  static const Text text =
      MakeChinese(Concat(kChineseLeft, "\xCA\xC7\xD2\xBB\xB1\xBE\xCA\xE9", kChineseRight));
  return text;
}

template <typename Run>
void Measure(benchmark::State& state, const Text& data, Run run) {
  for (auto _ : state) benchmark::DoNotOptimize(run(data));
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * data.size()));
}

const void* Memmem(const Text& data, std::string_view needle) {
  return memmem(data.data(), data.size(), needle.data(), needle.size());
}

// The page data is built before timing starts.
void BM_Memmem_Html(benchmark::State& s) {
  Measure(s, Html(), [](const Text& d) { return Memmem(d, kHtmlLeft); });
}
void BM_FindText_Html(benchmark::State& s) {
  Measure(s, Html(), [](const Text& d) { return FindText(d, kHtmlLeft); });
}
void BM_FindTextIgnoreCase_Html(benchmark::State& s) {
  Measure(s, Html(), [](const Text& d) { return FindText(d, kHtmlLeft, 1, true); });
}
void BM_ExtractBetween_Html(benchmark::State& s) {
  Measure(s, Html(), [](const Text& d) { return ExtractBetween(d, kHtmlLeft, kHtmlRight); });
}
void BM_ReplaceAllAbsent_Html(benchmark::State& s) {
  Measure(s, Html(), [](const Text& d) { return ReplaceAll(d, "<marquee>", ""); });
}
void BM_ReplaceAllFrequent_Html(benchmark::State& s) {
  Measure(s, Html(), [](const Text& d) { return ReplaceAll(d, "&nbsp;", " "); });
}

void BM_Memmem_Chinese(benchmark::State& s) {
  Measure(s, Chinese(), [](const Text& d) { return Memmem(d, kChineseLeft); });
}
void BM_FindText_Chinese(benchmark::State& s) {
  Measure(s, Chinese(), [](const Text& d) { return FindText(d, kChineseLeft); });
}
void BM_FindTextIgnoreCase_Chinese(benchmark::State& s) {
  Measure(s, Chinese(), [](const Text& d) { return FindText(d, kChineseLeft, 1, true); });
}
void BM_ExtractBetween_Chinese(benchmark::State& s) {
  Measure(s, Chinese(),
          [](const Text& d) { return ExtractBetween(d, kChineseLeft, kChineseRight); });
}
void BM_ReplaceAllAbsent_Chinese(benchmark::State& s) {
  Measure(s, Chinese(), [](const Text& d) { return ReplaceAll(d, "\xD7\xF7\xD5\xDF", ""); });
}
void BM_ReplaceAllFrequent_Chinese(benchmark::State& s) {
  Measure(s, Chinese(), [](const Text& d) { return ReplaceAll(d, "\xA3\xAC", ","); });
}

BENCHMARK(BM_Memmem_Html);
BENCHMARK(BM_FindText_Html);
BENCHMARK(BM_FindTextIgnoreCase_Html);
BENCHMARK(BM_ExtractBetween_Html);
BENCHMARK(BM_ReplaceAllAbsent_Html);
BENCHMARK(BM_ReplaceAllFrequent_Html);
BENCHMARK(BM_Memmem_Chinese);
BENCHMARK(BM_FindText_Chinese);
BENCHMARK(BM_FindTextIgnoreCase_Chinese);
BENCHMARK(BM_ExtractBetween_Chinese);
BENCHMARK(BM_ReplaceAllAbsent_Chinese);
BENCHMARK(BM_ReplaceAllFrequent_Chinese);

}  // namespace
}  // namespace orvanta
