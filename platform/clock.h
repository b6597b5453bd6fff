// The machine's local wall clock, read through the platform's own call.
#pragma once

namespace orvanta::platform {

struct LocalClock {
  int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// Now, in local time, whole seconds; the defaults if the clock cannot be read.
LocalClock ReadLocalClock();

}  // namespace orvanta::platform
