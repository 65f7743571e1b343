// Date texts of batches and of --now: the two forms, every range check, the automation date.
#include "tools/payfile/local_date.h"

#include <gtest/gtest.h>

namespace ordexa::payfile {
namespace {

TEST(ParseLocalDateTime, AcceptsOnlyRealCalendarDatesInTheGivenForms) {
  const struct {
    const char* text;
    bool date_only_allowed;
    const char* error;  // empty when the text is accepted
    WORD year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  } cases[] = {
      {"2024-02-29", true, "", 2024, 2, 29, 0, 0, 0},
      {"2000-02-29", true, "", 2000, 2, 29, 0, 0, 0},
      {"0100-01-01", true, "", 100, 1, 1, 0, 0, 0},
      {"9999-12-31T23:59:59", false, "", 9999, 12, 31, 23, 59, 59},
      {"2024-06-20T09:30:15", true, "", 2024, 6, 20, 9, 30, 15},
      {"2023-02-29", true, "has no day 29 in February 2023"},
      {"1900-02-29", true, "has no day 29 in February 1900"},
      {"2024-06-31", true, "has no day 31 in June 2024"},
      {"2024-06-00", true, "has no day 0 in June 2024"},
      {"2024-13-01", true, "has no month 13"},
      {"0099-12-31", true, "has a year before 100"},
      {"2024-06-20T24:00:00", true, "has no time of day 24:00:00"},
      {"2024-06-20T10:60:00", true, "has no time of day 10:60:00"},
      {"2024-06-20", false, "is not of the form YYYY-MM-DDTHH:MM:SS"},
      {"2024-06-20 10:00:00", true, "is not of the form YYYY-MM-DD or YYYY-MM-DDTHH:MM:SS"},
      {"2024-6-20", true, "is not of the form YYYY-MM-DD or YYYY-MM-DDTHH:MM:SS"},
      {"20.06.2024", true, "is not of the form YYYY-MM-DD or YYYY-MM-DDTHH:MM:SS"},
      {"2024-06-2x", true, "is not of the form YYYY-MM-DD or YYYY-MM-DDTHH:MM:SS"},
      {"", true, "is not of the form YYYY-MM-DD or YYYY-MM-DDTHH:MM:SS"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const LocalDateParse parse = ParseLocalDateTime(c.text, c.date_only_allowed);
    EXPECT_EQ(c.error, parse.error);
    EXPECT_EQ(c.error[0] == '\0', parse.ok);
    if (!parse.ok) continue;
    EXPECT_EQ(c.year, parse.time.wYear);
    EXPECT_EQ(c.month, parse.time.wMonth);
    EXPECT_EQ(c.day, parse.time.wDay);
    EXPECT_EQ(c.hour, parse.time.wHour);
    EXPECT_EQ(c.minute, parse.time.wMinute);
    EXPECT_EQ(c.second, parse.time.wSecond);
  }
}

TEST(ToAutomationDate, CountsDaysFromTheEndOf1899WithTheTimeAsFraction) {
  const struct {
    const char* text;
    DATE date;
  } cases[] = {
      {"1899-12-30", 0.0},
      {"2023-03-15T18:00:00", 45000.75},
      {"1900-04-09", 100.0},
      {"1899-12-29T06:00:00", -1.25},
      {"0100-01-01", -657434.0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.date, ToAutomationDate(ParseLocalDateTime(c.text, true).time));
  }
}

}  // namespace
}  // namespace ordexa::payfile
