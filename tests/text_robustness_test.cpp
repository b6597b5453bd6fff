// Every routine over hostile texts: all byte pairs, a lone lead byte at the
// end and random bytes. Nothing may crash (this runs under the sanitizers
// too), positions stay in range and no result holds a zero byte.
#include <gtest/gtest.h>

#include <random>

#include "common/bytes.h"
#include "common/text.h"
#include "plugin/extract.h"
#include "tests/text_reference.h"

namespace orvanta {
namespace {

Text AllPairs() {
  Text t;
  for (int a = 1; a < 256; ++a) {
    for (int b = 1; b < 256; ++b) {
      t += static_cast<char>(a);
      t += static_cast<char>(b);
    }
  }
  return t + "\xB0";  // a lead byte with nothing after it
}

Text RandomBytes(std::size_t n) {
  std::mt19937 rng(936);
  Text t(n, 'x');
  for (char& c : t) c = static_cast<char>(1 + rng() % 255);
  return t + "\xFF";
}

void ExpectNoZero(std::string_view s) { EXPECT_EQ(s.find('\0'), std::string_view::npos); }

void ExpectPosition(int pos, std::string_view text) {
  EXPECT_TRUE(pos == -1 || (pos >= 1 && pos <= static_cast<int>(text.size()))) << pos;
}

class HostileText : public ::testing::TestWithParam<int> {
 protected:
  Text text_ = GetParam() == 0 ? AllPairs() : RandomBytes(100000);
};

TEST_P(HostileText, EveryOneByteMarkerIsFoundAsThePlainRulesSay) {
  for (int b = 1; b < 256; ++b) {
    const Text sub(1, static_cast<char>(b));
    SCOPED_TRACE(b);
    const bool ignore_case = b % 2;
    EXPECT_EQ(FindText(text_, sub, std::nullopt, ignore_case),
              reference::FindText(text_, sub, std::nullopt, ignore_case));
  }
}

TEST_P(HostileText, NoRoutineFails) {
  const int len = TextLength(text_);
  const Text markers[] = {"\\",
                          "|",
                          "A",
                          "a",
                          "\xB0",
                          "\xA1\xA1",
                          "\xFF\xFF",
                          "},{",
                          "\"",
                          "#\xD2\xFD\xBA\xC5",
                          "\x5C\x5C\x7C",
                          Text(300, 'a'),
                          ""};
  const std::optional<int> starts[] = {std::nullopt, 0, 1, 2, len / 2, len, len + 1, -5};
  for (const Text& m : markers) {
    SCOPED_TRACE(m);
    for (const auto& start : starts) {
      for (bool flag : {false, true}) {
        ExpectPosition(FindText(text_, m, start, flag), text_);
        ExpectPosition(FindTextFromEnd(text_, m, start, flag), text_);
        const Text replaced = ReplaceText(text_, m, "x", start, 3, flag);
        ExpectNoZero(replaced);
        EXPECT_LE(replaced.size(), text_.size() + 3);
      }
      ExpectNoZero(ExtractBetween(text_, m, "\"", start));
      ExpectNoZero(ExtractBetween(text_, "\"", m, start, true));
    }
    const Text replaced = ReplaceAll(text_, m, "");
    ExpectNoZero(replaced);
    EXPECT_LE(replaced.size(), text_.size());
    std::size_t total = 0;
    for (const Text& piece : SplitText(text_, m)) {
      ExpectNoZero(piece);
      total += piece.size();
    }
    EXPECT_LE(total, text_.size());
    ExpectNoZero(StringField(text_, m));
    ExpectNoZero(NumberField(text_, m));
    ExpectNoZero(TextBetween(text_, m, m));
    EXPECT_GE(FindBytes(TextToBytes(text_), TextToBytes(m)), -1);
  }
  for (const Text& s : {TrimBoth(text_), RemoveAllSpaces(text_), ToLower(text_), ToUpper(text_)}) {
    ExpectNoZero(s);
    EXPECT_LE(s.size(), text_.size());
  }
  EXPECT_EQ(ToLower(text_).size(), text_.size());
  EXPECT_EQ(BytesToText(TextToBytes(text_)), text_);
  for (int i = 0; i < len; i += 97) {
    const std::string_view rest = std::string_view(text_).substr(static_cast<std::size_t>(i));
    ToInteger(rest);  // must not overflow into undefined behaviour
    const int code = CharCode(text_, i + 1);
    EXPECT_TRUE(code >= -128 && code <= 127 && code != 0);
    EXPECT_EQ(TextMiddle(text_, i + 1, 5), text_.substr(static_cast<std::size_t>(i), 5));
  }
  for (const Text& item : SplitListItems(text_)) ExpectNoZero(item);
}

INSTANTIATE_TEST_SUITE_P(Texts, HostileText, ::testing::Values(0, 1),
                         [](const auto& info) { return info.param == 0 ? "AllPairs" : "Random"; });

}  // namespace
}  // namespace orvanta
