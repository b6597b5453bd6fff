// Runs every text and extraction routine on pieces of the input and checks
// what must always hold: results hold no zero byte, positions are -1 or
// inside the text, and the scans agree with the plainly written rules.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/bytes.h"
#include "common/text.h"
#include "plugin/extract.h"
#include "tests/text_reference.h"

namespace {

using namespace orvanta;

void Check(bool ok) {
  if (!ok) std::abort();
}

void CheckText(std::string_view s) { Check(s.find('\0') == std::string_view::npos); }

void CheckPosition(int pos, std::string_view text) {
  Check(pos == -1 || (pos >= 1 && pos <= static_cast<int>(text.size())));
}

}  // namespace

// Input: three signed bytes (two starts and a count), a flag byte, then the
// text and up to three markers separated by zero bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 4) return 0;
  const int start1 = static_cast<std::int8_t>(data[0]);
  const int start2 = static_cast<std::int8_t>(data[1]);
  const int count = static_cast<std::int8_t>(data[2]);
  const std::uint8_t flags = data[3];
  std::string_view rest(reinterpret_cast<const char*>(data + 4), size - 4);
  std::string_view piece[4];
  for (auto& p : piece) {
    const std::size_t z = rest.find('\0');
    p = rest.substr(0, z);
    rest = z == std::string_view::npos ? std::string_view() : rest.substr(z + 1);
  }
  const std::string_view text = piece[0], a = piece[1], b = piece[2], c = piece[3];
  const bool ignore = flags & 1;
  const std::optional<int> s1 = flags & 2 ? std::optional<int>(start1) : std::nullopt;
  const std::optional<int> n = flags & 4 ? std::optional<int>(count) : std::nullopt;

  const int found = FindText(text, a, s1, ignore);
  CheckPosition(found, text);
  Check(found == reference::FindText(text, a, s1, ignore));
  const int last = FindTextFromEnd(text, a, s1, ignore);
  CheckPosition(last, text);
  Check(last == reference::FindTextFromEnd(text, a, s1, ignore));

  const Text replaced = ReplaceText(text, a, b, s1, n, !ignore);
  CheckText(replaced);
  Check(replaced == reference::ReplaceText(text, a, b, s1, n, !ignore));
  Check(ReplaceAll(text, a, b) ==
        reference::ReplaceText(text, a, b, std::nullopt, std::nullopt, true));

  const TextArray parts = SplitText(text, a, n);
  Check(parts == reference::SplitText(text, a, n));
  for (const Text& p : parts) CheckText(p);
  for (const Text& p : SplitListItems(text)) CheckText(p);

  for (const Text& t :
       {TextLeft(text, start1), TextRight(text, start2), TextMiddle(text, start1, start2),
        TrimBoth(text), RemoveAllSpaces(text), ToLower(text), ToUpper(text)}) {
    CheckText(t);
    Check(t.size() <= text.size());
  }
  Check(TrimBoth(TrimBoth(text)) == TrimBoth(text));
  Check(RemoveAllSpaces(RemoveAllSpaces(text)) == RemoveAllSpaces(text));
  Check(ToLower(ToUpper(text)) == ToLower(text));

  const std::int32_t value = ToInteger(text);
  Check(ToInteger(std::to_string(value)) == value);
  const Text hex = HexText(value);
  Check(!hex.empty() && hex.size() <= 8 &&
        hex.find_first_not_of("0123456789ABCDEF") == std::string_view::npos);
  CheckText(CharFromCode(start1));
  const int code = CharCode(text, start2);
  Check(code >= -128 && code <= 127);
  Check(CompareText(text, a) == -CompareText(a, text));

  const Text between = ExtractBetween(text, a, b, s1, flags & 8);
  CheckText(between);
  Check(between.size() <= text.size());
  Check(between.empty() || text.find(between) != std::string_view::npos);
  const Text cut = TextBetween(text, a, b);
  CheckText(cut);
  Check(cut.empty() || text.find(cut) != std::string_view::npos);
  CheckText(StringField(text, c));
  CheckText(NumberField(text, c));

  const Bytes bytes(data, data + size);
  const Bytes sub = TextToBytes(a);
  const int at = FindBytes(bytes, sub, s1);
  const std::size_t from = s1 && *s1 > 1 ? static_cast<std::size_t>(*s1 - 1) : 0;
  const std::size_t want =
      sub.empty() || from >= bytes.size()
          ? std::string_view::npos
          : std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size())
                .find(std::string_view(reinterpret_cast<const char*>(sub.data()), sub.size()),
                      from);
  Check(at == (want == std::string_view::npos ? -1 : static_cast<int>(want + 1)));
  CheckText(BytesToText(bytes));
  return 0;
}
