// The local clock and the date text shown to users.
#pragma once

#include "common/text.h"

namespace orvanta {

struct Time {
  int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

Time CurrentTime();           // local date and time, whole seconds
Text DateText(const Time& t); // "2015年1月9日": no zero padding, no time of day

}  // namespace orvanta
