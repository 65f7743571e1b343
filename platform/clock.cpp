// The clock of the component: the system's local time unless a test or the command-line
// tool has installed a clock of its own.
#include "platform/clock.h"

#include <ctime>
#include <mutex>
#include <utility>

namespace ordexa {
namespace {

struct InstalledClock {
  std::mutex mutex;
  Clock clock;
};

InstalledClock& TheInstalledClock() {
  static InstalledClock installed;
  return installed;
}

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

}  // namespace

SYSTEMTIME CurrentLocalTime() {
  Clock clock;
  {
    InstalledClock& installed = TheInstalledClock();
    std::lock_guard lock(installed.mutex);
    clock = installed.clock;
  }
  return clock ? clock() : SystemLocalTime();
}

DATE CurrentLocalDate() {
  const SYSTEMTIME now = CurrentLocalTime();
  DATE date = 0.0;
  if (!SystemTimeToVariantTime(&now, &date)) return 0.0;
  return date;
}

Clock SetClock(Clock clock) {
  InstalledClock& installed = TheInstalledClock();
  std::lock_guard lock(installed.mutex);
  return std::exchange(installed.clock, std::move(clock));
}

Clock FixedClock(SYSTEMTIME local_time) {
  local_time.wMilliseconds = 0;
  // The day of week follows from the date, whatever the caller put there.
  SYSTEMTIME day = local_time;
  day.wHour = day.wMinute = day.wSecond = 0;
  DATE date = 0.0;
  SYSTEMTIME calendar;
  if (SystemTimeToVariantTime(&day, &date) && VariantTimeToSystemTime(date, &calendar)) {
    local_time.wDayOfWeek = calendar.wDayOfWeek;
  }
  return [local_time] { return local_time; };
}

}  // namespace ordexa
