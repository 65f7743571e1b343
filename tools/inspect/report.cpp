// Text and JSON renderings of an inspection.
#include "tools/inspect/report.h"

#include <cstdio>
#include <string>

namespace ordexa::inspect {
namespace {

std::string Padded(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

std::string ValueText(const std::string& value) {
  if (!value.empty() && value.find_first_not_of(' ') == std::string::npos) return "(blank)";
  return "\"" + value + "\"";
}

std::string FieldLine(const Field& field) {
  if (field.width > 0) {
    const std::string range = field.width == 1
                                  ? std::to_string(field.pos)
                                  : std::to_string(field.pos) + "-" + std::to_string(field.pos + field.width - 1);
    return "    " + Padded(range, 8) + Padded(std::to_string(field.width), 5) + Padded(field.name, 45) + " " +
           ValueText(field.value);
  }
  const std::string label = field.name == field.path ? field.path : field.name + " (" + field.path + ")";
  return "    line " + Padded(std::to_string(field.line), 7) + Padded(label, 59) + " " + ValueText(field.value);
}

std::string CountText(const Inspection& inspection) {
  std::size_t count = 0;
  for (const Block& block : inspection.blocks)
    count += block.title.starts_with("transaction") || block.title.starts_with("record");
  const char* unit = inspection.format == FileFormat::kIso ? " transaction" : " record";
  return std::to_string(count) + unit + (count == 1 ? "" : "s");
}

void Escaped(std::ostream& out, const std::string& text) {
  out << '"';
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out << '\\' << c;
    } else if (c == '\n') {
      out << "\\n";
    } else if (byte < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", byte);
      out << escape;
    } else {
      out << c;
    }
  }
  out << '"';
}

void Key(std::ostream& out, const char* name) { out << '"' << name << "\": "; }

}  // namespace

void WriteProblems(std::ostream& out, const Inspection& inspection) {
  for (const std::string& note : inspection.notes) out << inspection.file_name << ": note: " << note << '\n';
  for (const Finding& finding : inspection.problems) out << ProblemLine(inspection, finding) << '\n';
  if (inspection.Passes()) {
    out << inspection.file_name << ": passes\n";
  } else {
    out << inspection.file_name << ": " << inspection.problems.size()
        << (inspection.problems.size() == 1 ? " problem\n" : " problems\n");
  }
}

void WriteListing(std::ostream& out, const Inspection& inspection) {
  out << inspection.file_name << ": " << FormatName(inspection.format);
  if (!inspection.flavour.empty()) out << " (" << inspection.flavour << ")";
  out << ", " << inspection.size << " bytes, " << CountText(inspection) << "\n";
  for (const Block& block : inspection.blocks) {
    out << '\n' << block.title;
    if (inspection.format == FileFormat::kDta) out << ", offset " << block.offset;
    if (inspection.format != FileFormat::kDta && block.line > 0) out << ", line " << block.line;
    out << '\n';
    for (const Part& part : block.parts) {
      if (!part.label.empty()) out << "  " << part.label << '\n';
      for (const Field& field : part.fields) out << FieldLine(field) << '\n';
    }
  }
  out << '\n';
  WriteProblems(out, inspection);
}

void WriteJson(std::ostream& out, const Inspection& inspection) {
  out << "{\n  ";
  Key(out, "file");
  Escaped(out, inspection.file_name);
  out << ",\n  ";
  Key(out, "format");
  Escaped(out, FormatName(inspection.format));
  if (!inspection.flavour.empty()) {
    out << ",\n  ";
    Key(out, "flavour");
    Escaped(out, inspection.flavour);
  }
  out << ",\n  ";
  Key(out, "size");
  out << inspection.size << ",\n  ";
  Key(out, "passes");
  out << (inspection.Passes() ? "true" : "false") << ",\n  ";
  Key(out, "blocks");
  out << '[';
  for (std::size_t b = 0; b < inspection.blocks.size(); ++b) {
    const Block& block = inspection.blocks[b];
    out << (b == 0 ? "\n    {" : ",\n    {");
    Key(out, "title");
    Escaped(out, block.title);
    out << ", ";
    if (block.line > 0) {
      Key(out, "line");
      out << block.line;
    } else {
      Key(out, "offset");
      out << block.offset;
    }
    out << ", ";
    Key(out, "parts");
    out << '[';
    for (std::size_t p = 0; p < block.parts.size(); ++p) {
      const Part& part = block.parts[p];
      out << (p == 0 ? "\n      {" : ",\n      {");
      Key(out, "label");
      Escaped(out, part.label);
      out << ", ";
      Key(out, "fields");
      out << '[';
      for (std::size_t f = 0; f < part.fields.size(); ++f) {
        const Field& field = part.fields[f];
        out << (f == 0 ? "\n        {" : ",\n        {");
        Key(out, "name");
        Escaped(out, field.name);
        if (field.width > 0) {
          out << ", ";
          Key(out, "pos");
          out << field.pos << ", ";
          Key(out, "width");
          out << field.width;
        } else {
          out << ", ";
          Key(out, "line");
          out << field.line << ", ";
          Key(out, "path");
          Escaped(out, field.path);
        }
        out << ", ";
        Key(out, "value");
        Escaped(out, field.value);
        out << '}';
      }
      out << "]}";
    }
    out << "]}";
  }
  out << "],\n  ";
  Key(out, "problems");
  out << '[';
  for (std::size_t i = 0; i < inspection.problems.size(); ++i) {
    const Finding& finding = inspection.problems[i];
    out << (i == 0 ? "\n    {" : ",\n    {");
    Key(out, "where");
    Escaped(out, WhereText(finding.where));
    out << ", ";
    Key(out, "what");
    Escaped(out, finding.what);
    out << ", ";
    Key(out, "message");
    Escaped(out, ProblemLine(inspection, finding));
    out << ", ";
    Key(out, "block");
    Escaped(out, finding.where.block);
    out << ", ";
    Key(out, "part");
    Escaped(out, finding.where.part);
    out << ", ";
    Key(out, "field");
    Escaped(out, finding.where.field);
    out << ", ";
    Key(out, "pos");
    out << finding.where.pos << ", ";
    Key(out, "width");
    out << finding.where.width << ", ";
    Key(out, "line");
    out << finding.where.line << '}';
  }
  out << "],\n  ";
  Key(out, "notes");
  out << '[';
  for (std::size_t i = 0; i < inspection.notes.size(); ++i) {
    out << (i == 0 ? "" : ", ");
    Escaped(out, inspection.notes[i]);
  }
  out << "]\n}\n";
}

}  // namespace ordexa::inspect
