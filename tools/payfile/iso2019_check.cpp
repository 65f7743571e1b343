// The 2019 writer's findings turned into the tool's warnings.
#include "tools/payfile/iso2019_check.h"

#include <algorithm>
#include <iterator>

#include "tools/payfile/batch.h"
#include "tools/payfile/warnings.h"

namespace ordexa::payfile {

std::string Iso2019FindingPlace(const Iso2019Finding& finding) {
  if (finding.payment != Iso2019Finding::kNoPayment) {
    if (finding.key.empty()) return "payments[" + std::to_string(finding.payment) + "]";
    return PaymentPlace(finding.payment, finding.key, finding.subkey);
  }
  if (finding.key.empty()) return std::string(kPaymentsPlace);
  if (std::find(std::begin(kSettingKeys), std::end(kSettingKeys), finding.key) != std::end(kSettingKeys)) {
    return SettingPlace(finding.key, finding.subkey);
  }
  // Outside the payments and the settings only the pay period, given on the command line.
  return std::string(kPeriodPlace);
}

Iso2019Check CheckIso2019(const PayBatch& batch, std::string_view pay_period, bool swiss) {
  Iso2019Check check;
  for (const Iso2019Finding& finding : CheckIso2019Batch(batch, pay_period, swiss)) {
    const bool refusal = finding.kind == Iso2019FindingKind::kRefusal;
    check.refusals += refusal ? 1 : 0;
    check.warnings.push_back(
        {Iso2019FindingPlace(finding), refusal ? Iso2019Refusal(finding.text) : finding.text, 0});
  }
  return check;
}

}  // namespace ordexa::payfile
