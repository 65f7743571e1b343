// Date texts of the batch file and of --now ("YYYY-MM-DD", "YYYY-MM-DDTHH:MM:SS", local
// time) to calendar fields and automation dates.
#pragma once

#include <string>
#include <string_view>

#include "oleauto.h"

namespace ordexa::payfile {

struct LocalDateParse {
  bool ok = false;
  SYSTEMTIME time;    // valid when ok (wDayOfWeek and wMilliseconds 0)
  std::string error;  // why the text was refused, when not ok
};

// ParseLocalDateTime()
// Reads "YYYY-MM-DDTHH:MM:SS" and, when `date_only_allowed`, also "YYYY-MM-DD" (midnight).
// Exactly these digits and separators; year 100 to 9999, month 1 to 12, the day within
// its month (29 February only in leap years), hour 0 to 23, minute and second 0 to 59.
// Example: ParseLocalDateTime("2024-02-29", true).time.wDay == 29.
LocalDateParse ParseLocalDateTime(std::string_view text, bool date_only_allowed);

// ToAutomationDate()
// The automation date of validated calendar fields (SystemTimeToVariantTime).
// Example: ToAutomationDate({2023, 3, 0, 15, 18, 0, 0, 0}) == 45000.75.
DATE ToAutomationDate(const SYSTEMTIME& time);

}  // namespace ordexa::payfile
