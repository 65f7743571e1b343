// Filling the payment manager from a batch through the automation interfaces, exactly as
// an automation client fills it: NewPayment, the views, texts as BSTRs.
#pragma once

#include <cstddef>

#include "ordexa.h"
#include "tools/payfile/batch.h"

namespace ordexa::payfile {

// FillManager()
// Puts the settings through the manager's Setting view, then one NewPayment per payment
// with every property the batch gives. A failed call (only memory exhaustion makes one
// fail) throws std::runtime_error naming its HRESULT. Returns the number of payments.
// Example: FillManager(ReadBatchJson(json, "batch.json", parser), manager) == 12.
std::size_t FillManager(const Batch& batch, IPayManager& manager);

}  // namespace ordexa::payfile
