// An inspection as text for people (the listing, then the problem lines) or as JSON for
// other programs. Both are written block by block as the file is read.
#pragma once

#include <ostream>

#include "tools/inspect/inspection.h"

namespace ordexa::inspect {

// The listing: a first line naming the file, its format and size; one block per record or
// transaction, one line per field with its position and width (or XML line and element
// path) and its value in quotes; then the notes, every problem as "FILE: WHERE: WHAT" and
// a closing line "FILE: 13 records, passes" or "FILE: 13 records, 2 problems".
class ListingWriter {
 public:
  explicit ListingWriter(std::ostream& out, bool with_blocks = true) : out_(out), with_blocks_(with_blocks) {}
  void WriteBlock(const Inspection& inspection, const Block& block);
  void Finish(const Inspection& inspection);

 private:
  void WriteHead(const Inspection& inspection);
  std::ostream& out_;
  bool with_blocks_;
  bool head_written_ = false;
};

// The same as one JSON object: file, format, size, blocks (title, offset or line, parts with
// their fields), then flavour (ISO), entries, passes, problems (where, what, the whole line
// as message and the location's pieces) and notes.
class JsonWriter {
 public:
  explicit JsonWriter(std::ostream& out) : out_(out) {}
  void WriteBlock(const Inspection& inspection, const Block& block);
  void Finish(const Inspection& inspection);

 private:
  void WriteHead(const Inspection& inspection);
  std::ostream& out_;
  bool head_written_ = false;
  bool first_block_ = true;
};

// WriteListing(), WriteProblems(), WriteJson(): a whole inspection whose blocks were collected.
void WriteListing(std::ostream& out, const Inspection& inspection);
void WriteProblems(std::ostream& out, const Inspection& inspection);
void WriteJson(std::ostream& out, const Inspection& inspection);

}  // namespace ordexa::inspect
