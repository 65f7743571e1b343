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

std::string EntriesText(const Inspection& inspection) {
  const bool iso = inspection.format == FileFormat::kIso || inspection.format == FileFormat::kIso2019;
  const char* unit = iso ? " transaction" : " record";
  return std::to_string(inspection.entries) + unit + (inspection.entries == 1 ? "" : "s");
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

void WriteJsonField(std::ostream& out, const Field& field) {
  out << '{';
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

void WriteJsonProblem(std::ostream& out, const Inspection& inspection, const Finding& finding) {
  out << '{';
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

}  // namespace

void ListingWriter::WriteHead(const Inspection& inspection) {
  if (head_written_) return;
  head_written_ = true;
  out_ << inspection.file_name << ": " << FormatName(inspection.format);
  if (!inspection.flavour.empty()) out_ << " (" << inspection.flavour << ")";
  out_ << ", " << inspection.size << " bytes\n";
}

void ListingWriter::WriteBlock(const Inspection& inspection, const Block& block) {
  if (!with_blocks_) return;
  WriteHead(inspection);
  out_ << '\n' << block.title;
  if (inspection.format == FileFormat::kDta) out_ << ", offset " << block.offset;
  if (inspection.format != FileFormat::kDta && block.line > 0) out_ << ", line " << block.line;
  out_ << '\n';
  for (const Part& part : block.parts) {
    if (!part.label.empty()) out_ << "  " << part.label << '\n';
    for (const Field& field : part.fields) out_ << FieldLine(field) << '\n';
  }
}

void ListingWriter::Finish(const Inspection& inspection) {
  if (with_blocks_) {
    WriteHead(inspection);
    out_ << '\n';
  }
  for (const std::string& note : inspection.notes) out_ << inspection.file_name << ": note: " << note << '\n';
  for (const Finding& finding : inspection.problems) out_ << ProblemLine(inspection, finding) << '\n';
  out_ << inspection.file_name << ": " << EntriesText(inspection) << ", ";
  if (inspection.Passes()) {
    out_ << "passes\n";
  } else {
    out_ << inspection.problems.size() << (inspection.problems.size() == 1 ? " problem\n" : " problems\n");
  }
}

void JsonWriter::WriteHead(const Inspection& inspection) {
  if (head_written_) return;
  head_written_ = true;
  out_ << "{\n  ";
  Key(out_, "file");
  Escaped(out_, inspection.file_name);
  out_ << ",\n  ";
  Key(out_, "format");
  Escaped(out_, FormatName(inspection.format));
  out_ << ",\n  ";
  Key(out_, "size");
  out_ << inspection.size << ",\n  ";
  Key(out_, "blocks");
  out_ << '[';
}

void JsonWriter::WriteBlock(const Inspection& inspection, const Block& block) {
  WriteHead(inspection);
  out_ << (first_block_ ? "\n    {" : ",\n    {");
  first_block_ = false;
  Key(out_, "title");
  Escaped(out_, block.title);
  out_ << ", ";
  if (block.line > 0) {
    Key(out_, "line");
    out_ << block.line;
  } else {
    Key(out_, "offset");
    out_ << block.offset;
  }
  out_ << ", ";
  Key(out_, "parts");
  out_ << '[';
  for (std::size_t p = 0; p < block.parts.size(); ++p) {
    const Part& part = block.parts[p];
    out_ << (p == 0 ? "\n      {" : ",\n      {");
    Key(out_, "label");
    Escaped(out_, part.label);
    out_ << ", ";
    Key(out_, "fields");
    out_ << '[';
    for (std::size_t f = 0; f < part.fields.size(); ++f) {
      out_ << (f == 0 ? "\n        " : ",\n        ");
      WriteJsonField(out_, part.fields[f]);
    }
    out_ << "]}";
  }
  out_ << "]}";
}

void JsonWriter::Finish(const Inspection& inspection) {
  WriteHead(inspection);
  out_ << "],\n  ";
  if (!inspection.flavour.empty()) {
    Key(out_, "flavour");
    Escaped(out_, inspection.flavour);
    out_ << ",\n  ";
  }
  Key(out_, "entries");
  out_ << inspection.entries << ",\n  ";
  Key(out_, "passes");
  out_ << (inspection.Passes() ? "true" : "false") << ",\n  ";
  Key(out_, "problems");
  out_ << '[';
  for (std::size_t i = 0; i < inspection.problems.size(); ++i) {
    out_ << (i == 0 ? "\n    " : ",\n    ");
    WriteJsonProblem(out_, inspection, inspection.problems[i]);
  }
  out_ << "],\n  ";
  Key(out_, "notes");
  out_ << '[';
  for (std::size_t i = 0; i < inspection.notes.size(); ++i) {
    out_ << (i == 0 ? "" : ", ");
    Escaped(out_, inspection.notes[i]);
  }
  out_ << "]\n}\n";
}

void WriteListing(std::ostream& out, const Inspection& inspection) {
  ListingWriter writer(out);
  for (const Block& block : inspection.blocks) writer.WriteBlock(inspection, block);
  writer.Finish(inspection);
}

void WriteProblems(std::ostream& out, const Inspection& inspection) { ListingWriter(out, false).Finish(inspection); }

void WriteJson(std::ostream& out, const Inspection& inspection) {
  JsonWriter writer(out);
  for (const Block& block : inspection.blocks) writer.WriteBlock(inspection, block);
  writer.Finish(inspection);
}

}  // namespace ordexa::inspect
