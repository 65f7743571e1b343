// The check pass over a batch for one file format: what the format will cut, shift or
// drop, and what the bank or the ISO schema will refuse, found before the file is written.
// It reads the batch as the component holds it (code page 1252 texts), so what it
// measures is what the writer writes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/pay_manager.h"

namespace ordexa::payfile {

struct CheckRequest {
  std::int32_t file_type = payDTA;  // payDTA, payEzag or payISO
  bool swiss = false;               // ISO: the Swiss flavour
  std::string_view pay_period;      // ISO: 1252 text
};

// One warning: the place in the batch ("payments[3].Amount"), the text (warnings.h), and
// how many further payments have the same finding on the same field.
struct BatchWarning {
  std::string place;
  std::string text;
  std::size_t more = 0;
};

// CheckBatch()
// The warnings for writing `batch` as `request` asks, in the order of the batch. A text
// cut by its field is reported once per field (the first payment, and how many more);
// the same finding on the same field of several payments likewise. Never fails.
// Example: an amount of 99999999999999.99 in a TA 827 payment gives "payments[0].Amount",
// "99999999999999.99 does not fit the DTA amount field (12 characters); written as ...".
std::vector<BatchWarning> CheckBatch(const PayBatch& batch, const CheckRequest& request);

// CheckBatch() with the settings given apart, in place of the batch's own: the check can
// then run beside a writer, which changes no payment but may change the settings (the
// ISO writer upper-cases the sender's name in the batch).
std::vector<BatchWarning> CheckBatch(const PayBatch& batch, const PaySettingView& settings,
                                     const CheckRequest& request);

// SettingsCopy: the settings' texts copied out of the batch, with a view onto the copy.
class SettingsCopy {
 public:
  explicit SettingsCopy(const PaySettingView& settings);
  SettingsCopy(const SettingsCopy&) = delete;
  SettingsCopy& operator=(const SettingsCopy&) = delete;

  const PaySettingView& view() const { return view_; }

 private:
  std::array<std::string, 11> texts_;
  PaySettingView view_;
};

// BatchWarningLine(): the warning as its one line: "batch.json: payments[3].Amount: ...",
// with " (also in 4 more payments)" when it repeats.
std::string BatchWarningLine(std::string_view source_name, const BatchWarning& warning);

}  // namespace ordexa::payfile
