#include "common/clock.h"

#include <string>

#include "platform/clock.h"

namespace orvanta {

Time CurrentTime() {
  const platform::LocalClock now = platform::ReadLocalClock();
  Time t;
  t.year = now.year;
  t.month = now.month;
  t.day = now.day;
  t.hour = now.hour;
  t.minute = now.minute;
  t.second = now.second;
  return t;
}

Text DateText(const Time& t) {
  // "%d年%d月%d日" with the three characters in GBK.
  return Concat(std::to_string(t.year), "\xC4\xEA", std::to_string(t.month), "\xD4\xC2",
                std::to_string(t.day), "\xC8\xD5");
}

}  // namespace orvanta
