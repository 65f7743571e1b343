// The output of one ISO 20022 document: lines of TAB-indented UTF-8 XML with CR LF line
// ends, streamed through one buffer into "<name>.tmp" and renamed over the final name
// once the document is complete.
#pragma once

#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

#include "xml/xml_text.h"
#include "platform/buffered_file.h"
#include "platform/file_system.h"

namespace ordexa {

// The output object of one WriteIsoFile call.
struct IsoOutputFile {
  explicit IsoOutputFile(const FileSystem& file_system_in) : file_system(file_system_in) {}

  const FileSystem& file_system;
  std::string final_name;      // the file name as the caller gave it (1252 text)
  std::string temporary_name;  // final_name + ".tmp": the document is written here
  std::optional<BufferedFile> stream;  // the temporary file while it is written
  std::uint32_t write_error = 0;       // the system's code of the write that failed, if one did
};

// An element argument that goes through CleanXmlText as it is written (names, account
// texts, the BIC): what comes out holds no character that needs escaping.
struct CleanedText {
  std::string_view text;
};

// An element argument written uncleaned (street, city, reason, pay period, IBANs, numbers
// the writer formed itself): read up to a NUL as a C string, "&", "<", ">" as entities.
struct EscapedText {
  std::string_view text;
};

// An element argument the writer formed itself from digits, letters and punctuation with
// no XML meaning (an amount, a currency, a country code): copied as it stands.
struct PlainText {
  std::string_view text;
};

namespace detail {

enum class XmlArgKind : std::uint8_t { kNone, kCleaned, kEscaped, kPlain, kInt32, kUnsupported };

template <class T>
consteval XmlArgKind XmlArgKindOf() {
  using U = std::remove_cvref_t<T>;
  if constexpr (std::is_same_v<U, CleanedText>) return XmlArgKind::kCleaned;
  else if constexpr (std::is_same_v<U, EscapedText>) return XmlArgKind::kEscaped;
  else if constexpr (std::is_same_v<U, PlainText>) return XmlArgKind::kPlain;
  else if constexpr (std::is_same_v<U, std::int32_t>) return XmlArgKind::kInt32;
  else return XmlArgKind::kUnsupported;
}

// Reached only when an element template or a fixed line is not what it must be: calling a
// function that is not constexpr from the consteval check makes the mistake a compile error.
void XmlTemplateMismatch(const char* reason);

// One argument as the element formatter reads it.
struct XmlArg {
  XmlArgKind kind = XmlArgKind::kNone;
  std::string_view text;
  std::int32_t number = 0;
};

inline XmlArg MakeXmlArg(const CleanedText& argument) { return {XmlArgKind::kCleaned, argument.text, 0}; }
inline XmlArg MakeXmlArg(const EscapedText& argument) { return {XmlArgKind::kEscaped, argument.text, 0}; }
inline XmlArg MakeXmlArg(const PlainText& argument) { return {XmlArgKind::kPlain, argument.text, 0}; }
inline XmlArg MakeXmlArg(std::int32_t argument) { return {XmlArgKind::kInt32, {}, argument}; }

// A piece of fixed text known when the program is compiled: printable ASCII, which the
// document takes as it stands, held in a fixed room so that it is copied in one move of
// kXmlPieceCapacity bytes (the line's room has that much to spare behind any place).
inline constexpr std::size_t kXmlPieceCapacity = 32;
struct XmlPiece {
  char text[kXmlPieceCapacity] = {};
  std::uint8_t size = 0;
};

// Room a line asks for beyond its longest form: pieces, tabs and converted bytes are
// copied in fixed moves that may reach this far past their end.
inline constexpr std::size_t kXmlLineSlack = kXmlPieceCapacity;
// The longest 32-bit number in decimal: a sign and ten digits.
inline constexpr std::size_t kLongestXmlNumber = 11;
// The most bytes one byte of 1252 text gives in an escaped text ("&amp;").
inline constexpr std::size_t kLongestXmlByteForm = 5;
// Tabs up to this depth are copied in one move.
inline constexpr std::size_t kXmlTabMove = 16;

consteval XmlPiece MakeXmlPiece(std::string_view text) {
  XmlPiece piece;
  if (text.size() > kXmlPieceCapacity) XmlTemplateMismatch("fixed text longer than a piece");
  for (std::size_t i = 0; i < text.size() && i < kXmlPieceCapacity; ++i) {
    // Fixed text reaches the document as it stands, so it must be printable ASCII.
    if (text[i] < 0x20 || text[i] > 0x7E) XmlTemplateMismatch("fixed text is not printable ASCII");
    piece.text[i] = text[i];
  }
  piece.size = static_cast<std::uint8_t>(text.size());
  return piece;
}

// An element template ("<NbOfTxs>%i</NbOfTxs>"): "%s" takes CleanedText or EscapedText,
// "%i" a std::int32_t. Checked against the argument types and cut into its fixed pieces
// around the directives at compile time, so writing an element scans no template.
template <class... Args>
class XmlElementTemplate {
 public:
  template <class S>
    requires std::is_convertible_v<const S&, std::string_view>
  consteval XmlElementTemplate(const S& element_template) {
    const std::string_view text(element_template);
    constexpr std::array<XmlArgKind, sizeof...(Args) + 1> kinds{XmlArgKindOf<Args>()..., XmlArgKind::kNone};
    std::size_t count = 0;
    std::size_t piece_start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] != '%') continue;
      if (i + 1 == text.size()) XmlTemplateMismatch("element template ends inside a directive");
      const char directive = text[i + 1];
      const bool is_text = directive == 's';
      if (!is_text && directive != 'i') XmlTemplateMismatch("unknown element template directive");
      if (count == sizeof...(Args)) {
        XmlTemplateMismatch("more directives than arguments");
        break;
      }
      const XmlArgKind kind = kinds[count];
      const bool matches = is_text ? (kind == XmlArgKind::kCleaned || kind == XmlArgKind::kEscaped ||
                                      kind == XmlArgKind::kPlain)
                                   : kind == XmlArgKind::kInt32;
      if (!matches) XmlTemplateMismatch("element argument does not match its directive");
      pieces_[count++] = MakeXmlPiece(text.substr(piece_start, i - piece_start));
      piece_start = i + 2;
      ++i;
    }
    if (count != sizeof...(Args)) XmlTemplateMismatch("more arguments than directives");
    pieces_[sizeof...(Args)] = MakeXmlPiece(text.substr(piece_start));
    for (const XmlPiece& piece : pieces_) fixed_size_ += piece.size;
  }

  // The fixed text in front of argument `i`, or behind the last one for i == sizeof...(Args).
  constexpr const XmlPiece& piece(std::size_t i) const { return pieces_[i]; }
  constexpr const XmlPiece* pieces() const { return pieces_.data(); }
  constexpr std::size_t fixed_size() const { return fixed_size_; }

 private:
  std::array<XmlPiece, sizeof...(Args) + 1> pieces_{};
  std::size_t fixed_size_ = 0;
};

// A line of fixed text ("<GrpHdr>", "<Cd>CHBCC</Cd>"), checked at compile time.
class XmlFixedLine {
 public:
  consteval XmlFixedLine(const char* text) : piece_(MakeXmlPiece(std::string_view(text))) {}
  constexpr const XmlPiece& piece() const { return piece_; }

 private:
  XmlPiece piece_;
};

// One line of a fixed block: its depth and its fixed text.
struct XmlFixedLineAt {
  int level = 0;
  const char* text = "";
};

// Consecutive lines of fixed text with their tabs and line ends, joined when the program
// is compiled, so that writing them is one copy. Its members are public so that a block
// can be a template argument, and so kept in the program's constants.
inline constexpr std::size_t kXmlBlockCapacity = 256;
struct XmlFixedBlock {
  consteval XmlFixedBlock(std::initializer_list<XmlFixedLineAt> lines) {
    for (const XmlFixedLineAt& line : lines) {
      if (line.level < 0) XmlTemplateMismatch("negative depth in a fixed block");
      const XmlPiece piece = MakeXmlPiece(std::string_view(line.text));
      if (size + static_cast<std::size_t>(line.level) + piece.size + 2 > kXmlBlockCapacity) {
        XmlTemplateMismatch("fixed block too long");
        return;
      }
      for (int i = 0; i < line.level; ++i) text[size++] = '\t';
      for (std::size_t i = 0; i < piece.size; ++i) text[size++] = piece.text[i];
      text[size++] = '\r';
      text[size++] = '\n';
    }
  }
  constexpr std::string_view view() const { return {text, size}; }

  char text[kXmlBlockCapacity] = {};
  std::size_t size = 0;
};

// A string literal as a template argument (an element template, a fixed line): what is
// formed from it at compile time then lives with the program's constants, not built
// again on the stack at every call.
template <std::size_t N>
struct XmlLiteral {
  consteval XmlLiteral(const char (&literal)[N]) {
    for (std::size_t i = 0; i < N; ++i) text[i] = literal[i];
  }
  constexpr std::string_view view() const { return {text, N - 1}; }

  char text[N] = {};
};

[[noreturn]] void RaiseIsoWriteFailure();

// The room of a whole line of at most `bound` bytes (slack included) in the output buffer;
// null when the line is too long for the buffer and goes piece by piece. Raises
// std::int32_t 2002 when the buffer cannot be written out to make room.
inline char* XmlLineRoom(IsoOutputFile& output, std::size_t bound) {
  if (bound > BufferedFile::kBufferSize) return nullptr;
  if (output.stream) {
    FileStatus status;
    if (char* const room = output.stream->Room(bound, status)) return room;
    output.write_error = status.error;
  }
  RaiseIsoWriteFailure();
}

inline std::size_t XmlTabCount(int level) { return level > 0 ? static_cast<std::size_t>(level) : 0; }

inline char* PutXmlTabs(char* out, std::size_t count) {
  if (count <= kXmlTabMove) {
    std::memcpy(out, "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t", kXmlTabMove);
  } else {
    std::memset(out, '\t', count);
  }
  return out + count;
}

inline char* PutXmlPiece(char* out, const XmlPiece& piece) {
  std::memcpy(out, piece.text, kXmlPieceCapacity);
  return out + piece.size;
}

inline char* PutXmlLineEnd(char* out) {
  std::memcpy(out, "\r\n", 2);
  return out + 2;
}

// EscapeXmlTextInto(): an escaped text in its document form at `out` (room for
// kLongestXmlByteForm bytes per byte plus kXmlLineSlack), up to its first NUL; returns the
// end of what it wrote.
char* EscapeXmlTextInto(char* out, std::string_view text);

inline std::size_t XmlArgBound(const CleanedText& argument) { return argument.text.size(); }
inline std::size_t XmlArgBound(const EscapedText& argument) { return argument.text.size() * kLongestXmlByteForm; }
inline std::size_t XmlArgBound(const PlainText& argument) { return argument.text.size(); }
inline std::size_t XmlArgBound(std::int32_t) { return kLongestXmlNumber; }

inline char* PutXmlArg(char* out, const CleanedText& argument) {
  CleanXmlTextInto(argument.text, out);
  return out + argument.text.size();
}
inline char* PutXmlArg(char* out, const EscapedText& argument) { return EscapeXmlTextInto(out, argument.text); }
// CopyLong(): memcpy out of line, where the caller cannot tell how long a text is.
void CopyLong(char* out, const char* in, std::size_t size);

// CopyShort(): `size` bytes from `in` to `out` (not overlapping); up to 32 in two moves
// that overlap in the middle, without a library call: most element texts are that short.
inline void CopyShort(char* out, const char* in, std::size_t size) {
  const auto two_moves = [out, in, size]<std::size_t kMove>() {
    char head[kMove], tail[kMove];
    std::memcpy(head, in, kMove);
    std::memcpy(tail, in + size - kMove, kMove);
    std::memcpy(out, head, kMove);
    std::memcpy(out + size - kMove, tail, kMove);
  };
  if (size >= 16) {
    if (size > 32) {
      CopyLong(out, in, size);
      return;
    }
    two_moves.template operator()<16>();
  } else if (size >= 8) {
    two_moves.template operator()<8>();
  } else if (size >= 4) {
    two_moves.template operator()<4>();
  } else if (size >= 2) {
    two_moves.template operator()<2>();
  } else if (size == 1) {
    *out = *in;
  }
}

inline char* PutXmlArg(char* out, const PlainText& argument) {
  CopyShort(out, argument.text.data(), argument.text.size());
  return out + argument.text.size();
}
inline char* PutXmlArg(char* out, std::int32_t argument) {
  return std::to_chars(out, out + kLongestXmlNumber, argument).ptr;
}

// The element line piece by piece, for a line too long for the buffer.
void WriteXmlElementInPieces(IsoOutputFile& output, int level, const XmlPiece* pieces, const XmlArg* args);

}  // namespace detail

// OpenIsoOutput()
// Names the output (`file_name` and `file_name` + ".tmp") and creates the temporary file,
// emptying an existing one; no byte-order mark is written. Raises a plain std::int32_t,
// the Win32 error code of the creation (3 for a folder that does not exist), when it
// cannot be created; the final file is not touched.
// Example: OpenIsoOutput(output, "C:\\pay\\lohn.xml") writes through "C:\\pay\\lohn.xml.tmp".
void OpenIsoOutput(IsoOutputFile& output, std::string_view file_name);

// CreateIsoOutput(): OpenIsoOutput that reports a failed creation as the system's code
// instead of raising it.
FileStatus CreateIsoOutput(IsoOutputFile& output, std::string_view file_name);

// WriteXmlText()
// Writes one piece of 1252 text as UTF-8, without a line end. A line feed is written as
// CR LF; every other control character below 0x20 except TAB and CR becomes a blank, so
// the document stays well-formed. Pieces of any length are written whole. Raises
// std::int32_t 2002 (IDS_WRITE_FILE_ERROR) when a write to the temporary file fails.
// Example: WriteXmlText(output, "Stra\xDF" "e") writes "Stra\xC3\x9F" "e".
void WriteXmlText(IsoOutputFile& output, std::string_view text);

// WriteXmlLine()
// Writes `level` TAB characters (none for 0 or less), the text and a line end (CR LF).
// Fails as WriteXmlText. Example: WriteXmlLine(output, 2, "<GrpHdr>") writes "\t\t<GrpHdr>\r\n".
void WriteXmlLine(IsoOutputFile& output, int level, std::string_view text);

// WriteFixedXmlLine()
// WriteXmlLine for a line of fixed printable ASCII text of at most 32 characters, checked
// when the program is compiled and copied as it stands. Fails as WriteXmlText.
// Example: WriteFixedXmlLine<"<GrpHdr>">(output, 2) writes "\t\t<GrpHdr>\r\n".
template <detail::XmlLiteral kLine>
void WriteFixedXmlLine(IsoOutputFile& output, int level) {
  static constexpr detail::XmlFixedLine line(kLine.text);
  const std::size_t tabs = detail::XmlTabCount(level);
  if (char* const start = detail::XmlLineRoom(output, tabs + line.piece().size + 2 + detail::kXmlLineSlack)) {
    char* const end = detail::PutXmlLineEnd(detail::PutXmlPiece(detail::PutXmlTabs(start, tabs), line.piece()));
    output.stream->Commit(static_cast<std::size_t>(end - start));
    return;
  }
  WriteXmlLine(output, level, std::string_view(line.piece().text, line.piece().size));
}

// WriteFixedXmlLines()
// WriteFixedXmlLine for consecutive fixed lines at once, each with its own depth. Fails
// as WriteXmlText.
// Example: WriteFixedXmlLines<XmlLines{{4, "</PmtId>"}, {4, "<Amt>"}}>(output) writes
// "\t\t\t\t</PmtId>\r\n\t\t\t\t<Amt>\r\n".
inline void WriteFixedXmlLines(IsoOutputFile& output, const detail::XmlFixedBlock& block) {
  const std::string_view text = block.view();
  char* const start = detail::XmlLineRoom(output, text.size());
  std::memcpy(start, text.data(), text.size());
  output.stream->Commit(text.size());
}
// The same for a block given where it is written: as a template argument it is one of the
// program's constants, not joined again at every call.
using XmlLines = detail::XmlFixedBlock;
template <XmlLines kBlock>
void WriteFixedXmlLines(IsoOutputFile& output) {
  WriteFixedXmlLines(output, kBlock);
}

// WriteXmlElement()
// Forms one element line from its template and arguments and writes it like
// WriteXmlLine, straight into the output buffer. The formed text is written as it stands:
// a "%" that an argument brings in is never read as a directive. Fails as WriteXmlText.
// Example: WriteXmlElement<"<InstrId>QRN-%i</InstrId>">(output, 5, 3) writes
// "\t\t\t\t\t<InstrId>QRN-3</InstrId>\r\n".
template <detail::XmlLiteral kTemplate, class... Args>
[[gnu::always_inline]] inline void WriteXmlElement(IsoOutputFile& output, int level, const Args&... args) {
  static constexpr detail::XmlElementTemplate<Args...> element_template(kTemplate.view());
  const std::size_t tabs = detail::XmlTabCount(level);
  const std::size_t bound =
      tabs + element_template.fixed_size() + 2 + detail::kXmlLineSlack + (detail::XmlArgBound(args) + ... + 0);
  if (char* const start = detail::XmlLineRoom(output, bound)) {
    char* out = detail::PutXmlPiece(detail::PutXmlTabs(start, tabs), element_template.piece(0));
    [[maybe_unused]] std::size_t next_piece = 1;
    ((out = detail::PutXmlArg(out, args), out = detail::PutXmlPiece(out, element_template.piece(next_piece++))), ...);
    out = detail::PutXmlLineEnd(out);
    output.stream->Commit(static_cast<std::size_t>(out - start));
    return;
  }
  const std::array<detail::XmlArg, sizeof...(Args) + 1> values{detail::MakeXmlArg(args)..., detail::XmlArg{}};
  detail::WriteXmlElementInPieces(output, level, element_template.pieces(), values.data());
}

// FinishIsoOutput()
// Writes out the buffer, syncs and closes the temporary file and renames it over the
// final name, which thereby appears whole or is replaced whole. A failing write raises
// std::int32_t 2002; a failing sync, close or rename raises CAtlException with
// HRESULT_FROM_WIN32 of the error. The temporary file then stays; the final file is untouched.
void FinishIsoOutput(IsoOutputFile& output);

}  // namespace ordexa
