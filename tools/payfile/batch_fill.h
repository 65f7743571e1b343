// Filling the payment manager's batch from a batch file: every key the file gives lands in
// its record field exactly as the property put of an automation client would leave it.
#pragma once

#include <cstddef>
#include <string>

#include "model/pay_manager.h"
#include "tools/payfile/batch.h"

namespace ordexa::payfile {

// ManagerFill: a BatchSink that puts the settings and each payment (as NewPayment and
// the property puts would) into the manager's batch. Texts reach code page 1252 as
// AnsiTextFromUtf8 gives them. Only the given keys are put, so a left-out key keeps the
// record's initial value. Throws std::bad_alloc when the batch cannot grow.
class ManagerFill final : public BatchSink {
 public:
  explicit ManagerFill(CPayManager& manager) : batch_(manager.batch()) {}

  void Settings(const BatchSettings& settings) override;
  void Payment(const BatchPayment& payment) override;

 private:
  void PutText(TextRef& field, const BatchText& utf8);
  void PutAddress(PayAddressRecord& record, const BatchAddress& address);

  PayBatch& batch_;
  std::string ansi_;  // the 1252 text of the field being put, its room reused
};

// FillManager()
// ManagerFill with a whole Batch. Returns the number of payments.
// Example: FillManager(ReadBatchJson(json, "batch.json", parser), manager) == 12.
std::size_t FillManager(const Batch& batch, CPayManager& manager);

}  // namespace ordexa::payfile
