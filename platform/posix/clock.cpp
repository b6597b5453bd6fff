#include "platform/clock.h"

#include <ctime>

namespace orvanta::platform {

LocalClock ReadLocalClock() {
  LocalClock out;
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  if (now == static_cast<std::time_t>(-1) || !localtime_r(&now, &tm)) return out;
  out.year = tm.tm_year + 1900;
  out.month = tm.tm_mon + 1;
  out.day = tm.tm_mday;
  out.hour = tm.tm_hour;
  out.minute = tm.tm_min;
  out.second = tm.tm_sec;
  return out;
}

}  // namespace orvanta::platform
