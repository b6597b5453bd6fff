#include "platform/clock.h"

#include <windows.h>

namespace orvanta::platform {

LocalClock ReadLocalClock() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return LocalClock{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

}  // namespace orvanta::platform
