#include "common/clock.h"

#include <gtest/gtest.h>

#include <ctime>
#include <tuple>

namespace orvanta {
namespace {

auto Key(const Time& t) { return std::tie(t.year, t.month, t.day, t.hour, t.minute, t.second); }

Time FromStdClock() {
  const std::time_t now = std::time(nullptr);
  const std::tm* tm = std::localtime(&now);
  Time t;
  t.year = tm->tm_year + 1900;
  t.month = tm->tm_mon + 1;
  t.day = tm->tm_mday;
  t.hour = tm->tm_hour;
  t.minute = tm->tm_min;
  t.second = tm->tm_sec;
  return t;
}

TEST(Clock, CurrentTimeIsTheLocalTime) {
  const Time before = FromStdClock();
  const Time now = CurrentTime();
  const Time after = FromStdClock();
  EXPECT_LE(Key(before), Key(now));
  EXPECT_LE(Key(now), Key(after));
  EXPECT_GE(now.month, 1);
  EXPECT_LE(now.month, 12);
  EXPECT_GE(now.day, 1);
  EXPECT_LE(now.day, 31);
}

TEST(Clock, DateTextHasNoPaddingAndNoTimeOfDay) {
  struct Case {
    Time t;
    Text want;
  };
  const std::string_view year = "\xC4\xEA", month = "\xD4\xC2", day = "\xC8\xD5";  // 年 月 日
  const Case cases[] = {
      {{2015, 1, 9, 23, 59, 58}, Concat("2015", year, "1", month, "9", day)},
      {{2024, 12, 31, 0, 0, 0}, Concat("2024", year, "12", month, "31", day)},
      {{999, 10, 1, 0, 0, 0}, Concat("999", year, "10", month, "1", day)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.t.year);
    EXPECT_EQ(DateText(c.t), c.want);
  }
}

}  // namespace
}  // namespace orvanta
