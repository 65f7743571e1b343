// The table of refused batches (data/refused_batches.json), shared with the schema test:
// every mistake the reader refuses, with the start of its message.
#pragma once

#include <simdjson.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "tests/tools/payfile_run.h"

namespace ordexa::payfile_test {

struct RefusedBatch {
  std::string file;     // the exact bytes of the batch file
  std::string message;  // standard error begins with "batch.json: " and this
};

// The characters of a Latin-1 text as bytes (for files that are not UTF-8).
inline std::string Latin1Bytes(std::string_view utf8) {
  std::string bytes;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    if (lead >= 0xC0 && i + 1 < utf8.size()) {
      bytes += static_cast<char>(((lead & 0x1F) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
    } else {
      bytes += static_cast<char>(lead);
    }
  }
  return bytes;
}

inline std::vector<RefusedBatch> LoadRefusedBatches() {
  namespace ondemand = simdjson::ondemand;
  const simdjson::padded_string json = simdjson::padded_string::load(DataPath("refused_batches.json")).value();
  ondemand::parser parser;
  ondemand::document document = parser.iterate(json).value();
  std::vector<RefusedBatch> batches;
  // The array is held by name: a range over a temporary result would outlive it.
  ondemand::array cases = document["cases"].get_array().value();
  for (auto element : cases) {
    RefusedBatch batch;
    bool latin1 = false;
    ondemand::object fields = element.get_object().value();
    for (auto field : fields) {
      const std::string_view key = field.unescaped_key().value();
      ondemand::value value = field.value().value();
      if (key == "batch") {
        if (value.type().value() == ondemand::json_type::array) {
          batch.file = value.get_array().value().raw_json().value();
        } else {
          batch.file = value.get_object().value().raw_json().value();
        }
      } else if (key == "text") {
        batch.file = value.get_string().value();
      } else if (key == "latin1") {
        latin1 = value.get_bool().value();
      } else if (key == "message") {
        batch.message = value.get_string().value();
      }
    }
    if (latin1) batch.file = Latin1Bytes(batch.file);
    batches.push_back(std::move(batch));
  }
  if (batches.empty()) throw std::runtime_error("no refused batches");
  return batches;
}

}  // namespace ordexa::payfile_test
