// The built-in sample batch of `payfile demo`: one month's payroll of a small Swiss firm,
// with every kind of payment a Swiss payroll makes, and the files written from it.
#pragma once

#include <cstdint>
#include <string_view>

#include "ordexa_enums.h"

namespace ordexa::payfile {

// DemoBatchJson()
// The sample batch in the batch-file format: twelve payments dated 25 June 2024, salaries
// to Swiss IBANs, a cross-border salary to a German IBAN with BIC, a wage garnishment to a
// postal account, a salary to a bank account by clearing number, and three ESR payments
// (pension fund, social insurance, withholding tax) with 27-digit reference numbers.
// Example: ReadBatchJson(padded DemoBatchJson(), "demo batch", parser).payments.size() == 12.
std::string_view DemoBatchJson();

// The pay period written into the ISO files of the demo.
inline constexpr std::string_view kDemoPayPeriod = "2024-06";

struct DemoFile {
  std::string_view name;
  std::int32_t file_type;
  bool swiss;
};

// The four files of the demo, in the order they are written.
inline constexpr DemoFile kDemoFiles[] = {
    {"salaries.dta", payDTA, false},
    {"salaries.ezag", payEzag, false},
    {"salaries-ch.xml", payISO, true},
    {"salaries-generic.xml", payISO, false},
};

}  // namespace ordexa::payfile
