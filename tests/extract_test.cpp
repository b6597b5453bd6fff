#include "plugin/extract.h"

#include <gtest/gtest.h>

namespace orvanta {
namespace {

#define QUOTE_WORD "#\xD2\xFD\xBA\xC5"  // "#引号" in GBK

constexpr std::optional<int> kNoStart = std::nullopt;

TEST(ExtractBetween, Table) {
  struct Case {
    std::string_view text, left, right;
    std::optional<int> start;
    bool case_sensitive;
    std::string_view want;
  };
  const Case cases[] = {
      {"<a>x</a>", "<a>", "</a>", kNoStart, false, "x"},
      {"x</a>", "<a>", "</a>", kNoStart, false, ""},      // left missing
      {"</a><a>x", "<a>", "</a>", kNoStart, false, ""},   // right only before left
      {"<a>x", "<a>", "</a>", kNoStart, false, ""},       // right missing
      {"<a></a>", "<a>", "</a>", kNoStart, false, ""},    // markers touch
      {"a=1;b=2;a=3;", "a=", ";", kNoStart, false, "1"},  // first left, next right
      {"[1][2]", "[", "]", 0, false, "1"},
      {"[1][2]", "[", "]", 2, false, "2"},
      {"[1][2]", "[", "]", 4, false, "2"},
      {"[1][2]", "[", "]", 5, false, ""},
      {"[1][2]", "[", "]", -3, false, "1"},
      // An empty left marker is found at 1 whatever the start, while the
      // text from start on is not empty.
      {"abc;def;", "", ";", kNoStart, false, "abc"},
      {"abc;def;", "", ";", 6, false, "abc"},
      {"abc;", "", ";", 10, false, ""},
      {"abc", "a", "", kNoStart, false, ""},  // an empty right marker gives nothing
      {"abc", "", "", kNoStart, false, ""},
      {"", "", "", kNoStart, false, ""},
      {"abc<a>", "<a>", "</a>", kNoStart, false, ""},
      {"<A>x</A>", "<a>", "</a>", kNoStart, false, "x"},
      {"<A>x</A>", "<a>", "</a>", kNoStart, true, ""},
      {"<a>x</A></a>", "<a>", "</a>", kNoStart, true, "x</A>"},
      {"k=\"v\"", "k=" QUOTE_WORD, QUOTE_WORD, kNoStart, false, "v"},
      {"k=" QUOTE_WORD "v" QUOTE_WORD, "k=" QUOTE_WORD, QUOTE_WORD, kNoStart, false, ""},
      // Markers match only at character starts: the first '<' and the first
      // ';' here are trail bytes.
      {"\xB0<x>w;<x>v;", "<x>", ";", kNoStart, false, "v"},
      {"\xB0<x>w;<x>v;", "<x>", "v", kNoStart, false, ""},
      {"<x>\xB0;v;", "<x>", ";", kNoStart, false, "\xB0;v"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << '"' << c.text << "\" between \"" << c.left << "\" and \""
                                      << c.right << "\" start " << c.start.value_or(-999));
    EXPECT_EQ(ExtractBetween(c.text, c.left, c.right, c.start, c.case_sensitive), c.want);
  }
}

TEST(Fields, StringAndNumber) {
  struct Case {
    std::string_view json, key, string_value, number_value;
  };
  const Case cases[] = {
      {R"({"code":100000,"text":"hi"})", "text", "hi", ""},
      {R"({"code":100000,"text":"hi"})", "code", "", "100000"},
      {R"({"code": 5,"x":1})", "code", "", " 5"},            // spaces are kept
      {R"({"text": "hi","x":1})", "text", "", " \"hi\""},    // no space allowed before the quote
      {R"({"code":1,"x":{"code":"z"}})", "code", "z", "1"},  // the first quoted value wins
      {R"({"text":"","x":1})", "text", "", "\"\""},
      {R"({"Text":"hi","x":1})", "text", "hi", "\"hi\""},   // key case is ignored
      {R"({"t":"a\"b","x":1})", "t", "a\\", "\"a\\\"b\""},  // no escape is decoded
      {R"({"t":"a\nb\/c"})", "t", "a\\nb\\/c", ""},
      {R"({"a":{"n":7},"b":1})", "n", "", "7}"},  // runs past the brace
      {R"({"n":7})", "n", "", ""},                // no comma follows
      {R"({"url":"x"})", "missing", "", ""},
      {"", "text", "", ""},
      {R"({"text":"hi"})", "", "", ""},
      {"{\"\xC3\xFB\":\"\xB0\xA1\",\"x\":1}", "\xC3\xFB", "\xB0\xA1", "\"\xB0\xA1\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.json << " key " << c.key);
    EXPECT_EQ(StringField(c.json, c.key), c.string_value);
    EXPECT_EQ(NumberField(c.json, c.key), c.number_value);
  }
  // The key passes through the quote-word replacement as well.
  EXPECT_EQ(StringField(R"({"a"b":"v"})", "a" QUOTE_WORD "b"), "v");
}

TEST(TextBetween, Table) {
  struct Case {
    std::string_view text, left, right, want;
  };
  const Case cases[] = {
      {"<a>x</a>", "<a>", "</a>", "x"},
      {"<A>x</a>", "<a>", "</A>", "x"},  // case is always ignored
      {"x</a>", "<a>", "</a>", ""},
      {"x</a>", "<a very long left marker>", "</a>", ""},
      {"<a>x", "<a>", "</a>", ""},
      {"abc;d;", "", ";", "abc"},
      {"abc", "", "", ""},
      {"abc", "a", "", ""},
      {"", "", ";", ""},
      {"abc<a>", "<a>", "</a>", ""},
      {"k=\"v\"", "k=" QUOTE_WORD, QUOTE_WORD, ""},  // the quote word is literal here
      {"k=" QUOTE_WORD "v" QUOTE_WORD, "k=" QUOTE_WORD, QUOTE_WORD, "v"},
      {"[\"1\",\"nick\",0]", ",\"", "\",", "nick"},
      {"\xB0[a]x[b]", "[", "]", "b"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message()
                 << '"' << c.text << "\" between \"" << c.left << "\" and \"" << c.right << '"');
    EXPECT_EQ(TextBetween(c.text, c.left, c.right), c.want);
  }
}

TEST(SplitListItems, Table) {
  struct Case {
    std::string_view answer;
    TextArray want;
  };
  const Case cases[] = {
      {"", {}},
      {R"({"code":100000,"text":"hi"})", {R"({"code":100000,"text":"hi"})"}},
      {R"({"code":302000,"list":[{"a":1},{"a":2}]})",
       {R"({"code":302000,"list":[{"a":1)", R"("a":2}]})"}},
      {"a},{},{b", {"a", "", "b"}},
      {"a},{", {"a"}},
      {"},{a", {"", "a"}},
      {"\xB0},{a", {"\xB0},{a"}},  // the separator's '}' is a trail byte here
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    EXPECT_EQ(SplitListItems(c.answer), c.want);
  }
}

}  // namespace
}  // namespace orvanta
