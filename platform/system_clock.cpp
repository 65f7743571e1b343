// The system clock on Linux: local time in the process time zone (TZ), worked out once per
// second and thread.
#include <ctime>

#include "platform/clock.h"

namespace ordexa::detail {

namespace {

// The calendar fields of one second of the clock, with the time zone they were worked out
// in: a writer reads the clock for every record, and thousands of records share a second.
struct LocalSecond {
  std::time_t second = 0;
  bool known = false;
  // The zone as the last tzset() left it; a new zone gives other fields for the same second.
  long zone_offset = 0;
  int zone_daylight = 0;
  const char* zone_names[2] = {nullptr, nullptr};
  SYSTEMTIME local{};
};

thread_local LocalSecond last_second;

bool SameZone(const LocalSecond& cached) {
  return cached.zone_offset == ::timezone && cached.zone_daylight == ::daylight &&
         cached.zone_names[0] == ::tzname[0] && cached.zone_names[1] == ::tzname[1];
}

}  // namespace

SYSTEMTIME LocalTimeOfSecond(std::int64_t seconds_since_1970) {
  const auto now = static_cast<std::time_t>(seconds_since_1970);
  LocalSecond& cached = last_second;
  if (cached.known && cached.second == now && SameZone(cached)) return cached.local;
  std::tm local{};
  SYSTEMTIME st;
  if (localtime_r(&now, &local) == nullptr) return st;
  st.wYear = static_cast<WORD>(local.tm_year + 1900);
  st.wMonth = static_cast<WORD>(local.tm_mon + 1);
  st.wDayOfWeek = static_cast<WORD>(local.tm_wday);
  st.wDay = static_cast<WORD>(local.tm_mday);
  st.wHour = static_cast<WORD>(local.tm_hour);
  st.wMinute = static_cast<WORD>(local.tm_min);
  // A leap second is shown as the last ordinary second of its minute.
  st.wSecond = static_cast<WORD>(local.tm_sec > 59 ? 59 : local.tm_sec);
  // The zone is read after the conversion, which sets it up on its first use.
  cached.second = now;
  cached.known = true;
  cached.zone_offset = ::timezone;
  cached.zone_daylight = ::daylight;
  cached.zone_names[0] = ::tzname[0];
  cached.zone_names[1] = ::tzname[1];
  cached.local = st;
  return st;
}

SYSTEMTIME SystemLocalTime() {
  const std::time_t now = std::time(nullptr);
  if (now == static_cast<std::time_t>(-1)) return SYSTEMTIME{};
  return LocalTimeOfSecond(now);
}

}  // namespace ordexa::detail
