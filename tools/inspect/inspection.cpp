// Problem locations as text.
#include "tools/inspect/inspection.h"

namespace ordexa::inspect {

const char* FormatName(FileFormat format) {
  switch (format) {
    case FileFormat::kDta:
      return "DTA";
    case FileFormat::kEzag:
      return "EZAG";
    case FileFormat::kIso:
      return "ISO 20022 pain.001.001.03";
    case FileFormat::kIso2019:
      return "ISO 20022 pain.001.001.09";
    case FileFormat::kUnknown:
      break;
  }
  return "unknown";
}

std::string WhereText(const Location& where) {
  if (where.line_leads) {
    std::string text = where.line > 0 ? "line " + std::to_string(where.line) : "";
    for (const std::string* piece : {&where.block, &where.part, &where.field}) {
      if (!piece->empty()) text += (text.empty() ? "" : ", ") + *piece;
    }
    return text.empty() ? "file" : text;
  }
  std::string text = where.block;
  if (!where.part.empty()) text += (text.empty() ? "" : " ") + where.part;
  if (!where.field.empty()) {
    if (!text.empty()) text += ", ";
    text += where.field;
    if (where.width > 0) {
      text += " (pos " + std::to_string(where.pos) + ", " + std::to_string(where.width) + ")";
    } else if (where.line > 0) {
      text += " (line " + std::to_string(where.line) + ")";
    }
  } else if (where.line > 0) {
    text += (text.empty() ? "line " : " (line ") + std::to_string(where.line) + (text.empty() ? "" : ")");
  }
  return text.empty() ? "file" : text;
}

std::string ProblemLine(const Inspection& inspection, const Finding& finding) {
  return inspection.file_name + ": " + WhereText(finding.where) + ": " + finding.what;
}

}  // namespace ordexa::inspect
