// The check pass of the 2019 ISO writer: every payment resolved once, the batch's own
// limits, and the payment groups of the document with their counts and control sums.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "iso2019/iso2019_payment.h"
#include "oleauto.h"
#include "records/records.h"

namespace ordexa {

// A control sum: the exact sum of amounts in ten-thousandths, as whole units and a
// fraction, so no number of payments can overflow it.
struct Iso2019ControlSum {
  std::uint64_t units = 0;
  std::uint32_t fraction = 0;  // 0 to 9999

  void Add(std::int64_t amount);
  // Format(): with exactly `decimals` decimals (0 to 4). Example: 1234.5 with 2: "1234.50".
  std::string Format(int decimals) const;
};

// One PmtInf: the payments that share payment method, execution day, currency, SEPA or
// not, salary or not, charges and debtor account and bank.
struct Iso2019Group {
  std::string key;
  std::uint32_t count = 0;
  Iso2019ControlSum sum;
  Iso2019Transaction first;  // the group's shared fields are its first payment's
};

struct Iso2019Plan {
  Iso2019Batch batch;
  SYSTEMTIME now{};         // the time of writing
  std::string sender_name;  // InitgPty/Nm and Dbtr/Nm, document text
  std::string period;       // the pay period as the end-to-end ids carry it
  std::vector<Iso2019Group> groups;
  std::vector<std::uint32_t> group_of;  // each payment's group
  Iso2019ControlSum total;
  int total_decimals = 2;   // the most decimals of any group's currency
};

// PlanIso2019File()
// Checks the whole batch (with `settings`) as of the local time `now` and, unless
// something is refused, lays out its groups. Findings go to `findings`; without a list
// the check stops at the first refusal. Returns whether the batch can be written.
// Throws only std::bad_alloc.
bool PlanIso2019File(const PayBatch& batch, const PaySettingView& settings, std::string_view pay_period, bool swiss,
                     const SYSTEMTIME& now, Iso2019Plan& plan, Iso2019Findings& findings);

// Iso2019PeriodForIds()
// The pay period as end-to-end ids carry it: the Swiss replacements, only identifier
// characters, "//" reduced to "/", no blank or "/" at either end.
// Example: Iso2019PeriodForIds(" Lohn 12/2026 \x96 Dez//") == "Lohn 12/2026 - Dez".
std::string Iso2019PeriodForIds(std::string_view pay_period);

// Iso2019EndToEndId(): "P-N" for the payment number N (from 1), P cut from its end so the
// id fits 35 characters and trimmed again; just N when P is empty.
// Example: Iso2019EndToEndId("2026-12", 7) == "2026-12-7".
std::string Iso2019EndToEndId(std::string_view period, std::size_t number);
// Iso2019EndToEndIdInto(): the same into `out`, room for kIso2019IdLength characters;
// returns the end of the id.
inline constexpr std::size_t kIso2019IdLength = 35;
char* Iso2019EndToEndIdInto(char* out, std::string_view period, std::size_t number);

}  // namespace ordexa
