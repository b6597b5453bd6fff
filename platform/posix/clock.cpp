#include "platform/clock.h"

#include <ctime>

namespace orvanta::platform {

LocalClock ReadLocalClock() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  if (now == static_cast<std::time_t>(-1) || !localtime_r(&now, &tm)) return LocalClock{};
  return LocalClock{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

}  // namespace orvanta::platform
