// The ISO 20022 document's output: element lines formed into a reused text, converted
// from code page 1252 to UTF-8 piecewise, streamed through one buffer into the temporary
// file and renamed over the final name at the end.
#include "iso/iso_output.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

#include "iso/xml_text.h"
#include "failure/failure.h"
#include "platform/cp1252.h"
#include "platform/crt.h"
#include "platform/message_table.h"
#include "winerror.h"

namespace ordexa {

namespace {

// Input bytes converted per piece: each piece is formed straight in the output buffer,
// which must have room for its longest form (a byte gives at most an entity of five bytes).
constexpr std::size_t kConversionChunk = 8 * 1024;
constexpr std::size_t kLongestByteForm = 5;
// The longest 32-bit number in decimal: a sign and ten digits.
constexpr std::size_t kLongestNumber = 11;

constexpr std::string_view kTabs = "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";

[[noreturn]] void RaiseIsoWriteFailure() { throw static_cast<std::int32_t>(IDS_WRITE_FILE_ERROR); }

// What becomes of a byte of 1252 text in the document.
enum class XmlByte : std::uint8_t {
  kCopy,     // printable ASCII, TAB and CR
  kUtf8,     // 0x80 and above: its UTF-8 form
  kBlank,    // a control character XML does not allow
  kLineEnd,  // LF: the document's line end CR LF
  kEntity,   // "&", "<", ">" in an escaped text
};

constexpr std::array<XmlByte, 256> MakeXmlByteTable(bool escape) {
  std::array<XmlByte, 256> table{};
  for (int byte = 0; byte < 256; ++byte) {
    table[byte] = byte >= 0x80 ? XmlByte::kUtf8 : byte >= 0x20 ? XmlByte::kCopy : XmlByte::kBlank;
  }
  table['\t'] = XmlByte::kCopy;
  table['\r'] = XmlByte::kCopy;
  table['\n'] = XmlByte::kLineEnd;
  if (escape) table['&'] = table['<'] = table['>'] = XmlByte::kEntity;
  return table;
}

constexpr std::array<XmlByte, 256> kPlainText = MakeXmlByteTable(false);
constexpr std::array<XmlByte, 256> kEscapedText = MakeXmlByteTable(true);

char* RoomFor(IsoOutputFile& output, std::size_t size) {
  if (!output.stream) RaiseIsoWriteFailure();
  FileStatus status;
  char* room = output.stream->Room(size, status);
  if (room == nullptr) RaiseIsoWriteFailure();
  return room;
}

// Bytes that need no conversion (tabs, line ends, numbers the writer formed).
void AppendToStream(IsoOutputFile& output, std::string_view bytes) {
  if (!output.stream || !output.stream->Append(bytes)) RaiseIsoWriteFailure();
}

// Whether eight bytes are all printable ASCII (0x20 to 0x7F) and, for an escaped text,
// none of "&", "<", ">": such a word is copied whole. A byte below 0x20 borrows in the
// subtraction and sets its top bit, a byte from 0x80 has it set already.
constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kTops = 0x8080808080808080ull;
constexpr bool HasByte(std::uint64_t word, unsigned char byte) {
  const std::uint64_t x = word ^ (kOnes * byte);
  return ((x - kOnes) & ~x & kTops) != 0;
}
constexpr bool AllCopied(std::uint64_t word, bool escape) {
  if ((((word - kOnes * 0x20) | word) & kTops) != 0) return false;
  return !escape || !(HasByte(word, '&') || HasByte(word, '<') || HasByte(word, '>'));
}

// A piece of 1252 text in its document form, converted into `out` (room for
// kLongestByteForm bytes per byte of `piece`); returns the end of what it wrote.
char* ConvertInto(char* out, std::string_view piece, const std::array<XmlByte, 256>& table) {
  const bool escape = &table == &kEscapedText;
  for (std::size_t i = 0; i < piece.size();) {
    if (i + sizeof(std::uint64_t) <= piece.size()) {
      std::uint64_t word;
      std::memcpy(&word, piece.data() + i, sizeof word);
      if (AllCopied(word, escape)) {
        std::memcpy(out, &word, sizeof word);
        out += sizeof word;
        i += sizeof word;
        continue;
      }
    }
    const char c = piece[i++];
    const auto byte = static_cast<unsigned char>(c);
    switch (table[byte]) {
      case XmlByte::kCopy:
        *out++ = c;
        break;
      case XmlByte::kUtf8:
        out = AppendCp1252ByteAsUtf8(out, byte);
        break;
      case XmlByte::kBlank:
        *out++ = ' ';
        break;
      case XmlByte::kLineEnd:
        *out++ = '\r';
        *out++ = '\n';
        break;
      case XmlByte::kEntity: {
        const std::string_view entity = c == '&' ? "&amp;" : c == '<' ? "&lt;" : "&gt;";
        std::memcpy(out, entity.data(), entity.size());
        out += entity.size();
        break;
      }
    }
  }
  return out;
}

// A piece of 1252 text in its document form, converted straight into the output buffer.
void AppendConverted(IsoOutputFile& output, std::string_view text, const std::array<XmlByte, 256>& table) {
  do {
    const std::string_view piece = text.substr(0, kConversionChunk);
    text.remove_prefix(piece.size());
    char* const start = RoomFor(output, piece.size() * kLongestByteForm);
    output.stream->Commit(static_cast<std::size_t>(ConvertInto(start, piece, table) - start));
  } while (!text.empty());
}

// A text cleaned by CleanXmlText: the cleaning gives printable ASCII only, which the
// document takes as it is.
void AppendCleaned(IsoOutputFile& output, std::string_view text) {
  while (!text.empty()) {
    const std::string_view piece = text.substr(0, kConversionChunk);
    text.remove_prefix(piece.size());
    char* const room = RoomFor(output, piece.size());
    CleanXmlTextInto(piece, room);
    output.stream->Commit(piece.size());
  }
}

void AppendTabs(IsoOutputFile& output, int level) {
  for (int remaining = level; remaining > 0;) {
    const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(remaining), kTabs.size());
    AppendToStream(output, kTabs.substr(0, count));
    remaining -= static_cast<int>(count);
  }
}

std::size_t TabCount(int level) { return level > 0 ? static_cast<std::size_t>(level) : 0; }

// Room for a whole line of at most `bound` bytes, formed in one go; null when the line is
// too long for the buffer and goes piece by piece.
char* LineRoom(IsoOutputFile& output, std::size_t bound) {
  return bound <= BufferedFile::kBufferSize ? RoomFor(output, bound) : nullptr;
}

char* PutTabs(char* out, std::size_t count) {
  std::memset(out, '\t', count);
  return out + count;
}

char* PutLineEnd(char* out) {
  out[0] = '\r';
  out[1] = '\n';
  return out + 2;
}

// A text argument ends at its first NUL, as a C string does.
std::string_view UpToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

}  // namespace

namespace detail {

void XmlTemplateMismatch(const char*) {}

void WriteFormattedXmlElement(IsoOutputFile& output, int level, std::string_view element_template,
                              const XmlArg* args) {
  // A line that surely fits the buffer is formed straight into it.
  const std::size_t tabs = TabCount(level);
  std::size_t bound = tabs + element_template.size() + 2;
  for (const XmlArg* arg = args; arg->kind != XmlArgKind::kNone; ++arg) {
    bound += arg->kind == XmlArgKind::kEscaped ? arg->text.size() * kLongestByteForm
             : arg->kind == XmlArgKind::kCleaned ? arg->text.size()
                                                 : kLongestNumber;
  }
  if (char* const start = LineRoom(output, bound)) {
    char* out = PutTabs(start, tabs);
    std::size_t literal_start = 0;
    for (std::size_t i = 0; i < element_template.size(); ++i) {
      if (element_template[i] != '%' || i + 1 == element_template.size()) continue;
      std::memcpy(out, element_template.data() + literal_start, i - literal_start);
      out += i - literal_start;
      ++i;
      literal_start = i + 1;
      const XmlArg& arg = *args;
      if (arg.kind != XmlArgKind::kNone) ++args;
      switch (arg.kind) {
        case XmlArgKind::kCleaned:
          CleanXmlTextInto(arg.text, out);
          out += arg.text.size();
          break;
        case XmlArgKind::kEscaped:
          out = ConvertInto(out, UpToNul(arg.text), kEscapedText);
          break;
        case XmlArgKind::kInt32:
          out = std::to_chars(out, out + kLongestNumber, arg.number).ptr;
          break;
        case XmlArgKind::kNone:
        case XmlArgKind::kUnsupported:
          break;
      }
    }
    std::memcpy(out, element_template.data() + literal_start, element_template.size() - literal_start);
    out = PutLineEnd(out + (element_template.size() - literal_start));
    output.stream->Commit(static_cast<std::size_t>(out - start));
    return;
  }
  AppendTabs(output, level);
  std::size_t literal_start = 0;
  for (std::size_t i = 0; i < element_template.size(); ++i) {
    if (element_template[i] != '%' || i + 1 == element_template.size()) continue;
    // Template text is printable ASCII (checked when the program is compiled): taken as it is.
    AppendToStream(output, element_template.substr(literal_start, i - literal_start));
    ++i;
    literal_start = i + 1;
    // The template was checked against the arguments at compile time; the kinds decide.
    // Each argument is written in its document form as it stands: a "%" it brings in is
    // never read as a directive.
    const XmlArg& arg = *args;
    if (arg.kind != XmlArgKind::kNone) ++args;
    switch (arg.kind) {
      case XmlArgKind::kCleaned:
        AppendCleaned(output, arg.text);
        break;
      case XmlArgKind::kEscaped:
        AppendConverted(output, UpToNul(arg.text), kEscapedText);
        break;
      case XmlArgKind::kInt32: {
        char digits[16];
        const auto result = std::to_chars(digits, digits + sizeof digits, arg.number);
        AppendToStream(output, std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
        break;
      }
      case XmlArgKind::kNone:
      case XmlArgKind::kUnsupported:
        break;
    }
  }
  AppendToStream(output, element_template.substr(literal_start));
  AppendToStream(output, "\r\n");
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

void WriteXmlText(IsoOutputFile& output, std::string_view text) { AppendConverted(output, text, kPlainText); }

void WriteXmlLine(IsoOutputFile& output, int level, std::string_view text) {
  const std::size_t tabs = TabCount(level);
  if (char* const start = LineRoom(output, tabs + text.size() * kLongestByteForm + 2)) {
    char* const end = PutLineEnd(ConvertInto(PutTabs(start, tabs), text, kPlainText));
    output.stream->Commit(static_cast<std::size_t>(end - start));
    return;
  }
  AppendTabs(output, level);
  AppendConverted(output, text, kPlainText);
  AppendToStream(output, "\r\n");
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
