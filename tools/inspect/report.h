// An inspection as text for people (the listing, then the problem lines) or as JSON for
// other programs.
#pragma once

#include <ostream>

#include "tools/inspect/inspection.h"

namespace ordexa::inspect {

// WriteListing()
// One block per record or transaction, one line per field with its position and width
// (or XML line and element path) and its value in quotes; then the notes, every problem as
// "FILE: WHERE: WHAT" and a closing line "FILE: passes" or "FILE: N problem(s)".
void WriteListing(std::ostream& out, const Inspection& inspection);

// WriteProblems(): only the notes, problem lines and closing line of WriteListing.
void WriteProblems(std::ostream& out, const Inspection& inspection);

// WriteJson()
// The same as one JSON object: file, format, flavour (ISO), size, passes, blocks (title,
// offset or line, parts with their fields), problems (where, what, the whole line as message
// and the location's pieces) and notes.
void WriteJson(std::ostream& out, const Inspection& inspection);

}  // namespace ordexa::inspect
