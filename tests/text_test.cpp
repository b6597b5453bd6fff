#include "common/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

#include "tests/text_reference.h"

namespace orvanta {
namespace {

// Two-byte characters used below, as GBK bytes: "\xB0\xA1" is a Chinese
// character, "\xA1\xA1" the full-width space; "\xB0\x41", "\xDE\x5C" and
// "\xB0\x7C" have the trail bytes 'A', '\\' and '|'.
constexpr std::optional<int> kNoStart = std::nullopt;

struct FindCase {
  std::string_view text, sub;
  std::optional<int> start;
  bool ignore_case;
  int want;
};

TEST(FindText, Table) {
  const FindCase cases[] = {
      {"xxabab", "ab", kNoStart, false, 3},
      {"xxabab", "ab", 0, false, 3},
      {"xxabab", "ab", 1, false, 3},
      {"xxabab", "ab", -7, false, 3},
      {"xxabab", "ab", INT_MIN, false, 3},
      {"xxabab", "ab", 4, false, 5},
      {"xxabab", "ab", 5, false, 5},
      {"xxabab", "ab", 6, false, -1},
      {"xxabab", "ab", 7, false, -1},
      {"xxabab", "ab", INT_MAX, false, -1},
      {"xxabab", "abc", kNoStart, false, -1},
      {"ab", "abc", kNoStart, false, -1},
      // An empty sub is found at 1, not at start, while the region is not empty.
      {"abcd", "", 3, false, 1},
      {"abcd", "", 4, false, 1},
      {"abcd", "", 5, false, -1},
      {"ab", "", 3, false, -1},
      {"", "", kNoStart, false, -1},
      {"", "a", kNoStart, false, -1},
      {"xAB", "ab", kNoStart, true, 2},
      {"xAB", "ab", kNoStart, false, -1},
      {"xab", "AB", kNoStart, true, 2},
      {"a[b", "A{B", kNoStart, true, -1},  // only letters fold: '[' is not '{'
      // Never at a trail byte, whatever the trail byte is.
      {"\xB0\x41", "A", kNoStart, false, -1},
      {"\xB0\x41", "a", kNoStart, true, -1},
      {"\xB0\x41\x41", "A", kNoStart, false, 3},
      {"\xDE\x5C\\", "\\", kNoStart, false, 3},
      {"\xB0\x7Cx|", "|", kNoStart, false, 4},
      {"\xB0\xA1\xB0\xA1", "\xA1\xB0", kNoStart, false, -1},
      {"\xB0\xA1\xB0\xA1", "\xB0\xA1", 3, false, 3},
      // The scan starts exactly at start, even on a trail byte, and counts
      // characters from there.
      {"\xB0\x41\x41", "A", 2, false, 2},
      {"\xB0\xB0\x41", "A", kNoStart, false, 3},
      {"\xB0\xB0\x41", "A", 2, false, -1},
      {"\xB0\xA1\xB0\xA1", "\xB0\xA1", 2, false, -1},
      // A lead byte at the very end is still compared, then the scan stops.
      {"ab\xB0", "\xB0", kNoStart, false, 3},
      {"\xB0", "\xB0", kNoStart, false, 1},
      {"ab\xB0", "\xB0\x41", kNoStart, false, -1},
      // Folding applies to trail bytes as well.
      {"\xB0\x61", "\xB0\x41", kNoStart, true, 1},
      {"\xB0\x61", "\xB0\x41", kNoStart, false, -1},
      // A match may take only the lead byte of a character.
      {"\xB0\x41", "\xB0", kNoStart, false, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << '"' << c.text << "\" / \"" << c.sub << "\" start "
                                      << c.start.value_or(-999) << " ic " << c.ignore_case);
    EXPECT_EQ(FindText(c.text, c.sub, c.start, c.ignore_case), c.want);
  }
}

// Long texts take the word-at-a-time path and, for needles that make many
// near-misses, the linear fall-back.
TEST(FindText, LongTexts) {
  Text ascii(5000, 'x');
  ascii += "needle";
  Text gbk;
  for (int i = 0; i < 3000; ++i) gbk += "\xB0\x41";  // every 'A' is a trail byte
  Text blocks;
  for (int i = 0; i < 50; ++i) blocks += Text(99, 'a') + "b";
  Text half_gbk;
  for (int i = 0; i < 3000; ++i) half_gbk += "\xB0\x61";
  const Text a99b = Text(99, 'a') + "b", a100(100, 'a');
  struct Case {
    Text text, sub;
    std::optional<int> start;
    bool ignore_case;
    int want;
  };
  const Case cases[] = {
      {ascii, "needle", kNoStart, false, 5001},
      {ascii, "NEEDLE", kNoStart, true, 5001},
      {ascii, "needle", 5001, false, 5001},
      {ascii, "needle", 5002, false, -1},
      {ascii, "x", 4999, false, 4999},
      {gbk, "A", kNoStart, false, -1},
      {gbk, "a", kNoStart, true, -1},
      {gbk + "A", "A", kNoStart, false, 6001},
      {gbk, "A\xB0", kNoStart, false, -1},
      {gbk, "\xB0\x41\xB0\x41", 5995, false, 5995},
      {gbk, "\xB0\x41\xB0\x41", 5996, false, 5997},  // started on a trail byte
      {gbk, "A\xB0\x41", 2, false, 2},
      {blocks, a100, kNoStart, false, -1},
      {blocks, a99b, 2, false, 101},
      {blocks, ToUpper(a99b), 102, true, 201},
      {blocks + a100, a100, kNoStart, false, 5001},
      {half_gbk, "a\xB0\x61", kNoStart, false, -1},
      {"a" + half_gbk, "a\xB0\x61", kNoStart, false, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "length " << c.text.size() << " sub length "
                                      << c.sub.size() << " start " << c.start.value_or(-999));
    EXPECT_EQ(FindText(c.text, c.sub, c.start, c.ignore_case), c.want);
  }
}

TEST(FindTextFromEnd, Table) {
  const FindCase cases[] = {
      {"a.b.c", ".", kNoStart, false, 4},
      {"a.b.c", ".", 5, false, 4},
      // With a start the match must end before that position.
      {"a.b.c", ".", 4, false, 2},
      {"a.b.c", ".", 3, false, 2},
      {"a.b.c", ".", 2, false, -1},
      {"a.b.c", ".", 1, false, -1},
      {"a.b.c", ".", 0, false, -1},
      {"a.b.c", ".", -3, false, -1},
      {"a.b.c", ".", 100, false, 4},
      {"abab", "ab", 4, false, 1},
      {"abab", "ab", 5, false, 3},
      {"aaa", "aa", kNoStart, false, 2},  // overlapping matches count
      {"abc", "", kNoStart, false, 1},
      {"abc", "", 2, false, 1},
      {"abc", "", 1, false, -1},
      {"", "", kNoStart, false, -1},
      {"", ".", kNoStart, false, -1},
      {"x.X.", "x.", kNoStart, true, 3},
      {"x.X.", "x.", kNoStart, false, 1},
      {"a.\xB0.", ".", kNoStart, false, 2},
      {"\\\xDE\x5C", "\\", kNoStart, false, 1},
      {"a|\xB0|\xB0", "|", kNoStart, false, 2},
      {"ab\xB0", "\xB0", kNoStart, false, 3},
      {"ab\xB0\x41", "\xB0", 3, false, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << '"' << c.text << "\" / \"" << c.sub << "\" start " << c.start.value_or(-999));
    EXPECT_EQ(FindTextFromEnd(c.text, c.sub, c.start, c.ignore_case), c.want);
  }
}

TEST(FindTextFromEnd, ManyOverlappingMatchesInALongText) {
  const Text text(20000, 'a');
  EXPECT_EQ(FindTextFromEnd(text, Text(500, 'a')), 19501);
  EXPECT_EQ(FindTextFromEnd(text, Text(500, 'A'), 10001, true), 9501);
}

TEST(Cutting, CountsPlainBytes) {
  struct Case {
    const char* name;
    Text got, want;
  };
  const Case cases[] = {
      {"left 2", TextLeft("abc", 2), "ab"},
      {"left 0", TextLeft("abc", 0), ""},
      {"left -1", TextLeft("abc", -1), ""},
      {"left 5", TextLeft("abc", 5), "abc"},
      {"left of empty", TextLeft("", 3), ""},
      {"left halves a character", TextLeft("\xB0\xA1x", 1), "\xB0"},
      {"right 2", TextRight("abc", 2), "bc"},
      {"right 5", TextRight("abc", 5), "abc"},
      {"right 0", TextRight("abc", 0), ""},
      {"right -1", TextRight("abc", -1), ""},
      {"right INT_MAX", TextRight("abc", INT_MAX), "abc"},
      {"right halves a character", TextRight("x\xB0\xA1", 1), "\xA1"},
      {"middle 2,5", TextMiddle("abc", 2, 5), "bc"},
      {"middle 1,3", TextMiddle("abc", 1, 3), "abc"},
      {"middle 3,1", TextMiddle("abc", 3, 1), "c"},
      {"middle 4,1", TextMiddle("abc", 4, 1), ""},
      {"middle 0,2", TextMiddle("abc", 0, 2), ""},
      {"middle -1,2", TextMiddle("abc", -1, 2), ""},
      {"middle 2,0", TextMiddle("abc", 2, 0), ""},
      {"middle 2,-1", TextMiddle("abc", 2, -1), ""},
      {"middle 2,INT_MAX", TextMiddle("abc", 2, INT_MAX), "bc"},
      {"middle INT_MAX", TextMiddle("abc", INT_MAX, 1), ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.got, c.want);
  }
}

TEST(ReplaceText, Table) {
  struct Case {
    std::string_view text, sub;
    std::optional<std::string_view> with;
    std::optional<int> start, count;
    bool case_sensitive;
    std::string_view want;
  };
  const Case cases[] = {
      {"aaaa", "aa", "b", kNoStart, kNoStart, true, "bb"},
      {"aaa", "aa", "b", kNoStart, kNoStart, true, "ba"},
      {"abc", "", "x", kNoStart, kNoStart, true, "abc"},
      {"", "a", "x", kNoStart, kNoStart, true, ""},
      // The inserted text is not searched again.
      {"aa", "a", "aa", kNoStart, kNoStart, true, "aaaa"},
      {"abab", "ab", "ba", kNoStart, kNoStart, true, "baba"},
      {"a-b-c", "-", std::nullopt, kNoStart, kNoStart, true, "abc"},
      {"a-b-c", "-", "", kNoStart, kNoStart, true, "abc"},
      {"abab", "ab", "X", 2, kNoStart, true, "abX"},
      {"abab", "ab", "X", 0, kNoStart, true, "XX"},
      {"abab", "ab", "X", -5, kNoStart, true, "XX"},
      {"abab", "ab", "X", 4, kNoStart, true, "abab"},
      {"abab", "ab", "X", 5, kNoStart, true, "abab"},
      {"ababab", "ab", "X", kNoStart, 2, true, "XXab"},
      {"ababab", "ab", "X", kNoStart, 0, true, "ababab"},
      {"ababab", "ab", "X", kNoStart, -1, true, "XXX"},
      {"ababab", "ab", "X", 2, 1, true, "abXab"},
      {"aAa", "a", "b", kNoStart, kNoStart, false, "bbb"},
      {"aAa", "a", "b", kNoStart, kNoStart, true, "bAb"},
      {"\xB0\x41\x41", "A", "x", kNoStart, kNoStart, true, "\xB0\x41x"},
      {"\xDE\x5C\\", "\\", "/", kNoStart, kNoStart, true, "\xDE\x5C/"},
      {"\xB0\x41\x41", "A", "x", 2, kNoStart, true, "\xB0xx"},
      {"ab\xB0", "\xB0", "x", kNoStart, kNoStart, true, "abx"},
      // After a match the scan goes on right behind it, as at a character
      // start, even when the match ended inside a character.
      {"a\xB0\x61\xB0", "a\xB0", "X", kNoStart, kNoStart, true, "XX"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << '"' << c.text << "\" / \"" << c.sub << '"');
    EXPECT_EQ(ReplaceText(c.text, c.sub, c.with, c.start, c.count, c.case_sensitive), c.want);
    if (!c.start && !c.count && c.case_sensitive && c.with) {
      EXPECT_EQ(ReplaceAll(c.text, c.sub, *c.with), c.want);
    }
  }
}

TEST(ReplaceAll, ManyMatchesInALongText) {
  Text text, want;
  for (int i = 0; i < 10000; ++i) {
    text += "<br>\xB0<br>";  // the second '<' is a trail byte
    want += "\n\xB0<br>";
  }
  EXPECT_EQ(ReplaceAll(text, "<br>", "\n"), want);
}

TEST(SplitText, Table) {
  struct Case {
    std::string_view text;
    std::optional<std::string_view> separator;
    std::optional<int> max_count;
    TextArray want;
  };
  const Case cases[] = {
      {"", ",", kNoStart, {}},
      {"abc", ",", kNoStart, {"abc"}},
      {"a,,b,", ",", kNoStart, {"a", "", "b"}},
      {",a", ",", kNoStart, {"", "a"}},
      {",", ",", kNoStart, {""}},
      {"a,b", std::nullopt, kNoStart, {"a", "b"}},
      {"a,b", "", kNoStart, {"a,b"}},
      {"a,b,c", ",", 2, {"a", "b"}},
      {"a,b,c", ",", 3, {"a", "b", "c"}},
      {"a,b,c", ",", 9, {"a", "b", "c"}},
      {"a,b,", ",", 2, {"a", "b"}},
      {"a,b", ",", 0, {}},
      {"a,b", ",", -1, {}},
      {"aXbxc", "x", kNoStart, {"aXb", "c"}},  // letter case counts
      {",,,", ",,", kNoStart, {"", ","}},
      {"a},{b},{},{", "},{", kNoStart, {"a", "b", ""}},
      {"\xB0,a,b", ",", kNoStart, {"\xB0,a", "b"}},
      {"a|\xB0|b", "|", kNoStart, {"a", "\xB0|b"}},
      {"a,\xB0", ",", kNoStart, {"a", "\xB0"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << '"' << c.text << "\" at \"" << c.separator.value_or("(left out)") << '"');
    EXPECT_EQ(SplitText(c.text, c.separator, c.max_count), c.want);
  }
}

TEST(Spaces, TrimAndRemove) {
  struct Case {
    std::string_view text, trimmed, removed;
  };
  const Case cases[] = {
      {"  ab c  ", "ab c", "abc"},
      {"\tab\r\n", "\tab\r\n", "\tab\r\n"},
      {" \tab\t ", "\tab\t", "\tab\t"},
      {"\xA1\xA1 ab \xA1\xA1 \xA1\xA1", "ab", "ab"},
      {"a\xA1\xA1z", "a\xA1\xA1z", "az"},
      {"   ", "", ""},
      {"\xA1\xA1", "", ""},
      {"", "", ""},
      // 0xA1 0xA1 across two characters is not a space.
      {"\xB0\xA1\xA1\xB0", "\xB0\xA1\xA1\xB0", "\xB0\xA1\xA1\xB0"},
      {"ab\xB0\xA1\xA1\xA1", "ab\xB0\xA1", "ab\xB0\xA1"},
      // A space that is a trail byte stays.
      {"\xB0 ", "\xB0 ", "\xB0 "},
      {"\xB0  x", "\xB0  x", "\xB0 x"},
      // A lead byte at the end stays.
      {"ab \xA1", "ab \xA1", "ab\xA1"},
      {" \xA1", "\xA1", "\xA1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << '"' << c.text << '"');
    EXPECT_EQ(TrimBoth(c.text), c.trimmed);
    EXPECT_EQ(RemoveAllSpaces(c.text), c.removed);
  }
}

TEST(LetterCase, OnlyOneByteCharactersChange) {
  struct Case {
    std::string_view text, lower, upper;
  };
  const Case cases[] = {
      {"aBc09[`{@", "abc09[`{@", "ABC09[`{@"},
      {"x\xB0\x41y\xB0\x61z", "x\xB0\x41y\xB0\x61z", "X\xB0\x41Y\xB0\x61Z"},
      {"Ab\xB0", "ab\xB0", "AB\xB0"},
      {"\xB0\xB0z", "\xB0\xB0z", "\xB0\xB0Z"},
      {"", "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << '"' << c.text << '"');
    EXPECT_EQ(ToLower(c.text), c.lower);
    EXPECT_EQ(ToUpper(c.text), c.upper);
  }
}

TEST(ToInteger, Table) {
  struct Case {
    std::string_view text;
    std::int32_t want;
  };
  const Case cases[] = {
      {" -12ab", -12},
      {"\xA3\xB1\xA3\xB2", 12},  // full-width digits
      {"abc", 0},
      {"+7", 7},
      {"", 0},
      {"-", 0},
      {"--5", 0},
      {"+-5", 0},
      {"- 5", 0},
      {"\t\n\v\f\r 8", 8},
      {"0x1F", 0},
      {"007", 7},
      {"2147483647", INT_MAX},
      {"2147483648", INT_MIN},
      {"-2147483648", INT_MIN},
      {"4294967296", 0},
      {"4294967297", 1},
      {"99999999999", 1215752191},
      {"\xA3\xAD\xA3\xB5", -5},     // full-width minus and digit
      {"\xA3\xAB\xA3\xB5", 5},      // full-width plus
      {"\xA1\xA1\xA1\xA1+42", 42},  // full-width spaces
      {"12\xA3\xB3", 123},
      {"1\xB0\x32", 1},  // a digit as a trail byte ends the number
      {"\xA1\xAB+5", 0},
      {"\xA1\xEE+5", 0},
      {"\xA3", 0},
      {"7\xA3", 7},
      {"\xA3\xA0+1", 0},
      {"\xB0\xA3\xB1", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << '"' << c.text << '"');
    EXPECT_EQ(ToInteger(c.text), c.want);
  }
}

TEST(Numbers, HexAndCharacterCodes) {
  EXPECT_EQ(HexText(10), "A");
  EXPECT_EQ(HexText(255), "FF");
  EXPECT_EQ(HexText(0), "0");
  EXPECT_EQ(HexText(-1), "FFFFFFFF");
  EXPECT_EQ(HexText(INT_MIN), "80000000");
  EXPECT_EQ(HexText(INT_MAX), "7FFFFFFF");
  EXPECT_EQ(HexText(0x1234ABCD), "1234ABCD");

  EXPECT_EQ(CharFromCode(0), "");
  EXPECT_EQ(CharFromCode(65), "A");
  EXPECT_EQ(CharFromCode(0xB0), "\xB0");
  EXPECT_EQ(CharFromCode(0x141), "A");
  EXPECT_EQ(CharFromCode(256), "");

  struct Case {
    std::string_view text;
    std::optional<int> position;
    int want;
  };
  const Case codes[] = {
      {"\xB0", 1, -80},         {"\xFF", 1, -1}, {"\x80", 1, -128}, {"aA", 2, 65},
      {"aA", std::nullopt, 97}, {"aA", 0, 0},    {"aA", -1, 0},     {"aA", 3, 0},
      {"", std::nullopt, 0},
  };
  for (const auto& c : codes) {
    SCOPED_TRACE(::testing::Message() << '"' << c.text << "\" at " << c.position.value_or(-999));
    EXPECT_EQ(CharCode(c.text, c.position), c.want);
  }
}

TEST(Comparison, UnsignedBytesAndLength) {
  struct Case {
    std::string_view a, b;
    int sign;
  };
  const Case cases[] = {
      {"", "", 0},      {"a", "a", 0},
      {"a", "b", -1},   {"b", "a", 1},
      {"A", "a", -1},   {"ab", "abc", -1},
      {"abc", "ab", 1}, {"a", "", 1},
      {"\xB0", "a", 1}, {"\xB0\xA1", "\xB0\xA2", -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << '"' << c.a << "\" vs \"" << c.b << '"');
    const int r = CompareText(c.a, c.b);
    EXPECT_EQ((r > 0) - (r < 0), c.sign);
  }
  EXPECT_EQ(TextLength(""), 0);
  EXPECT_EQ(TextLength("\xB0\xA1x"), 3);
  EXPECT_EQ(BlankText(3), "   ");
  EXPECT_EQ(BlankText(0), "");
  EXPECT_EQ(BlankText(-4), "");
  EXPECT_EQ(Concat("a", Text(), std::string_view("\xB0\xA1"), "z"), "a\xB0\xA1z");
}

// Random texts over bytes that make trouble (letters of both cases, trail-byte
// look-alikes, lead bytes, spaces), short and long, against the plain rules.
TEST(Scanning, AgreesWithThePlainRules) {
  std::mt19937 rng(20150109);
  const std::string_view alphabet("aAb\\| \xB0\xA1\x80\xFF", 10);
  // Few bytes and long texts make many near-misses, which sends the search
  // to its linear fall-back.
  const std::string_view narrow("a\xB0");
  auto random_text = [&](std::size_t max_len, std::string_view bytes) {
    Text t(std::uniform_int_distribution<std::size_t>(0, max_len)(rng), 'a');
    for (char& ch : t) ch = bytes[rng() % bytes.size()];
    return t;
  };
  auto random_start = [&](std::size_t len) -> std::optional<int> {
    const int r = static_cast<int>(rng() % (len + 4)) - 2;
    return r == -2 ? std::nullopt : std::optional<int>(r);
  };
  for (int round = 0; round < 3000; ++round) {
    const bool near_misses = round % 50 == 0;
    const Text text = near_misses       ? random_text(8000, narrow)
                      : round % 10 == 0 ? random_text(400, alphabet)
                                        : random_text(24, alphabet);
    Text sub = random_text(4, alphabet);
    if ((near_misses || round % 3 == 0) &&
        !text.empty()) {  // a piece of the text, so that it often occurs
      const std::size_t at = rng() % text.size();
      sub = text.substr(at, near_misses ? 20 + rng() % 30 : 1 + rng() % 5);
    }
    const std::optional<int> start = random_start(text.size());
    const std::optional<int> count =
        rng() % 2 ? std::nullopt : std::optional<int>(static_cast<int>(rng() % 4));
    const bool flag = rng() % 2;
    SCOPED_TRACE(::testing::Message() << "round " << round);
    EXPECT_EQ(FindText(text, sub, start, flag), reference::FindText(text, sub, start, flag));
    EXPECT_EQ(FindTextFromEnd(text, sub, start, flag),
              reference::FindTextFromEnd(text, sub, start, flag));
    EXPECT_EQ(ReplaceText(text, sub, "xy", start, count, flag),
              reference::ReplaceText(text, sub, "xy", start, count, flag));
    EXPECT_EQ(SplitText(text, sub, count), reference::SplitText(text, sub, count));
  }
}

}  // namespace
}  // namespace orvanta
