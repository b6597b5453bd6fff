#include "plugin/urlcode.h"

#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace orvanta {
namespace {

using test::Gbk;

std::string Percent(unsigned char b) {
  static const char kDigits[] = "0123456789ABCDEF";
  return {'%', kDigits[b >> 4], kDigits[b & 15]};
}

struct Case {
  const char* name;
  Text in;
  Text out;
};

TEST(EncodeSearchKeyword, PunctuationAndLineBreaksAreEscapedOneByOne) {
  const std::string punctuation = "`~!@#$%^&*()-_=+[{]};:'\\|,<.>/?\"";
  ASSERT_EQ(punctuation.size(), 32u);
  for (char c : punctuation + "\t\r\n") {
    SCOPED_TRACE(Percent(static_cast<unsigned char>(c)));
    EXPECT_EQ(EncodeSearchKeyword(std::string(1, c)), Percent(static_cast<unsigned char>(c)));
  }
  // Every other ASCII byte stays, control characters included.
  for (int b = 1; b < 0x80; ++b) {
    char c = static_cast<char>(b);
    if ((punctuation + "\t\r\n").find(c) != std::string::npos) continue;
    SCOPED_TRACE(b);
    EXPECT_EQ(EncodeSearchKeyword(std::string(1, c)), std::string(1, c));
  }
}

TEST(EncodeSearchKeyword, Texts) {
  const Case cases[] = {
      {"empty", "", ""},
      {"letters, digits and spaces stay", "Jay Chou 2003", "Jay Chou 2003"},
      {"percent sign", "100%", "100%25"},
      {"line breaks and tab", "a\tb\r\nc", "a%09b%0D%0Ac"},
      {"chinese as utf-8", Gbk("七里香"), "%E4%B8%83%E9%87%8C%E9%A6%99"},
      {"mixed", Gbk("周杰伦 - 晴天"), "%E5%91%A8%E6%9D%B0%E4%BC%A6 %2D %E6%99%B4%E5%A4%A9"},
      {"trail bytes that look like punctuation", "\x81\x5C\x81\x7C", "%E4%B9%97%E4%BA%85"},
      {"full-width space", Gbk("　"), "%E3%80%80"},
      {"a byte above 0x7F always takes the next one", "\x80\x41", "%E2%82%AC%41"},
      {"lone lead byte at the end", "a\xB0", "a%3F"},
      {"text ends at a zero byte", std::string("a\0b", 3), "a"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(EncodeSearchKeyword(c.in), c.out);
  }
}

TEST(UrlEncode, Options) {
  const struct {
    const char* name;
    Text in;
    bool keep_plain, to_utf8;
    Text out;
  } cases[] = {
      {"empty", "", false, false, ""},
      {"empty, both options", "", true, true, ""},
      {"every byte by default", "abc", false, false, "%61%62%63"},
      {"digits too", "09", false, true, "%30%39"},
      {"plain set kept", "Az09-.", true, true, "Az09-."},
      {"the rest escaped", "_~/ +%", true, true, "%5F%7E%2F%20%2B%25"},
      {"gbk bytes", Gbk("中"), false, false, "%D6%D0"},
      {"gbk bytes, plain kept", Gbk("中a"), true, false, "%D6%D0a"},
      {"utf-8 bytes", Gbk("中a"), false, true, "%E4%B8%AD%61"},
      {"utf-8 bytes, plain kept", Gbk("你好, a.b"), true, true, "%E4%BD%A0%E5%A5%BD%2C%20a.b"},
      {"control and high bytes", "\x01\x7F\xFF", false, false, "%01%7F%FF"},
      {"text ends at a zero byte", std::string("a\0b", 3), true, false, "a"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(UrlEncode(c.in, c.keep_plain, c.to_utf8), c.out);
  }
  EXPECT_EQ(UrlEncode("a b"), "%61%20%62") << "options left out are false";
}

TEST(UrlDecode, Escapes) {
  const Case cases[] = {
      {"empty", "", ""},
      {"no escapes, plus kept", "a+b c", "a+b c"},
      {"upper case", "%41%4A%2F", "AJ/"},
      {"lower case", "%4a%2f%e4%b8%ad", "J/\xE4\xB8\xAD"},
      {"escape of zero dropped", "a%00b", "ab"},
      {"percent at the end adds nothing", "ab%", "ab"},
      {"one digit at the end counts as high digit", "a%4", "a@"},
      {"zero digit at the end", "a%0", "a"},
      {"bad digits still give a byte", "%G1", "\xE1"},  // -2 * 16 + 1, modulo 256
      {"bad low digit", "%4Z", "\x3E"},                 // 4 * 16 - 2
      {"two bad digits", "%zz", "\xDE"},                // -2 * 16 - 2
      {"escape takes three bytes", "%%41", "\xE4\x31"},
      {"gbk passes unchanged", Gbk("短网址 %41"), Gbk("短网址 A")},
      {"text ends at a zero byte", std::string("a%41\0%42", 8), "aA"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(UrlDecode(c.in), c.out);
  }
}

TEST(UrlDecode, FromUtf8) {
  const Case cases[] = {
      {"chinese", "%E4%B8%AD%E6%96%87", Gbk("中文")},
      {"address", "http%3A%2F%2Fx.cn%2F%E4%B8%AD", Gbk("http://x.cn/中")},
      {"invalid utf-8", "%FFa", "?a"},
      {"empty", "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(UrlDecode(c.in, true), c.out);
  }
}

TEST(UrlCode, EncodingsDecodeBack) {
  const Text texts[] = {"", "abc", Gbk("今天天气怎么样？ 100% ok"), "\x81\x5C|\\", Gbk("ü ē")};
  for (const Text& text : texts) {
    SCOPED_TRACE(text);
    EXPECT_EQ(UrlDecode(UrlEncode(text)), text);
    EXPECT_EQ(UrlDecode(UrlEncode(text, true, false)), text);
    EXPECT_EQ(UrlDecode(UrlEncode(text, true, true), true), text);
    EXPECT_EQ(UrlDecode(EncodeSearchKeyword(text), true), text);
  }
}

}  // namespace
}  // namespace orvanta
