// The current local date and time, read through one replaceable clock function so that
// tests and the command-line tool can fix it.
#pragma once

#include <cstdint>
#include <functional>

#include "oleauto.h"

namespace ordexa {

using Clock = std::function<SYSTEMTIME()>;

// CurrentLocalTime()
// GetLocalTime() in whole seconds (wMilliseconds 0): the installed clock, or the system
// clock in the process time zone (TZ) when none is installed. wDayOfWeek is filled.
SYSTEMTIME CurrentLocalTime();

// CurrentLocalDate(): CurrentLocalTime() as an automation date.
DATE CurrentLocalDate();

// SetClock(): installs a clock (an empty function restores the system clock) and returns
// the one it replaces.
Clock SetClock(Clock clock);

// FixedClock(): a clock that always answers the given local time.
Clock FixedClock(SYSTEMTIME local_time);

namespace detail {
// SystemLocalTime(): the system's local time in whole seconds (GetLocalTime on Windows, the
// process time zone elsewhere); all fields 0 when the clock cannot be read.
SYSTEMTIME SystemLocalTime();

#ifndef _WIN32
// LocalTimeOfSecond(): the local time of a second of the system clock (seconds since 1970,
// UTC) in the process time zone; all fields 0 when it cannot be converted. The fields of
// the last second converted on the thread are kept and given again while neither the
// second nor the zone (as tzset() sets it) changes.
// Example: with TZ=UTC0, LocalTimeOfSecond(86400) is 2 January 1970, 00:00:00.
SYSTEMTIME LocalTimeOfSecond(std::int64_t seconds_since_1970);
#endif
}  // namespace detail

// ScopedClock: installs a clock for its lifetime (tests, the CLI's --now).
class ScopedClock {
 public:
  explicit ScopedClock(Clock clock) : previous_(SetClock(std::move(clock))) {}
  ~ScopedClock() { SetClock(std::move(previous_)); }
  ScopedClock(const ScopedClock&) = delete;
  ScopedClock& operator=(const ScopedClock&) = delete;

 private:
  Clock previous_;
};

}  // namespace ordexa
