#include "plugin/extract.h"

namespace orvanta {
namespace {

constexpr std::string_view kQuoteWord = "#\xD2\xFD\xBA\xC5";  // "#引号" in GBK

}  // namespace

Text ExtractBetween(std::string_view text, std::string_view left, std::string_view right,
                    std::optional<int> start, bool case_sensitive) {
  const Text left2 = ReplaceAll(left, kQuoteWord, "\"");
  const Text right2 = ReplaceAll(right, kQuoteWord, "\"");
  const bool ignore = !case_sensitive;
  int p = FindText(text, left2, start.value_or(0), ignore);
  if (p != -1) p += TextLength(left2);
  // Searched even when the left marker is missing (from the first byte then);
  // the result is not used in that case.
  const int q = FindText(text, right2, p, ignore);
  if (p == -1 || q == -1) return {};
  return TextMiddle(text, p, q - p);
}

Text StringField(std::string_view json, std::string_view key) {
  return ExtractBetween(json, Concat("\"", key, "\":\""), "\"");
}

Text NumberField(std::string_view json, std::string_view key) {
  return ExtractBetween(json, Concat("\"", key, "\":"), ",");
}

Text TextBetween(std::string_view text, std::string_view left, std::string_view right) {
  const int f = FindText(text, left, std::nullopt, true);
  if (f == -1) return {};
  const int p = f + TextLength(left);
  const int q = FindText(text, right, p, true);
  return TextMiddle(text, p, q - p);
}

TextArray SplitListItems(std::string_view answer) { return SplitText(answer, "},{"); }

}  // namespace orvanta
