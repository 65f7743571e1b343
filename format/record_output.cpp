// Fixed-width record output: the runtime's printf field rules for texts, whole numbers and
// characters, formatted straight into the file buffer.
#include "format/record_output.h"

#include <cstring>
#include <stdexcept>
#include <string>

#include "failure/failure.h"

namespace ordexa {

namespace detail {

void RecordFormatMismatch(const char*) {}

void RaiseShortRecordFormat() { throw std::logic_error("record format too long for a short record text"); }

namespace {

// A C string argument ends at its first NUL, whatever the text holds behind it; only the
// first `limit` bytes can be written, so only they are searched.
std::string_view AsCString(std::string_view text, std::size_t limit) {
  const std::size_t searched = text.size() < limit ? text.size() : limit;
  const void* nul = searched == 0 ? nullptr : std::memchr(text.data(), '\0', searched);
  return nul == nullptr ? text : text.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - text.data()));
}

// Appends one field to `sink` by the field's conversion and flags.
template <class Sink>
void AppendField(Sink& sink, const RecordField& field, const RecordArg& arg) {
  if (field.conversion == 's') {
    // A cleaned text holds no NUL (cleaning makes it a blank), so it is not searched.
    std::string_view text =
        arg.ends_at_nul ? AsCString(arg.text, field.has_precision ? field.precision : arg.text.size()) : arg.text;
    if (field.has_precision && text.size() > field.precision) text = text.substr(0, field.precision);
    const std::size_t fill = field.width > text.size() ? field.width - text.size() : 0;
    if (!field.left_align) {
      // The original runtime fills a zero-flagged text field with '0', not with blanks.
      sink.Fill(field.zero_fill ? '0' : ' ', fill);
    }
    if (arg.map != nullptr) {
      sink.AppendMapped(text, *arg.map);
    } else {
      sink.Append(text);
    }
    if (field.left_align) sink.Fill(' ', fill);
    return;
  }
  if (field.conversion == 'c') {
    const std::size_t fill = field.width > 1 ? field.width - 1u : 0;
    if (!field.left_align) sink.Fill(field.zero_fill ? '0' : ' ', fill);
    sink.Append(std::string_view(&arg.character, 1));
    if (field.left_align) sink.Fill(' ', fill);
    return;
  }
  // Whole numbers: "hd" reads the argument as 16-bit, the others as 32-bit.
  const std::int64_t value = field.kind == RecordArgKind::kInt16 ? static_cast<std::int16_t>(arg.number) : arg.number;
  const bool negative = value < 0;
  std::uint64_t magnitude = negative ? static_cast<std::uint64_t>(-value) : static_cast<std::uint64_t>(value);
  char digits[24];
  std::size_t digit_count = 0;
  while (magnitude != 0) {
    digits[sizeof digits - 1 - digit_count++] = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  }
  // A precision is the minimum number of digits ("%.0d" of 0 is empty); without one, at least one digit.
  const std::size_t min_digits = field.has_precision ? field.precision : 1;
  const std::size_t zero_digits = min_digits > digit_count ? min_digits - digit_count : 0;
  const std::size_t body = (negative ? 1 : 0) + zero_digits + digit_count;
  const std::size_t fill = field.width > body ? field.width - body : 0;
  const bool fill_with_zeros = field.zero_fill && !field.left_align && !field.has_precision;
  if (!field.left_align && !fill_with_zeros) sink.Fill(' ', fill);
  if (negative) sink.Append("-");
  if (fill_with_zeros) sink.Fill('0', fill);
  sink.Fill('0', zero_digits);
  sink.Append(std::string_view(digits + sizeof digits - digit_count, digit_count));
  if (field.left_align) sink.Fill(' ', fill);
}

template <class Sink>
void AppendFormatted(Sink& sink, std::string_view text, const RecordLayout& layout, const RecordArg* args) {
  for (std::size_t i = 0; i < layout.field_count; ++i) {
    const RecordFieldAt& at = layout.fields[i];
    if (at.literal_size != 0) sink.Append(text.substr(at.literal_start, at.literal_size));
    AppendField(sink, at.field, args[i]);
  }
  if (layout.tail_size != 0) sink.Append(text.substr(layout.tail_start, layout.tail_size));
}

struct StringSink {
  std::string& out;
  void Append(std::string_view bytes) { out.append(bytes); }
  void AppendMapped(std::string_view text, const RecordByteMap& map) {
    const std::size_t start = out.size();
    out.resize(start + text.size());
    MapRecordTextInto(text, map, out.data() + start);
  }
  void Fill(char c, std::size_t count) { out.append(count, c); }
};

// Fills of up to this many bytes are copied in one move when the room has that much to
// spare behind any place.
constexpr std::size_t kFillMove = 32;
constexpr char kBlanks[kFillMove + 1] = "                                ";
constexpr char kZeros[kFillMove + 1] = "00000000000000000000000000000000";

// Formats into room the buffer has already given: no checks per piece. With `kSpareRoom`
// the room reaches kFillMove bytes past the formatted text, so short fills are one move.
template <bool kSpareRoom>
struct RoomSink {
  char* out;
  void Append(std::string_view bytes) {
    // An empty text may have no bytes at all to point at.
    if (bytes.empty()) return;
    std::memcpy(out, bytes.data(), bytes.size());
    out += bytes.size();
  }
  void AppendMapped(std::string_view text, const RecordByteMap& map) {
    MapRecordTextInto(text, map, out);
    out += text.size();
  }
  void Fill(char c, std::size_t count) {
    if (kSpareRoom && count <= kFillMove && (c == ' ' || c == '0')) {
      std::memcpy(out, c == ' ' ? kBlanks : kZeros, kFillMove);
    } else {
      std::memset(out, c, count);
    }
    out += count;
  }
};

}  // namespace

// RoomSink<true> of its own type, so that the formatter's own use of it keeps its field
// writing inlined.
struct GeneralFieldSink : RoomSink<true> {};

std::size_t PutGeneralField(char* out, const RecordField& field, const RecordArg& arg) {
  GeneralFieldSink sink{{out}};
  AppendField(sink, field, arg);
  return static_cast<std::size_t>(sink.out - out);
}

std::string FormatRecordString(std::string_view text, const RecordLayout& layout, const RecordArg* args) {
  std::string out;
  StringSink sink{out};
  AppendFormatted(sink, text, layout, args);
  return out;
}

std::size_t FormatRecordInto(char* out, std::string_view text, const RecordLayout& layout, const RecordArg* args) {
  RoomSink<false> sink{out};
  AppendFormatted(sink, text, layout, args);
  return static_cast<std::size_t>(sink.out - out);
}

}  // namespace detail

namespace {

// Raises the write failure for a failed buffer write; an error code of 0 is no failure.
// Formats into buffer room with kFillMove bytes to spare; returns the size.
std::size_t FormatRecordIntoSpareRoom(char* out, std::string_view text, const detail::RecordLayout& layout,
                                      const detail::RecordArg* args) {
  detail::RoomSink<true> sink{out};
  detail::AppendFormatted(sink, text, layout, args);
  return static_cast<std::size_t>(sink.out - out);
}

void CheckWrite(FileStatus status) {
  const HRESULT hr = HRESULT_FROM_WIN32(status.error);
  if (FAILED(hr)) RaiseWriteFileError(hr);
}

}  // namespace

struct RecordOutputSink {
  RecordOutput& output;
  void Append(std::string_view bytes) { output.Append(bytes); }
  void AppendMapped(std::string_view text, const RecordByteMap& map) { output.AppendMapped(text, map); }
  void Fill(char c, std::size_t count) { output.AppendFill(c, count); }
};

void RecordOutput::WriteFormatted(std::string_view text, const detail::RecordLayout& layout,
                                  const detail::RecordArg* args) {
  // A piece that surely fits the buffer is formatted straight into it in one go.
  std::size_t bound = layout.size_bound;
  if (layout.has_uncut_text) {
    for (std::size_t i = 0; i < layout.field_count; ++i) {
      const detail::RecordField& field = layout.fields[i].field;
      if (field.conversion == 's' && !field.has_precision) bound += args[i].text.size();
    }
  }
  if (bound + detail::kFillMove <= BufferedFile::kBufferSize) {
    FileStatus status;
    char* const room = file_.Room(bound + detail::kFillMove, status);
    if (room == nullptr) {
      CheckWrite(status);
      return;
    }
    file_.Commit(FormatRecordIntoSpareRoom(room, text, layout, args));
    return;
  }
  RecordOutputSink sink{*this};
  detail::AppendFormatted(sink, text, layout, args);
}

void RecordOutput::CheckRoomFailure(FileStatus status) { CheckWrite(status); }

void RecordOutput::Append(std::string_view bytes) { CheckWrite(file_.Append(bytes)); }

void RecordOutput::AppendMapped(std::string_view text, const RecordByteMap& map) {
  // Mapped straight into the buffer, a buffer's worth at a time.
  while (!text.empty()) {
    const std::string_view piece = text.substr(0, BufferedFile::kBufferSize);
    FileStatus status;
    char* room = file_.Room(piece.size(), status);
    if (room == nullptr) {
      CheckWrite(status);
      return;
    }
    MapRecordTextInto(piece, map, room);
    file_.Commit(piece.size());
    text.remove_prefix(piece.size());
  }
}

void RecordOutput::AppendFill(char fill, std::size_t count) {
  // Filled straight in the buffer, a buffer's worth at a time.
  while (count != 0) {
    const std::size_t piece = count < BufferedFile::kBufferSize ? count : BufferedFile::kBufferSize;
    FileStatus status;
    char* room = file_.Room(piece, status);
    if (room == nullptr) {
      CheckWrite(status);
      return;
    }
    std::memset(room, fill, piece);
    file_.Commit(piece);
    count -= piece;
  }
}

void RecordOutput::Close() { CheckWrite(file_.Close()); }

}  // namespace ordexa
