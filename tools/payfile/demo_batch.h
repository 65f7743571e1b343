// The built-in sample batches of `payfile demo`: one month's payroll of a small Swiss firm,
// with every kind of payment a Swiss payroll makes, for the old file types and for the
// 2019 ISO file, and the files written from them.
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

// Demo2019BatchJson()
// The same firm's December 2026 payroll as Swiss banks take it after the ISR slip: twelve
// payments dated 23 December 2026, salaries to Swiss IBANs, to a postal account and to a
// bank account by clearing number, a SEPA salary in EUR to a German IBAN, a wage
// garnishment to a postal account, two QR-bills (QR-IBAN and QR reference) and a tax bill
// with a creditor reference. Some receivers give their structured address (StreetName,
// BuildingNumber, PostCode, Town, Country), the others only Street and City, from which
// the 2019 writer works it out. The 2019 writer refuses none of it.
// Example: ReadBatchJson(padded Demo2019BatchJson(), "demo batch", parser).payments.size() == 12.
std::string_view Demo2019BatchJson();

// The pay period written into the 2019 ISO files of the demo.
inline constexpr std::string_view kDemo2019PayPeriod = "2026-12";

// The two 2019 ISO files of the demo, written from Demo2019BatchJson().
inline constexpr DemoFile kDemo2019Files[] = {
    {"salaries-2019-ch.xml", payISO2019, true},
    {"salaries-2019.xml", payISO2019, false},
};

}  // namespace ordexa::payfile
