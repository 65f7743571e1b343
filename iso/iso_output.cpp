// The ISO 20022 document's output: element lines formed into a reused text, converted
// from code page 1252 to UTF-8 piecewise, streamed through one buffer into the temporary
// file and renamed over the final name at the end.
#include "iso/iso_output.h"

#include <algorithm>
#include <charconv>

#include "iso/xml_text.h"
#include "failure/failure.h"
#include "platform/cp1252.h"
#include "platform/crt.h"
#include "platform/message_table.h"
#include "winerror.h"

namespace ordexa {

namespace {

// Input bytes converted per piece: keeps the conversion text small whatever the length
// of a caller's text (a byte gives at most three UTF-8 bytes).
constexpr std::size_t kConversionChunk = 8 * 1024;

constexpr std::string_view kTabs = "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";

[[noreturn]] void RaiseIsoWriteFailure() { throw static_cast<std::int32_t>(IDS_WRITE_FILE_ERROR); }

void AppendToStream(IsoOutputFile& output, std::string_view bytes) {
  if (!output.stream || !output.stream->is_open()) RaiseIsoWriteFailure();
  if (!output.stream->Append(bytes)) RaiseIsoWriteFailure();
}

// A text argument ends at its first NUL, as a C string does.
std::string_view UpToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

}  // namespace

namespace detail {

void XmlTemplateMismatch(const char*) {}

void WriteFormattedXmlElement(IsoOutputFile& output, int level, std::string_view element_template,
                              const XmlArg* args) {
  std::string& text = output.element_text;
  text.clear();
  std::size_t literal_start = 0;
  for (std::size_t i = 0; i < element_template.size(); ++i) {
    if (element_template[i] != '%' || i + 1 == element_template.size()) continue;
    text.append(element_template.substr(literal_start, i - literal_start));
    ++i;
    literal_start = i + 1;
    // The template was checked against the arguments at compile time; the kinds decide.
    const XmlArg& arg = *args;
    if (arg.kind != XmlArgKind::kNone) ++args;
    switch (arg.kind) {
      case XmlArgKind::kCleaned:
        AppendCleanXmlText(text, arg.text);
        break;
      case XmlArgKind::kEscaped:
        AppendEscapedXmlText(text, UpToNul(arg.text));
        break;
      case XmlArgKind::kInt32: {
        char digits[16];
        const auto result = std::to_chars(digits, digits + sizeof digits, arg.number);
        text.append(digits, result.ptr);
        break;
      }
      case XmlArgKind::kNone:
      case XmlArgKind::kUnsupported:
        break;
    }
  }
  text.append(element_template.substr(literal_start));
  WriteXmlLine(output, level, text);
}

}  // namespace detail

void OpenIsoOutput(IsoOutputFile& output, std::string_view file_name) {
  output.final_name.assign(file_name);
  output.temporary_name.assign(file_name).append(".tmp");
  FileStatus status;
  const FileHandle handle = output.file_system.Create(output.temporary_name, status);
  // The document is opened through the C runtime, so its failure is the runtime's error
  // number, not the system's code.
  if (handle == kInvalidFile) throw CrtErrnoFromWin32(status.error);
  output.stream.emplace(output.file_system, handle);
}

void WriteXmlText(IsoOutputFile& output, std::string_view text) {
  std::string& utf8 = output.utf8_text;
  do {
    const std::string_view piece = text.substr(0, kConversionChunk);
    text.remove_prefix(piece.size());
    utf8.clear();
    std::size_t run_start = 0;
    // One pass: runs of printable ASCII are copied whole, everything else is handled alone.
    for (std::size_t i = 0; i < piece.size(); ++i) {
      const auto byte = static_cast<unsigned char>(piece[i]);
      if ((byte >= 0x20 && byte < 0x80) || byte == '\t' || byte == '\r') continue;
      utf8.append(piece.data() + run_start, i - run_start);
      if (byte >= 0x80) {
        AppendCp1252AsUtf8(utf8, piece.substr(i, 1));
      } else {
        // The document's line end is CR LF, also inside a text; characters XML does not
        // allow become blanks.
        utf8.append(byte == '\n' ? "\r\n" : " ");
      }
      run_start = i + 1;
    }
    utf8.append(piece.data() + run_start, piece.size() - run_start);
    AppendToStream(output, utf8);
  } while (!text.empty());
}

void WriteXmlLine(IsoOutputFile& output, int level, std::string_view text) {
  for (int remaining = level; remaining > 0;) {
    const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(remaining), kTabs.size());
    WriteXmlText(output, kTabs.substr(0, count));
    remaining -= static_cast<int>(count);
  }
  WriteXmlText(output, text);
  WriteXmlText(output, "\n");
}

void FinishIsoOutput(IsoOutputFile& output) {
  if (!output.stream || !output.stream->is_open()) RaiseIsoWriteFailure();
  if (!output.stream->Flush()) RaiseIsoWriteFailure();
  if (const FileStatus synced = output.stream->Sync(); !synced) AtlThrow(HRESULT_FROM_WIN32(synced.error));
  const FileStatus closed = output.stream->Close();
  output.stream.reset();
  if (!closed) AtlThrow(HRESULT_FROM_WIN32(closed.error));
  const FileStatus renamed = output.file_system.Rename(output.temporary_name, output.final_name);
  if (!renamed) AtlThrow(HRESULT_FROM_WIN32(renamed.error));
}

}  // namespace ordexa
