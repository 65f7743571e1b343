// The system clock on Linux: local time in the process time zone (TZ).
#include <ctime>

#include "platform/clock.h"

namespace ordexa::detail {

SYSTEMTIME SystemLocalTime() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  SYSTEMTIME st;
  if (now == static_cast<std::time_t>(-1) || localtime_r(&now, &local) == nullptr) return st;
  st.wYear = static_cast<WORD>(local.tm_year + 1900);
  st.wMonth = static_cast<WORD>(local.tm_mon + 1);
  st.wDayOfWeek = static_cast<WORD>(local.tm_wday);
  st.wDay = static_cast<WORD>(local.tm_mday);
  st.wHour = static_cast<WORD>(local.tm_hour);
  st.wMinute = static_cast<WORD>(local.tm_min);
  // A leap second is shown as the last ordinary second of its minute.
  st.wSecond = static_cast<WORD>(local.tm_sec > 59 ? 59 : local.tm_sec);
  return st;
}

}  // namespace ordexa::detail
