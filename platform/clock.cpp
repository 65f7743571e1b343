// The clock of the component: the system's local time unless a test or the command-line
// tool has installed a clock of its own.
#include "platform/clock.h"

#include <atomic>
#include <mutex>
#include <utility>

namespace ordexa {
namespace {

struct InstalledClock {
  std::mutex mutex;
  Clock clock;
  // Whether `clock` holds a clock: the system clock is read without taking the mutex.
  std::atomic<bool> has_clock{false};
};

InstalledClock& TheInstalledClock() {
  static InstalledClock installed;
  return installed;
}

}  // namespace

SYSTEMTIME CurrentLocalTime() {
  InstalledClock& installed = TheInstalledClock();
  if (!installed.has_clock.load(std::memory_order_acquire)) return detail::SystemLocalTime();
  Clock clock;
  {
    std::lock_guard lock(installed.mutex);
    clock = installed.clock;
  }
  return clock ? clock() : detail::SystemLocalTime();
}

DATE CurrentLocalDate() {
  // The platform's conversion takes its calendar fields by non-const pointer.
  SYSTEMTIME now = CurrentLocalTime();
  DATE date = 0.0;
  if (!SystemTimeToVariantTime(&now, &date)) return 0.0;
  return date;
}

Clock SetClock(Clock clock) {
  InstalledClock& installed = TheInstalledClock();
  std::lock_guard lock(installed.mutex);
  installed.has_clock.store(static_cast<bool>(clock), std::memory_order_release);
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
