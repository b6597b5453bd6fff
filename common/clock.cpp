#include "common/clock.h"

#include <string>

#include "platform/clock.h"

namespace orvanta {

Time CurrentTime() {
  const platform::LocalClock c = platform::ReadLocalClock();
  return Time{c.year, c.month, c.day, c.hour, c.minute, c.second};
}

Text DateText(const Time& t) {
  // "%d年%d月%d日" with the three characters in GBK.
  return Concat(std::to_string(t.year), "\xC4\xEA", std::to_string(t.month), "\xD4\xC2",
                std::to_string(t.day), "\xC8\xD5");
}

}  // namespace orvanta
