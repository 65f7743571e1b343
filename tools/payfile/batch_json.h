// The batch file: UTF-8 JSON with the settings and the payments, read into a plain Batch.
// Every value is checked as it is read; the first fault ends the reading with a message
// that names the file and the place.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include <simdjson.h>

#include "tools/payfile/batch.h"
#include "tools/payfile/batch_bytes.h"

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
BatchBytes LoadBatchText(const std::string& path);

// ReadBatchJson()
// The batch in `json`: one object with "settings" (optional) and "payments" (at least one
// payment), each payment with its PayType. A UTF-8 byte-order mark in front is skipped.
// Refused with a BatchError naming `source_name` and the JSON path: text that is not
// UTF-8 (with its byte offset), malformed JSON (with line and column), unknown or
// repeated keys, values of the wrong type, amounts and dates that do not convert, a
// payment without PayType, an empty payment list.
// The settings and each payment go to `sink` as soon as they are read, so a refused batch
// may have handed on its first payments. Returns the number of payments.
// The texts handed on view `parser`'s string buffer and `json`: keep both while they are
// used, and do not reuse the parser meanwhile.
// Example: ReadBatchJson(json, "batch.json", parser, sink) == 12 for twelve payments.
std::size_t ReadBatchJson(simdjson::padded_string_view json, std::string_view source_name,
                          simdjson::ondemand::parser& parser, BatchSink& sink);

// ReadBatchJson() on the loaded batch file: the same, and the text already read goes
// back to the system as the reading goes on (those bytes of `json` then read as zeros).
std::size_t ReadBatchJson(BatchBytes& json, std::string_view source_name, simdjson::ondemand::parser& parser,
                          BatchSink& sink);

// ReadBatchJson(): the same, collected into one Batch.
// Example: ReadBatchJson(json, "batch.json", parser).payments.size() == 12.
Batch ReadBatchJson(simdjson::padded_string_view json, std::string_view source_name,
                    simdjson::ondemand::parser& parser);

}  // namespace ordexa::payfile
