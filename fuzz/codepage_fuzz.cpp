// Every conversion and percent-coding routine on arbitrary bytes: no crash,
// no zero byte inside a Text, and the terminator each result promises.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "plugin/codepage.h"
#include "plugin/urlcode.h"

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

void CheckText(const orvanta::Text& text) { Check(text.find('\0') == orvanta::Text::npos); }

// UTF-16LE that ends with exactly one zero unit.
void CheckTerminatedUtf16(const orvanta::Bytes& w) {
  Check(w.size() >= 2 && w.size() % 2 == 0);
  Check(w[w.size() - 2] == 0 && w[w.size() - 1] == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace orvanta;
  const std::string_view raw(reinterpret_cast<const char*>(data), size);
  const Bytes bytes(data, data + size);
  const std::string_view text = raw.substr(0, raw.find('\0'));  // what a Text would hold

  Bytes utf16 = TextToUtf16Bytes(raw);
  CheckTerminatedUtf16(utf16);
  for (std::size_t i = 0; i + 2 < utf16.size(); i += 2) Check(utf16[i] != 0 || utf16[i + 1] != 0);

  Bytes utf8 = TextToUtf8Bytes(raw);
  Check(!utf8.empty() && utf8.back() == 0);
  for (std::size_t i = 0; i + 1 < utf8.size(); ++i) Check(utf8[i] != 0);

  Text gbk_to_utf8 = GbkToUtf8(raw);
  CheckText(gbk_to_utf8);
  Check(gbk_to_utf8.size() + 1 == utf8.size());
  Text back = Utf8ToGbk(gbk_to_utf8);
  CheckText(back);

  CheckText(Utf8BytesToText(bytes));
  CheckText(Utf8ToGbk(raw));
  CheckText(Utf16BytesToGbkText(bytes));
  CheckText(EncodeFromUtf16(bytes));
  CheckText(EncodeFromUtf16(bytes, 65001));
  Bytes steps = Utf8BytesToUtf16Bytes(bytes);
  Check(steps.size() % 2 == 0 && steps.size() <= 2 * bytes.size());
  CheckTerminatedUtf16(DecodeToUtf16(raw));
  CheckTerminatedUtf16(DecodeToUtf16(raw, 936));

  Text keyword = EncodeSearchKeyword(raw);
  CheckText(keyword);
  for (bool keep_plain : {false, true}) {
    for (bool to_utf8 : {false, true}) {
      Text encoded = UrlEncode(raw, keep_plain, to_utf8);
      CheckText(encoded);
      if (!keep_plain && !to_utf8) Check(encoded.size() == 3 * text.size());
      if (!to_utf8) Check(UrlDecode(encoded) == text);
    }
  }
  Text decoded = UrlDecode(raw);
  CheckText(decoded);
  Check(decoded.size() <= text.size());
  CheckText(UrlDecode(raw, true));
  return 0;
}
