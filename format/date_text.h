// Six-digit date text (YYMMDD) of the fixed-width records.
#pragma once

#include <string>

#include "oleauto.h"

namespace ordexa {

// FormatDateYYMMDD()
// "%02d%02d%02d" of (two-digit year, month, day). A date below 100.0 (never set) is
// replaced by the current local date (CurrentLocalTime). The year part is year - 1900
// below 2000, else year - 2000, so 2105 gives "105..." (seven characters). A date the
// platform cannot convert (after 9999) gives "-1901-1-1". Never fails.
// Example: FormatDateYYMMDD(45000.75) == "230315".
std::string FormatDateYYMMDD(DATE date);

}  // namespace ordexa
