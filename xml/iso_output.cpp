// The ISO 20022 document's output: element lines formed straight into the output buffer,
// 1252 text converted to UTF-8 by a table of each byte's document form, streamed through
// one buffer into the temporary file and renamed over the final name at the end.
#include "xml/iso_output.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstring>

#include "failure/failure.h"
#include "xml/xml_text.h"
#include "platform/cp1252.h"
#include "platform/crt.h"
#include "platform/message_table.h"
#include "winerror.h"

namespace ordexa {

namespace {

using detail::kLongestXmlByteForm;
using detail::kXmlLineSlack;

// Input bytes converted per piece when a text goes piece by piece: each piece is formed
// straight in the output buffer, which must have room for its longest form.
constexpr std::size_t kConversionChunk = 8 * 1024;

constexpr std::string_view kTabs = "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";

// The document form of one byte of 1252 text, held in eight bytes so that it is copied in
// one move (the room behind a converted text has kXmlLineSlack bytes to spare).
struct XmlByteForm {
  char bytes[7] = {};
  std::uint8_t size = 0;
};
static_assert(sizeof(XmlByteForm) == 8);

// Printable ASCII, TAB and CR stay; LF becomes the document's line end CR LF; any other
// control character XML does not allow becomes a blank; 0x80 and above their UTF-8 form;
// in an escaped text "&", "<", ">" become entities.
std::array<XmlByteForm, 256> MakeXmlByteForms(bool escape) {
  std::array<XmlByteForm, 256> forms{};
  const auto set = [&forms](unsigned char byte, std::string_view form) {
    std::memcpy(forms[byte].bytes, form.data(), form.size());
    forms[byte].size = static_cast<std::uint8_t>(form.size());
  };
  for (int value = 0; value < 256; ++value) {
    const auto byte = static_cast<unsigned char>(value);
    if (byte >= 0x80) {
      char* const end = AppendCp1252ByteAsUtf8(forms[byte].bytes, byte);
      forms[byte].size = static_cast<std::uint8_t>(end - forms[byte].bytes);
    } else if (byte >= 0x20 || byte == '\t' || byte == '\r') {
      set(byte, std::string_view(reinterpret_cast<const char*>(&byte), 1));
    } else {
      set(byte, " ");
    }
  }
  set('\n', "\r\n");
  if (escape) {
    set('&', "&amp;");
    set('<', "&lt;");
    set('>', "&gt;");
  }
  return forms;
}

const std::array<XmlByteForm, 256> kPlainForms = MakeXmlByteForms(false);
const std::array<XmlByteForm, 256> kEscapedForms = MakeXmlByteForms(true);

// The bytes of eight that are not copied as they stand: a byte below 0x20 or from 0x80
// and, for an escaped text, "&", "<", ">". Each such byte has its top bit set in the
// result; a borrow may also set it in bytes above one that is, never below, so the lowest
// byte set is the first not copied.
constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kTops = 0x8080808080808080ull;
constexpr std::uint64_t ByteMatches(std::uint64_t word, unsigned char byte) {
  const std::uint64_t x = word ^ (kOnes * byte);
  return (x - kOnes) & ~x & kTops;
}
template <bool kEscape>
constexpr std::uint64_t NotCopied(std::uint64_t word) {
  const std::uint64_t outside = ((word - kOnes * 0x20) | word) & kTops;
  if constexpr (!kEscape) return outside;
  return outside | ByteMatches(word, '&') | ByteMatches(word, '<') | ByteMatches(word, '>');
}

// A piece of 1252 text in its document form, converted into `out` (room for
// kLongestXmlByteForm bytes per byte of `piece` plus kXmlLineSlack); returns the end of
// what it wrote. An escaped text ends at its first NUL, as a C string does.
static_assert(std::endian::native == std::endian::little, "the word moves read words low byte first");

// One byte by its form, moved as a whole form (the room has slack for it); false, and
// nothing written, at the NUL that ends an escaped text.
template <bool kEscape>
[[gnu::always_inline]] inline bool PutByteForm(char*& out, unsigned char byte) {
  if (kEscape && byte == 0) return false;
  const XmlByteForm& form = (kEscape ? kEscapedForms : kPlainForms)[byte];
  std::memcpy(out, &form, sizeof form);
  out += form.size;
  return true;
}

template <bool kEscape>
char* ConvertInto(char* out, std::string_view piece) {
  constexpr std::size_t kWord = sizeof(std::uint64_t);
  const char* in = piece.data();
  const char* const end = in + piece.size();
  while (in != end) {
    const auto left = static_cast<std::size_t>(end - in);
    std::uint64_t word;
    std::uint64_t converted;
    if (left >= kWord) {
      std::memcpy(&word, in, sizeof word);
      converted = NotCopied<kEscape>(word);
      if (converted == 0) {
        std::memcpy(out, &word, sizeof word);
        out += kWord;
        in += kWord;
        continue;
      }
    } else if (piece.size() >= kWord) {
      // The last few bytes, read as the piece's last eight (the bytes in front are done),
      // shifted down to their own bytes (the low byte comes first in memory).
      std::memcpy(&word, end - kWord, sizeof word);
      const std::size_t done = 8 * (kWord - left);
      converted = NotCopied<kEscape>(word) >> done;
      word >>= done;
      if (converted == 0) {
        std::memcpy(out, &word, sizeof word);  // the room has slack for the whole word
        return out + left;
      }
    } else {
      // A short piece byte by byte.
      while (in != end) {
        if (!PutByteForm<kEscape>(out, static_cast<unsigned char>(*in++))) return out;
      }
      return out;
    }
    // The bytes in front of the first to convert go in one move, that byte by its form.
    const auto copied = static_cast<std::size_t>(std::countr_zero(converted)) / 8;
    std::memcpy(out, &word, sizeof word);
    out += copied;
    in += copied;
    if (!PutByteForm<kEscape>(out, static_cast<unsigned char>(*in++))) return out;
  }
  return out;
}

char* RoomFor(IsoOutputFile& output, std::size_t size) {
  if (!output.stream) detail::RaiseIsoWriteFailure();
  FileStatus status;
  char* room = output.stream->Room(size, status);
  if (room == nullptr) {
    output.write_error = status.error;
    detail::RaiseIsoWriteFailure();
  }
  return room;
}

// Bytes that need no conversion (tabs, line ends, numbers the writer formed).
void AppendToStream(IsoOutputFile& output, std::string_view bytes) {
  if (!output.stream) detail::RaiseIsoWriteFailure();
  if (const FileStatus status = output.stream->Append(bytes); !status) {
    output.write_error = status.error;
    detail::RaiseIsoWriteFailure();
  }
}

// A text in its document form, converted straight into the output buffer piece by piece.
template <bool kEscape>
void AppendConverted(IsoOutputFile& output, std::string_view text) {
  do {
    const std::string_view piece = text.substr(0, kConversionChunk);
    text.remove_prefix(piece.size());
    char* const start = RoomFor(output, piece.size() * kLongestXmlByteForm + kXmlLineSlack);
    output.stream->Commit(static_cast<std::size_t>(ConvertInto<kEscape>(start, piece) - start));
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

// A text argument ends at its first NUL, as a C string does.
std::string_view UpToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

}  // namespace

namespace detail {

void XmlTemplateMismatch(const char*) {}

void RaiseIsoWriteFailure() { throw static_cast<std::int32_t>(IDS_WRITE_FILE_ERROR); }

void CopyLong(char* out, const char* in, std::size_t size) { std::memcpy(out, in, size); }

char* EscapeXmlTextInto(char* out, std::string_view text) { return ConvertInto<true>(out, text); }

void WriteXmlElementInPieces(IsoOutputFile& output, int level, const XmlPiece* pieces, const XmlArg* args) {
  AppendTabs(output, level);
  for (;; ++pieces, ++args) {
    AppendToStream(output, std::string_view(pieces->text, pieces->size));
    if (args->kind == XmlArgKind::kNone) break;
    // Each argument is written in its document form as it stands: a "%" it brings in is
    // never read as a directive.
    switch (args->kind) {
      case XmlArgKind::kCleaned:
        AppendCleaned(output, args->text);
        break;
      case XmlArgKind::kEscaped:
        AppendConverted<true>(output, UpToNul(args->text));
        break;
      case XmlArgKind::kPlain:
        AppendToStream(output, args->text);
        break;
      case XmlArgKind::kInt32: {
        char digits[16];
        const auto result = std::to_chars(digits, digits + sizeof digits, args->number);
        AppendToStream(output, std::string_view(digits, static_cast<std::size_t>(result.ptr - digits)));
        break;
      }
      case XmlArgKind::kNone:
      case XmlArgKind::kUnsupported:
        break;
    }
  }
  AppendToStream(output, "\r\n");
}

}  // namespace detail

FileStatus CreateIsoOutput(IsoOutputFile& output, std::string_view file_name) {
  output.final_name.assign(file_name);
  output.temporary_name.assign(file_name).append(".tmp");
  FileStatus status;
  const FileHandle handle = output.file_system.Create(output.temporary_name, status);
  if (handle == kInvalidFile) return status;
  output.stream.emplace(output.file_system, handle);
  // The document is synced before it takes its final name: every megabyte its bytes are set
  // off for the disk and synced on a helper thread, so that sync has only the last left.
  output.stream->WriteBackAsItGoes(std::size_t{1} << 20);
  return {};
}

void OpenIsoOutput(IsoOutputFile& output, std::string_view file_name) {
  // The 2009 document is opened through the C runtime, so its failure is the runtime's
  // error number, not the system's code.
  if (const FileStatus status = CreateIsoOutput(output, file_name); !status) throw CrtErrnoFromWin32(status.error);
}

void WriteXmlText(IsoOutputFile& output, std::string_view text) { AppendConverted<false>(output, text); }

void WriteXmlLine(IsoOutputFile& output, int level, std::string_view text) {
  const std::size_t tabs = detail::XmlTabCount(level);
  if (char* const start = detail::XmlLineRoom(output, tabs + text.size() * kLongestXmlByteForm + 2 + kXmlLineSlack)) {
    char* const end = detail::PutXmlLineEnd(ConvertInto<false>(detail::PutXmlTabs(start, tabs), text));
    output.stream->Commit(static_cast<std::size_t>(end - start));
    return;
  }
  AppendTabs(output, level);
  AppendConverted<false>(output, text);
  AppendToStream(output, "\r\n");
}

void FinishIsoOutput(IsoOutputFile& output) {
  if (!output.stream || !output.stream->is_open()) detail::RaiseIsoWriteFailure();
  if (const FileStatus flushed = output.stream->Flush(); !flushed) {
    output.write_error = flushed.error;
    detail::RaiseIsoWriteFailure();
  }
  if (const FileStatus synced = output.stream->Sync(); !synced) AtlThrow(HRESULT_FROM_WIN32(synced.error));
  const FileStatus closed = output.stream->Close();
  output.stream.reset();
  if (!closed) AtlThrow(HRESULT_FROM_WIN32(closed.error));
  const FileStatus renamed = output.file_system.Rename(output.temporary_name, output.final_name);
  if (!renamed) AtlThrow(HRESULT_FROM_WIN32(renamed.error));
}

}  // namespace ordexa
