// Six-digit date text (YYMMDD) of the fixed-width records.
#pragma once

#include <cstring>
#include <string>

#include "format/record_output.h"
#include "oleauto.h"

namespace ordexa {

// FormatDateYYMMDD()
// "%02d%02d%02d" of (two-digit year, month, day). A date below 100.0 (never set) is
// replaced by the current local date (CurrentLocalTime). The year part is year - 1900
// below 2000, else year - 2000, so 2105 gives "105..." (seven characters). A date the
// platform cannot convert (after 9999) gives "-1901-1-1". Never fails.
// Example: FormatDateYYMMDD(45000.75) == "230315".
std::string FormatDateYYMMDD(DATE date);

// RecordDates: FormatDateYYMMDD for a writer that formats dates record after record.
// It gives the same texts and reads the clock as often (once for every date that is not
// set), but converts a date only when it differs from the one before, which in a payroll
// batch it rarely does. Holds no memory of its own.
// Example: RecordDates dates; dates.Format(45000.75).view() == "230315".
class RecordDates {
 public:
  ShortRecordText Format(DATE date);

 private:
  // The date (or the clock's reading, for a date not set) behind `text_`.
  struct Key {
    bool is_clock = false;
    DATE date = 0.0;
    SYSTEMTIME now{};
    bool operator==(const Key& other) const {
      return is_clock == other.is_clock && std::memcmp(&date, &other.date, sizeof date) == 0 &&
             std::memcmp(&now, &other.now, sizeof now) == 0;
    }
  };
  Key key_;
  bool has_text_ = false;
  ShortRecordText text_{};
};

}  // namespace ordexa
