// Shared by the DTA and EZAG readers: one segment or record listed and checked field by
// field against its layout.
#pragma once

#include <string_view>

#include "tools/inspect/field_checks.h"
#include "tools/inspect/inspection.h"
#include "tools/inspect/layouts.h"

namespace ordexa::inspect::detail {

// FieldBytes(): the bytes of `field` in `part` (fewer, or none, when the part is short).
std::string_view FieldBytes(std::string_view part, const FieldLayout& field);

// FieldByKind(): the first field of `kind` in `layout`, or nullptr.
const FieldLayout* FieldByKind(const PartLayout& layout, FieldKind kind);

// ListPart()
// The fields of `layout` found in `part`, each checked by its kind; problems are reported
// at `where` with the field's name, position and width. Fields the part is too short to
// hold are listed with what there is and not checked (the length is reported elsewhere).
Part ListPart(const PartLayout& layout, std::string_view part, const Location& where, const FieldContext& context,
              Inspection& inspection);

}  // namespace ordexa::inspect::detail
