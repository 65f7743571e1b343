// Inspecting a payment file: recognise its format from the content, list its records
// field by field and check them.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

#include "tools/inspect/inspection.h"

namespace ordexa::inspect {

// The file cannot be inspected at all: not recognised, or a schema that cannot be loaded.
class InspectError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct InspectOptions {
  std::string schema_path;  // ISO: validate against this XML schema; empty: no schema check
};

// DetectFormat()
// The format by the content: XML whose root element is in a pain.001.001.03 namespace
// (either flavour) or in the pain.001.001.09 namespace (kIso2019); 128-character segments beginning "01" with a DTA transaction type;
// 700-character lines beginning "546" or "036" with an EZAG record type. kUnknown for
// anything else.
// Example: DetectFormat("<?xml ...><Document xmlns=\"urn:iso:std:iso:20022:tech:xsd:pain.001.001.03\">") == kIso.
FileFormat DetectFormat(std::string_view content);

// InspectContent()
// Lists and checks `content`; `file_name` names the file in every problem line. Each block
// goes to `block_sink` as it is read, or into the result's blocks without one. Raises
// InspectError when the format is not recognised or the schema cannot be loaded.
Inspection InspectContent(std::string_view content, const std::string& file_name, const InspectOptions& options,
                          BlockSink block_sink = {});

// The readers of the formats, for InspectContent.
void InspectDta(std::string_view content, Inspection& inspection);
void InspectEzag(std::string_view content, Inspection& inspection);
void InspectIso(std::string_view content, const InspectOptions& options, Inspection& inspection);
void InspectIso2019(std::string_view content, const InspectOptions& options, Inspection& inspection);

}  // namespace ordexa::inspect
