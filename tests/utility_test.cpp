// The work routines of the exports 去空格换行 and 时间格式化.
#include "plugin/utility.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace orvanta {
namespace {

using test::Gbk;

TEST(UtilityTest, RemovesSpacesAndLineBreaks) {
  struct Case {
    std::string in, out;
  };
  const Case cases[] = {
      {"a b\r\nc", "abc"},
      {"a\rb\nc", "a\rb\nc"},  // lone CR and LF stay
      {"x\\ry", "xy"},         // backslash-r, as escaped text writes a line break
      {"\\ r", ""},            // the space goes first, then backslash-r is found
      {"\r \n", ""},           // likewise CR LF
      {"a\\nb", "a\\nb"},
      {Gbk("甲　乙\t丙"), Gbk("甲　乙\t丙")},  // full-width space and tab stay
      // 0x95 0x5C is one character whose second byte is a backslash.
      {"\x95\\r", "\x95\\r"},
      {"", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(test::Utf8(c.in));
    EXPECT_EQ(RemoveSpacesAndLineBreaks(c.in), c.out);
  }
}

TEST(UtilityTest, SlashDateHasNoPadding) {
  EXPECT_EQ(SlashDate({2015, 1, 9, 23, 59, 59}), "2015/1/9");
  EXPECT_EQ(SlashDate({2015, 12, 31, 0, 0, 0}), "2015/12/31");
  EXPECT_EQ(SlashDate({2000, 10, 1, 12, 0, 0}), "2000/10/1");
}

TEST(UtilityTest, TodayIsTheClocksDate) {
  const Text before = SlashDate(CurrentTime());
  const Text today = TodaySlashDate();
  const Text after = SlashDate(CurrentTime());
  EXPECT_TRUE(today == before || today == after) << today;
}

}  // namespace
}  // namespace orvanta
