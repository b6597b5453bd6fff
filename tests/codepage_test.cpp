// The conversion primitives (the same expectations hold for the Windows calls
// and for the POSIX layer) and the conversions built on them.
#include "plugin/codepage.h"

#include <gtest/gtest.h>

#include <string>
#include <type_traits>

#include "platform/codepage.h"
#include "support/test_support.h"

namespace orvanta {
namespace {

using platform::kCodePageGbk;
using platform::kCodePageUtf8;
using test::Gbk;

constexpr int kTerminated = -1;

// Values in upper-case hexadecimal, space-separated, for readable failures.
template <typename Unit>
std::string HexOf(const Unit* data, std::size_t n, int digits) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out;
  for (std::size_t i = 0; i < n; ++i) {
    unsigned v = static_cast<std::make_unsigned_t<Unit>>(data[i]);
    if (i > 0) out += ' ';
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += kDigits[(v >> shift) & 15];
  }
  return out;
}

std::string Hex(std::string_view bytes) { return HexOf(bytes.data(), bytes.size(), 2); }
std::string Hex(const Bytes& bytes) { return HexOf(bytes.data(), bytes.size(), 2); }
std::string Hex(std::u16string_view units) { return HexOf(units.data(), units.size(), 4); }

constexpr bool IsLowSurrogate(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }
constexpr bool IsLowSurrogate(char) { return false; }

// Runs a conversion the way callers do: size query, then a buffer of exactly
// that size. Also checks that one unit less fails, except where that would
// split a surrogate pair: wine then writes the high surrogate alone.
template <typename Out, typename Convert>
Out SizedConversion(Convert convert) {
  int size = convert(nullptr, 0);
  if (size <= 0) return Out();
  Out out(static_cast<std::size_t>(size), 0);
  EXPECT_EQ(convert(out.data(), size), size);
  if (size > 1 && !IsLowSurrogate(out.back())) {
    Out small(static_cast<std::size_t>(size - 1), 0);
    EXPECT_EQ(convert(small.data(), size - 1), 0) << "a buffer one short must fail";
  }
  return out;
}

std::u16string ToWide(unsigned code_page, std::string_view in, int len) {
  return SizedConversion<std::u16string>([&](char16_t* dst, int dst_len) {
    return platform::MultiByteToWide(code_page, in.data(), len, dst, dst_len);
  });
}

std::string FromWide(unsigned code_page, bool composite, std::u16string_view in, int len) {
  return SizedConversion<std::string>([&](char* dst, int dst_len) {
    return platform::WideToMultiByte(code_page, composite, in.data(), len, dst, dst_len);
  });
}

struct ToWideCase {
  const char* name;
  unsigned code_page;
  std::string in;
  int len;  // kTerminated, or the explicit length (in.size() unless a case says)
  std::u16string units;
};

TEST(PlatformCodePage, MultiByteToWide) {
  const std::string gbk_a = "\xB0\xA1";  // 啊
  const ToWideCase cases[] = {
      {"ascii", kCodePageGbk, "ab", 2, u"ab"},
      {"gbk pair", kCodePageGbk, gbk_a, 2, u"\u554A"},
      {"terminated counts the zero", kCodePageGbk, "ab", kTerminated, std::u16string(u"ab\0", 3)},
      {"terminated empty", kCodePageGbk, "", kTerminated, std::u16string(1, u'\0')},
      {"euro sign byte", kCodePageGbk, "\x80", 1, u"\u20AC"},
      {"0xFF", kCodePageGbk, "\xFF", 1, u"\uF8F5"},
      {"trail byte backslash", kCodePageGbk, "\x81\x5C", 2, u"\u4E57"},
      {"trail byte bar", kCodePageGbk, "\x81\x7C", 2, u"\u4E85"},
      {"user-defined area", kCodePageGbk, "\xAA\xA1\xA1\x40", 4, u"\uE000\uE4C6"},
      {"empty cells of other rows", kCodePageGbk, "\xA2\xAB\xFE\xA0", 4, u"\uE766\uE864"},
      {"lone lead byte at the end", kCodePageGbk, "a\xB0", 2, u"a?"},
      {"lead byte before the terminator", kCodePageGbk, "a\xB0", kTerminated,
       std::u16string(u"a?\0", 3)},
      {"lead byte before a zero", kCodePageGbk, std::string("\xB0\0b", 3), 3,
       std::u16string(u"?\0b", 3)},
      {"lead byte and a bad trail are one character", kCodePageGbk, "\x81\x30\x81\x7F", 4, u"??"},
      {"utf-8 three bytes", kCodePageUtf8, "\xE4\xB8\xAD", 3, u"\u4E2D"},
      {"utf-8 four bytes", kCodePageUtf8, "\xF0\x9F\x98\x80", 4, u"\U0001F600"},
      {"utf-8 byte order mark kept", kCodePageUtf8, "\xEF\xBB\xBF\x61", 4, u"\uFEFFa"},
      {"utf-8 zero inside", kCodePageUtf8, std::string("a\0b", 3), 3, std::u16string(u"a\0b", 3)},
      {"utf-8 terminated", kCodePageUtf8, "\xE4\xB8\xAD", kTerminated,
       std::u16string(u"\u4E2D\0", 2)},
      {"stray continuation byte", kCodePageUtf8, "a\x80\x62", 3, u"a\uFFFDb"},
      {"bytes never used", kCodePageUtf8, "\xC0\xF5\xFF", 3, u"\uFFFD\uFFFD\uFFFD"},
      {"sequence cut at the end", kCodePageUtf8, "a\xE4\xB8", 3, u"a\uFFFD"},
      {"sequence cut by a letter", kCodePageUtf8, "\xE4\xB8\x61\x62", 4, u"\uFFFDab"},
      {"overlong form", kCodePageUtf8, "\xE0\x80\x80", 3, u"\uFFFD\uFFFD"},
      {"encoded surrogate", kCodePageUtf8, "\xED\xA0\x80", 3, u"\uFFFD\uFFFD"},
      {"above U+10FFFF", kCodePageUtf8, "\xF4\x90\x80\x80", 4, u"\uFFFD\uFFFD\uFFFD"},
  };
  for (const ToWideCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Hex(ToWide(c.code_page, c.in, c.len)), Hex(c.units));
  }
}

struct FromWideCase {
  const char* name;
  unsigned code_page;
  bool composite;
  std::u16string in;
  int len;
  std::string bytes;
};

TEST(PlatformCodePage, WideToMultiByte) {
  const FromWideCase cases[] = {
      {"gbk pair", kCodePageGbk, false, u"a\u554A", 2, "a\xB0\xA1"},
      {"terminated counts the zero", kCodePageGbk, false, u"ab", kTerminated,
       std::string("ab\0", 3)},
      {"euro sign", kCodePageGbk, false, u"\u20AC", 1, "\x80"},
      {"U+F8F5", kCodePageGbk, false, u"\uF8F5", 1, "\xFF"},
      {"private use", kCodePageGbk, false, u"\uE000\uE766", 2, "\xAA\xA1\xA2\xAB"},
      {"no gbk form", kCodePageGbk, false, u"\u0E01\uAC00\uFFFD", 3, "???"},
      {"surrogate pair", kCodePageGbk, false, u"\U0001F600", 2, "??"},
      {"lone surrogates", kCodePageGbk, false, u"\xD83D\x0061\xDE00", 3, "?a?"},
      {"zero inside", kCodePageGbk, false, std::u16string(u"a\0b", 3), 3, std::string("a\0b", 3)},
      {"utf-8 lengths", kCodePageUtf8, false, u"a\u07FF\u0800\u4E2D", 4,
       "a\xDF\xBF\xE0\xA0\x80\xE4\xB8\xAD"},
      {"utf-8 surrogate pair", kCodePageUtf8, false, u"\U0001F600", 2, "\xF0\x9F\x98\x80"},
      {"utf-8 lone surrogates", kCodePageUtf8, false, u"\xD83D\x0061\xDE00", 3,
       "\xEF\xBF\xBD\x61\xEF\xBF\xBD"},
      {"utf-8 terminated", kCodePageUtf8, false, u"\u4E2D", kTerminated,
       std::string("\xE4\xB8\xAD\0", 4)},
      {"utf-8 has nothing to precompose", kCodePageUtf8, true, u"a\u0300", 2, "a\xCC\x80"},
  };
  for (const FromWideCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Hex(FromWide(c.code_page, c.composite, c.in, c.len)), Hex(c.bytes));
  }
}

TEST(PlatformCodePage, CompositeCheckPrecomposesWhereGbkHasTheLetter) {
  struct Case {
    std::u16string decomposed;
    char16_t precomposed;
  };
  const Case composable[] = {
      {u"a\u0300", u'\u00E0'},      {u"a\u0301", u'\u00E1'},      {u"a\u0304", u'\u0101'},
      {u"a\u030C", u'\u01CE'},      {u"e\u0302", u'\u00EA'},      {u"i\u030C", u'\u01D0'},
      {u"o\u0301", u'\u00F3'},      {u"u\u0308", u'\u00FC'},      {u"\u00FC\u0304", u'\u01D6'},
      {u"\u00FC\u030C", u'\u01DA'}, {u"n\u0301", u'\u0144'},      {u"n\u030C", u'\u0148'},
      {u"\u0435\u0308", u'\u0451'}, {u"\u0418\u0306", u'\u0419'}, {u"\u304B\u3099", u'\u304C'},
      {u"\u30CF\u309A", u'\u30D1'}, {u"=\u0338", u'\u2260'},
  };
  for (const Case& c : composable) {
    SCOPED_TRACE(Hex(c.decomposed));
    std::string letter = FromWide(kCodePageGbk, false, std::u16string(1, c.precomposed), 1);
    ASSERT_EQ(letter.size(), 2u) << "the precomposed letter has a two-byte GBK form";
    EXPECT_EQ(Hex(FromWide(kCodePageGbk, true, c.decomposed, 2)), Hex(letter));
    EXPECT_EQ(FromWide(kCodePageGbk, false, c.decomposed, 2).back(), '?')
        << "without the check the mark stays apart";
  }

  const FromWideCase separate[] = {
      {"no such letter", kCodePageGbk, true, u"x\u0300", 2, "x?"},
      {"letter without a gbk form", kCodePageGbk, true, u"c\u0327", 2, "c?"},
      {"m with acute is private use in gbk", kCodePageGbk, true, u"m\u0301", 2, "m?"},
      {"one mark joins, the next stays", kCodePageGbk, true, u"u\u0308\u0304", 3, "\xA8\xB9?"},
      {"a lone mark", kCodePageGbk, true, u"\u0300a", 2, "?a"},
      {"in a longer text", kCodePageGbk, true, u"pi\u0304n", 4, "p\xA8\xA9n"},
  };
  for (const FromWideCase& c : separate) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Hex(FromWide(c.code_page, c.composite, c.in, c.len)), Hex(c.bytes));
  }
}

TEST(PlatformCodePage, BadArgumentsFail) {
  char16_t units[4];
  char bytes[4];
  EXPECT_EQ(platform::MultiByteToWide(kCodePageGbk, "ab", 0, units, 4), 0);
  EXPECT_EQ(platform::MultiByteToWide(kCodePageUtf8, "ab", 0, nullptr, 0), 0);
  EXPECT_EQ(platform::MultiByteToWide(kCodePageGbk, nullptr, 2, units, 4), 0);
  EXPECT_EQ(platform::MultiByteToWide(kCodePageGbk, "ab", 2, units, -1), 0);
  EXPECT_EQ(platform::WideToMultiByte(kCodePageGbk, false, u"ab", 0, bytes, 4), 0);
  EXPECT_EQ(platform::WideToMultiByte(kCodePageUtf8, false, nullptr, 2, bytes, 4), 0);
  // A too-small buffer fails even where the first characters would fit.
  EXPECT_EQ(platform::MultiByteToWide(kCodePageGbk, "\xB0\xA1\x61", 3, units, 1), 0);
  EXPECT_EQ(platform::MultiByteToWide(kCodePageUtf8, "\xE4\xB8\xAD\x61", 4, units, 1), 0);
  EXPECT_EQ(platform::WideToMultiByte(kCodePageGbk, false, u"\u554A", 1, bytes, 1), 0);
  EXPECT_EQ(platform::WideToMultiByte(kCodePageUtf8, false, u"\u554A", 1, bytes, 2), 0);
}

// Every two-byte cell of code page 936 is a character (private use for the
// user-defined ones) and comes back as the same two bytes, through UTF-16
// and through UTF-8.
TEST(PlatformCodePage, EveryGbkCellRoundTrips) {
  std::string bad;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      const char cell[] = {static_cast<char>(lead), static_cast<char>(trail)};
      char16_t unit = 0;
      char back[4] = {};
      bool ok = platform::MultiByteToWide(kCodePageGbk, cell, 2, &unit, 1) == 1 && unit != u'?' &&
                platform::WideToMultiByte(kCodePageGbk, false, &unit, 1, back, 4) == 2 &&
                back[0] == cell[0] && back[1] == cell[1] &&
                Utf8ToGbk(GbkToUtf8(std::string_view(cell, 2))) == std::string_view(cell, 2);
      if (!ok && bad.size() < 100) bad += Hex(std::string_view(cell, 2)) + ", ";
    }
  }
  EXPECT_EQ(bad, "");
}

TEST(PlatformCodePage, SystemPathRoundTrip) {
  const Text gbk = Gbk("设置/Orvanta（限量版）.exe");
  EXPECT_EQ(platform::SystemPathToGbk(platform::GbkToSystemPath(gbk)), gbk);
  EXPECT_EQ(platform::GbkToSystemPath("config/Orvanta.vt"), "config/Orvanta.vt");
  EXPECT_EQ(platform::GbkToSystemPath(""), "");
}

Bytes B(std::string_view bytes) { return Bytes(bytes.begin(), bytes.end()); }

TEST(CodePage, TextToUtf16BytesEndsWithOneZeroUnit) {
  const struct {
    std::string text;
    std::string utf16;
  } cases[] = {
      {"", std::string("\0\0", 2)},
      {"ab", std::string("a\0b\0\0\0", 6)},
      {"\xB0\xA1", std::string("\x4A\x55\0\0", 4)},
      {"a\xB0", std::string("a\0?\0\0\0", 6)},
      {std::string("a\0b", 3), std::string("a\0\0\0", 4)},  // a Text ends at a zero byte
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Hex(c.text));
    EXPECT_EQ(Hex(TextToUtf16Bytes(c.text)), Hex(c.utf16));
  }
}

TEST(CodePage, TextToUtf8BytesKeepsExactlyOneZeroByte) {
  const struct {
    std::string text;
    std::string utf8;
  } cases[] = {
      {"", std::string("\0", 1)},
      {"abc", std::string("abc\0", 4)},
      {Gbk("中"), std::string("\xE4\xB8\xAD\0", 4)},
      {Gbk("a中b"), std::string("a\xE4\xB8\xAD\x62\0", 6)},
      {"\x80\xFF", std::string("\xE2\x82\xAC\xEF\xA3\xB5\0", 7)},
      {"a\xB0", std::string("a?\0", 3)},  // a lone lead byte is the default character
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Hex(c.text));
    EXPECT_EQ(Hex(TextToUtf8Bytes(c.text)), Hex(c.utf8));
  }
}

TEST(CodePage, Utf8BytesToText) {
  const struct {
    const char* name;
    std::string utf8;
    Text gbk;
  } cases[] = {
      {"empty", "", ""},
      {"chinese", "\xE4\xB8\xAD\xE6\x96\x87", Gbk("中文")},
      {"ends at a zero byte", std::string("ab\0\xE4\xB8\xAD", 6), "ab"},
      {"decomposed accent precomposed", "pi\xCC\x84n", Gbk("pīn")},
      {"decomposed kana precomposed", "\xE3\x81\x8B\xE3\x82\x99", Gbk("が")},
      {"no gbk form", "\xE0\xB8\x81", "?"},
      {"invalid utf-8", "a\x80\x62\xC0\x80", "a?b??"},
      {"cut at the end", "a\xE4\xB8", "a?"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Hex(Utf8BytesToText(B(c.utf8))), Hex(c.gbk));
  }
}

TEST(CodePage, Utf16Steps) {
  EXPECT_EQ(Hex(Utf8BytesToUtf16Bytes(B("a\xE4\xB8\xAD"))), Hex(std::string("a\0\x2D\x4E", 4)))
      << "no terminator";
  EXPECT_TRUE(Utf8BytesToUtf16Bytes({}).empty());
  EXPECT_EQ(Hex(Utf8BytesToUtf16Bytes(B(std::string("a\0", 2)))), Hex(std::string("a\0\0\0", 4)));

  EXPECT_EQ(Utf16BytesToGbkText(B(std::string("a\0b", 3))), "a") << "odd last byte ignored";
  EXPECT_EQ(Utf16BytesToGbkText(B(std::string("a\0\0\0b\0", 6))), "a") << "ends at a zero unit";
  EXPECT_EQ(Utf16BytesToGbkText(B(std::string("e\0\x02\x03", 4))), Gbk("ê"));
  EXPECT_EQ(Utf16BytesToGbkText({}), "");

  EXPECT_EQ(Hex(DecodeToUtf16("\xE4\xB8\xAD")), Hex(std::string("\x2D\x4E\0\0", 4)));
  EXPECT_EQ(Hex(DecodeToUtf16(Gbk("中"), kCodePageGbk)), Hex(std::string("\x2D\x4E\0\0", 4)));
  EXPECT_EQ(Hex(DecodeToUtf16("")), Hex(std::string("\0\0", 2)));

  EXPECT_EQ(EncodeFromUtf16(B(std::string("\x2D\x4E\0\0", 4))), Gbk("中"));
  EXPECT_EQ(EncodeFromUtf16(B(std::string("\x2D\x4E\0\0", 4)), kCodePageUtf8), "\xE4\xB8\xAD");
  EXPECT_EQ(EncodeFromUtf16(B(std::string("a\0b\0", 4))), "ab") << "the end of the bytes ends it";
  EXPECT_EQ(EncodeFromUtf16(B(std::string("a\0\0\0b\0", 6))), "a");
  EXPECT_EQ(EncodeFromUtf16({}), "");
  EXPECT_EQ(EncodeFromUtf16(B(std::string("a\0\x01\x03", 4))), "a?")
      << "no precomposition outside Utf16BytesToGbkText";
}

TEST(CodePage, Utf8AndGbkTexts) {
  const struct {
    const char* name;
    std::string utf8;
    Text gbk;
  } round_trips[] = {
      {"empty", "", ""},
      {"ascii", "Hello, world! ~`|\\", "Hello, world! ~`|\\"},
      {"chinese and full-width", "中文，ＡＢＣ１２３　！", Gbk("中文，ＡＢＣ１２３　！")},
      {"trail bytes that look like ascii", "\xE4\xB9\x97\xE4\xBA\x85", "\x81\x5C\x81\x7C"},
      {"euro signs: one gbk byte, three utf-8", "€€€€€€", "\x80\x80\x80\x80\x80\x80"},
  };
  for (const auto& c : round_trips) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Hex(GbkToUtf8(c.gbk)), Hex(c.utf8));
    EXPECT_EQ(Hex(Utf8ToGbk(c.utf8)), Hex(c.gbk));
    EXPECT_EQ(Hex(GbkToUtf8(Utf8ToGbk(c.utf8))), Hex(c.utf8));
  }

  const struct {
    const char* name;
    std::string utf8;
    Text gbk;
  } one_way[] = {
      {"invalid utf-8 read as two characters", "\xC0\x80", "??"},
      {"decomposed accent stays apart", "a\xCC\x80", "a?"},
      {"ends at a zero byte", std::string("ab\0cd", 5), "ab"},
  };
  for (const auto& c : one_way) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Hex(Utf8ToGbk(c.utf8)), Hex(c.gbk));
  }
  EXPECT_EQ(GbkToUtf8("a\xB0"), "a?") << "lone lead byte at the end";
}

TEST(CodePage, LongTextsAreConvertedWhole) {
  std::string utf8;
  Text gbk;
  for (int i = 0; i < 20000; ++i) {
    utf8 += "a€中";
    gbk += "a\x80" + Gbk("中");
  }
  EXPECT_EQ(GbkToUtf8(gbk), utf8);
  EXPECT_EQ(Utf8ToGbk(utf8), gbk);
  EXPECT_EQ(Utf8BytesToText(B(utf8)), gbk);
  Bytes bytes = TextToUtf8Bytes(gbk);
  ASSERT_EQ(bytes.size(), utf8.size() + 1);
  EXPECT_EQ(bytes.back(), 0);
}

}  // namespace
}  // namespace orvanta
