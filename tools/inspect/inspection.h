// What an inspection of a payment file finds: the listing (blocks of named fields at
// their positions) and the problems, each tied to a record and field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ordexa::inspect {

enum class FileFormat { kUnknown, kDta, kEzag, kIso, kIso2019 };

// FormatName(): "DTA", "EZAG", "ISO 20022 pain.001.001.03", "ISO 20022 pain.001.001.09" or "unknown".
const char* FormatName(FileFormat format);

// One field as found in the file. Fixed-width fields have a position and width (counted
// from 1 within their segment or record); XML fields have a line instead.
struct Field {
  std::string name;
  int pos = 0;
  int width = 0;
  int line = 0;
  std::string value;  // UTF-8
  std::string path;   // XML: the element path within its block, such as "Amt/InstdAmt"
};

// A segment of a DTA record, the header or body of an EZAG record, a group of XML elements.
struct Part {
  std::string label;  // "segment 01", "header", "" when the block has only one part
  std::vector<Field> fields;
};

// One record (DTA, EZAG) or one block of the document (ISO).
struct Block {
  std::string title;       // "record 3 (TA 827)", "transaction 2"
  std::size_t offset = 0;  // byte offset of the record in the file (fixed-width formats)
  int line = 0;            // first line (EZAG, ISO)
  std::vector<Part> parts;
};

// Where a problem was found: the block, its part and field as far as known.
struct Location {
  std::string block;  // empty: the file as a whole
  std::string part;
  std::string field;
  int pos = 0;
  int width = 0;
  int line = 0;
  bool line_leads = false;  // written line first: "line 40, PmtInf 1, CdtTrfTxInf 2, CdtrAcct/Id/IBAN"
};

// InBlock(): a location naming a block (and part) without a field.
inline Location InBlock(std::string block, std::string part = {}) {
  Location where;
  where.block = std::move(block);
  where.part = std::move(part);
  return where;
}

struct Finding {
  Location where;
  std::string what;
};

struct Inspection;

// Receives each block as soon as it is read, so that a listing of a large file need not
// be held whole; without one, the blocks are collected in Inspection::blocks.
using BlockSink = std::function<void(const Inspection&, const Block&)>;

struct Inspection {
  std::string file_name;  // as the user named it, used at the start of each problem line
  FileFormat format = FileFormat::kUnknown;
  std::string flavour;  // ISO: the namespace of the root element; 2019: "Swiss" or "generic" and how it was told
  std::size_t size = 0;
  std::vector<Block> blocks;  // empty when a BlockSink took them
  std::size_t entries = 0;    // records (DTA, EZAG) or transactions (ISO) read
  BlockSink block_sink;
  std::vector<Finding> problems;
  std::vector<std::string> notes;  // facts that are no fault, such as payments without records

  bool Passes() const { return problems.empty(); }
  void AddBlock(Block block, bool entry = true) {
    entries += entry;
    if (block_sink) {
      block_sink(*this, block);
    } else {
      blocks.push_back(std::move(block));
    }
  }
  void Problem(Location where, std::string what) { problems.push_back({std::move(where), std::move(what)}); }
};

// WhereText()
// The WHERE of a problem line: block, part, then the field with its position and width
// (or line). Example: "record 3 (TA 827) segment 01, amount (pos 103, 12)"; the file as a
// whole is "file". A location whose line leads: "line 40, PmtInf 1, CdtTrfTxInf 2, CdtrAcct/Id/IBAN".
std::string WhereText(const Location& where);

// ProblemLine(): "FILE: WHERE: WHAT", the shape of every warning of the tool.
std::string ProblemLine(const Inspection& inspection, const Finding& finding);

}  // namespace ordexa::inspect
