// The system clock on Windows: GetLocalTime, the local time of the machine's time zone.
#include <windows.h>

#include "platform/clock.h"

namespace ordexa::detail {

SYSTEMTIME SystemLocalTime() {
  SYSTEMTIME st;
  ::GetLocalTime(&st);
  st.wMilliseconds = 0;
  return st;
}

}  // namespace ordexa::detail
