// The check of a batch for the 2019 ISO file as the tool reports it: every refusal, cut
// and note the 2019 writer finds, one warning each at its place in the batch file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "iso2019/iso2019_writer.h"
#include "tools/payfile/batch_check.h"

namespace ordexa::payfile {

struct Iso2019Check {
  std::vector<BatchWarning> warnings;  // one per finding, in the writer's order, never grouped
  std::size_t refusals = 0;            // how many of them refuse the batch
};

// Iso2019FindingPlace()
// Where a finding is, spelled as the batch file's keys: a payment's key and address key,
// a settings key, "--period" for the pay period, "payments" for the batch as a whole.
// Example: payment 3, "BankDst", "Account" gives "payments[3].BankDst.Account";
// kNoPayment, "Sender", "Name1" gives "settings.Sender.Name1".
std::string Iso2019FindingPlace(const Iso2019Finding& finding);

// CheckIso2019()
// The findings of CheckIso2019Batch for `batch` (pay period as 1252 text, day of writing
// from the clock) as warnings; a refusal's text says that the writer refuses the batch.
// Throws only std::bad_alloc.
// Example: a payment without receiver name gives one warning at "payments[0].Receiver.Name1"
// and refusals == 1.
Iso2019Check CheckIso2019(const PayBatch& batch, std::string_view pay_period, bool swiss);

}  // namespace ordexa::payfile
