// The batch file: JSON with the settings and the payments, read into a payment manager
// through the automation interfaces, exactly as an automation client would fill it.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

#include <simdjson.h>

#include "ordexa.h"

namespace ordexa::payfile {

// A batch that cannot be read or is not a well-formed batch. The message names the file
// and the place of the problem: "batch.json: payments[3].Amount: "12,50" is not a decimal number".
class BatchError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// LoadBatchText()
// The bytes of the batch file, padded for the parser; "-" reads standard input. Throws
// BatchError "<name>: cannot be read: <reason>" when the file cannot be read.
// Example: LoadBatchText("batch.json").size() is the file's size.
simdjson::padded_string LoadBatchText(const std::string& path);

// ReadBatch()
// Fills `manager` from the batch `json`: the settings through its Setting view, then one
// NewPayment per element of "payments" with every given property put through the views
// (texts as BSTRs). Unknown or repeated keys, values of the wrong type, amounts and
// dates that do not convert, and a payment without PayType are refused with a
// BatchError naming `source_name` and the JSON path; the manager may then hold part of
// the batch. Returns the number of payments.
// Example: ReadBatch(json, "batch.json", manager) == 12 for a batch of twelve payments.
std::size_t ReadBatch(const simdjson::padded_string& json, std::string_view source_name, IPayManager& manager);

}  // namespace ordexa::payfile
