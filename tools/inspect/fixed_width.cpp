// Listing and checking the fields of one fixed-width segment or record.
#include "tools/inspect/fixed_width.h"

#include <string>

#include "platform/cp1252.h"

namespace ordexa::inspect::detail {

std::string_view FieldBytes(std::string_view part, const FieldLayout& field) {
  const std::size_t begin = static_cast<std::size_t>(field.pos - 1);
  if (begin >= part.size()) return {};
  return part.substr(begin, static_cast<std::size_t>(field.width));
}

const FieldLayout* FieldByKind(const PartLayout& layout, FieldKind kind) {
  for (const FieldLayout& field : layout.fields) {
    if (field.kind == kind) return &field;
  }
  return nullptr;
}

Part ListPart(const PartLayout& layout, std::string_view part, const Location& where, const FieldContext& context,
              Inspection& inspection) {
  Part listed;
  listed.label = std::string(layout.label);
  for (const FieldLayout& field : layout.fields) {
    const std::string_view bytes = FieldBytes(part, field);
    listed.fields.push_back({std::string(field.name), field.pos, field.width, 0, Cp1252ToUtf8(bytes), {}});
    if (bytes.size() != static_cast<std::size_t>(field.width)) continue;
    for (std::string& what : CheckField(field, bytes, context)) {
      Location at = where;
      at.field = std::string(field.name);
      at.pos = field.pos;
      at.width = field.width;
      inspection.Problem(std::move(at), std::move(what));
    }
  }
  return listed;
}

}  // namespace ordexa::inspect::detail
