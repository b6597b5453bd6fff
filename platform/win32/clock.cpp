#include "platform/clock.h"

#include <windows.h>

namespace orvanta::platform {

LocalClock ReadLocalClock() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  LocalClock out;
  out.year = st.wYear;
  out.month = st.wMonth;
  out.day = st.wDay;
  out.hour = st.wHour;
  out.minute = st.wMinute;
  out.second = st.wSecond;
  return out;
}

}  // namespace orvanta::platform
