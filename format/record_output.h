// Fixed-width record output: printf-style record formats, checked against their arguments
// at compile time, formatted straight into the file's buffer.
//
// Field conventions (the original runtime's printf as the record layouts rely on it):
//   "%-24.24s"  text, blank-filled on the right to 24, cut after 24
//   "%12s"      text, blank-filled on the left to at least 12, never cut
//   "%09.9s"    text, '0'-filled on the left to 9, cut after 9 (zero fill of a text)
//   "%05.5ld"   32-bit number, at least 5 digits, '0'-filled, never cut ("%04.4hd": 16-bit)
//   "%02d"      32-bit number, '0'-filled to width 2 ("-1" stays "-1")
//   "%c"        one character
// Arguments: texts (anything convertible to std::string_view; read up to a NUL as a C
// string would be; CleanedRecordText is cleaned as it is written, SingleLineRecordText has
// its line breaks written as blanks), std::int32_t for d/i/ld, std::int16_t for hd, char for c. Any other
// argument type, a count mismatch or an unknown directive is a compile error.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "format/record_text.h"
#include "platform/buffered_file.h"

namespace ordexa {

namespace detail {

enum class RecordArgKind : std::uint8_t { kNone, kText, kInt32, kInt16, kChar, kUnsupported };

template <class T>
consteval RecordArgKind RecordArgKindOf() {
  using U = std::remove_cvref_t<T>;
  if constexpr (std::is_same_v<U, char>) return RecordArgKind::kChar;
  else if constexpr (std::is_same_v<U, std::int16_t>) return RecordArgKind::kInt16;
  else if constexpr (std::is_same_v<U, std::int32_t>) return RecordArgKind::kInt32;
  else if constexpr (std::is_same_v<U, CleanedRecordText>) return RecordArgKind::kText;
  else if constexpr (std::is_same_v<U, SingleLineRecordText>) return RecordArgKind::kText;
  else if constexpr (std::is_convertible_v<const U&, std::string_view>) return RecordArgKind::kText;
  else return RecordArgKind::kUnsupported;
}

// One field directive of a record format.
struct RecordField {
  char conversion = 0;  // 's', 'd' or 'c'
  bool left_align = false;
  bool zero_fill = false;
  bool has_precision = false;
  std::uint32_t width = 0;
  std::uint32_t precision = 0;
  RecordArgKind kind = RecordArgKind::kNone;
};

inline constexpr std::uint32_t kMaxRecordFieldWidth = 1000000;

// Reached only when a record format does not match its arguments: calling a function that
// is not constexpr from the consteval check makes the mistake a compile error.
void RecordFormatMismatch(const char* reason);

// ReadRecordField(): reads the directive that starts at the '%' at `format[at]` into
// `field` and returns the position behind it. The formatter reads formats that have
// passed the compile-time check, so a malformed directive only ever stops a compilation.
constexpr std::size_t ReadRecordField(std::string_view format, std::size_t at, RecordField& field) {
  std::size_t i = at + 1;
  if (i < format.size() && format[i] == '%') RecordFormatMismatch("\"%%\" is not a record field");
  for (; i < format.size() && (format[i] == '-' || format[i] == '0'); ++i) {
    if (format[i] == '-') field.left_align = true;
    else field.zero_fill = true;
  }
  for (; i < format.size() && format[i] >= '0' && format[i] <= '9'; ++i) {
    field.width = field.width * 10 + static_cast<std::uint32_t>(format[i] - '0');
    if (field.width > kMaxRecordFieldWidth) RecordFormatMismatch("record field too wide");
  }
  if (i < format.size() && format[i] == '.') {
    field.has_precision = true;
    for (++i; i < format.size() && format[i] >= '0' && format[i] <= '9'; ++i) {
      field.precision = field.precision * 10 + static_cast<std::uint32_t>(format[i] - '0');
      if (field.precision > kMaxRecordFieldWidth) RecordFormatMismatch("record field too wide");
    }
  }
  char length = 0;
  if (i < format.size() && (format[i] == 'h' || format[i] == 'l')) length = format[i++];
  if (i == format.size()) {
    RecordFormatMismatch("record format ends inside a field");
    return i;
  }
  const char conversion = format[i++];
  switch (conversion) {
    case 's':
      if (length != 0) RecordFormatMismatch("length modifier on a text field");
      field.kind = RecordArgKind::kText;
      break;
    case 'd':
    case 'i':
      field.kind = length == 'h' ? RecordArgKind::kInt16 : RecordArgKind::kInt32;
      break;
    case 'c':
      if (length != 0) RecordFormatMismatch("length modifier on a character field");
      field.kind = RecordArgKind::kChar;
      break;
    default:
      RecordFormatMismatch("unknown record field conversion");
  }
  field.conversion = conversion == 'i' ? 'd' : conversion;
  return i;
}

// CheckRecordFormat(): every directive of `format` matches the argument kind at its place,
// and there are exactly as many directives as arguments.
template <std::size_t N>
consteval void CheckRecordFormat(std::string_view format, const std::array<RecordArgKind, N>& kinds) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < format.size();) {
    if (format[i] != '%') {
      ++i;
      continue;
    }
    RecordField field;
    i = ReadRecordField(format, i, field);
    if (count == N) RecordFormatMismatch("more record fields than arguments");
    else if (kinds[count] == RecordArgKind::kUnsupported) RecordFormatMismatch("unsupported record argument type");
    else if (kinds[count] != field.kind) RecordFormatMismatch("record argument does not match its field");
    ++count;
  }
  if (count != N) RecordFormatMismatch("fewer record fields than arguments");
}

// A field directive with the literal text in front of it (a part of the format text).
struct RecordFieldAt {
  std::uint32_t literal_start = 0;
  std::uint32_t literal_size = 0;
  RecordField field;
};

// A record format read once, when the program is compiled: its fields in order and the
// literal text behind the last one.
struct RecordLayout {
  const RecordFieldAt* fields = nullptr;
  std::size_t field_count = 0;
  std::uint32_t tail_start = 0;
  std::uint32_t tail_size = 0;
  // The most bytes the format gives, texts of uncut fields not counted; such a field
  // ("%s", "%12s") adds at most its text's length.
  std::size_t size_bound = 0;
  bool has_uncut_text = false;
};

// RecordFieldBound(): the most bytes one field gives, the text of an uncut text field not
// counted (it adds at most its length).
constexpr std::size_t RecordFieldBound(const RecordField& field) {
  const auto at_least = [&field](std::size_t size) -> std::size_t { return field.width > size ? field.width : size; };
  switch (field.conversion) {
    case 's':
      return field.has_precision ? at_least(field.precision) : field.width;
    case 'c':
      return at_least(1);
    default:
      // A sign and ten digits, or more zeros when the precision asks for them.
      return at_least(1 + (field.precision > 10 ? field.precision : 10));
  }
}

// One argument as the formatter reads it.
struct RecordArg {
  std::string_view text;
  std::int32_t number = 0;
  char character = 0;
  bool ends_at_nul = true;  // read as a C string; a cleaned text is read whole
  const RecordByteMap* map = nullptr;  // the text's bytes go through this map as they are written
};

template <class T>
RecordArg MakeRecordArg(const T& value) {
  RecordArg arg;
  if constexpr (std::is_same_v<T, CleanedRecordText>) {
    arg.text = value.text;
    arg.ends_at_nul = false;
    arg.map = &RecordCleaningMap();
  } else if constexpr (std::is_same_v<T, SingleLineRecordText>) {
    arg.text = value.text;
    arg.map = &SingleLineMap();
  } else if constexpr (RecordArgKindOf<T>() == RecordArgKind::kText) {
    arg.text = std::string_view(value);
  } else if constexpr (RecordArgKindOf<T>() == RecordArgKind::kChar) {
    arg.character = value;
  } else {
    arg.number = value;
  }
  return arg;
}

}  // namespace detail

// A record format checked against the types of its arguments and read into its fields
// when the program is compiled, so writing a record parses nothing.
template <class... Args>
class RecordFormat {
 public:
  template <class S>
    requires std::is_convertible_v<const S&, std::string_view>
  consteval RecordFormat(const S& format) : text_(format) {
    detail::CheckRecordFormat<sizeof...(Args)>(text_, {detail::RecordArgKindOf<Args>()...});
    std::size_t literal_start = 0;
    std::size_t count = 0;
    for (std::size_t i = 0; i < text_.size();) {
      if (text_[i] != '%') {
        ++i;
        continue;
      }
      detail::RecordFieldAt& at = fields_[count++];
      at.literal_start = static_cast<std::uint32_t>(literal_start);
      at.literal_size = static_cast<std::uint32_t>(i - literal_start);
      i = detail::ReadRecordField(text_, i, at.field);
      literal_start = i;
      size_bound_ += at.literal_size + detail::RecordFieldBound(at.field);
      if (at.field.conversion == 's' && !at.field.has_precision) has_uncut_text_ = true;
    }
    tail_start_ = static_cast<std::uint32_t>(literal_start);
    tail_size_ = static_cast<std::uint32_t>(text_.size() - literal_start);
    size_bound_ += tail_size_;
  }

  constexpr std::string_view text() const { return text_; }
  constexpr detail::RecordLayout layout() const {
    return {fields_.data(), sizeof...(Args), tail_start_, tail_size_, size_bound_, has_uncut_text_};
  }

 private:
  std::string_view text_;
  // Never an empty array: clang 14 builds a format without fields in a consteval
  // constructor with its tail lost when the object holds an empty std::array.
  std::array<detail::RecordFieldAt, sizeof...(Args) == 0 ? 1 : sizeof...(Args)> fields_{};
  std::uint32_t tail_start_ = 0;
  std::uint32_t tail_size_ = 0;
  std::size_t size_bound_ = 0;
  bool has_uncut_text_ = false;
};

// RecordFormatText: a record format as a template argument (see
// RecordOutput::Put).
template <std::size_t N>
struct RecordFormatText {
  char text[N] = {};
  consteval RecordFormatText(const char (&format)[N]) {
    for (std::size_t i = 0; i < N; ++i) text[i] = format[i];
  }
  constexpr std::string_view view() const { return {text, N - 1}; }
};

namespace detail {

// A record format read when the program is compiled, held by value so that its
// fields can be template arguments themselves.
template <std::size_t kFieldCount>
struct CompiledRecordLayout {
  std::array<RecordFieldAt, kFieldCount == 0 ? 1 : kFieldCount> fields{};
  std::uint32_t tail_start = 0;
  std::uint32_t tail_size = 0;
  std::size_t size_bound = 0;
  bool has_uncut_text = false;
};

template <RecordFormatText kFormat, class... Args>
consteval CompiledRecordLayout<sizeof...(Args)> CompileRecordLayout() {
  const RecordFormat<Args...> format(kFormat.view());
  const RecordLayout layout = format.layout();
  CompiledRecordLayout<sizeof...(Args)> compiled;
  for (std::size_t i = 0; i < sizeof...(Args); ++i) compiled.fields[i] = layout.fields[i];
  compiled.tail_start = layout.tail_start;
  compiled.tail_size = layout.tail_size;
  compiled.size_bound = layout.size_bound;
  compiled.has_uncut_text = layout.has_uncut_text;
  return compiled;
}

// Fixed-width fields up to this width are filled by one copy of a fill text
// this long.
inline constexpr std::size_t kFieldFillMove = 128;
inline constexpr char kFieldBlanks[kFieldFillMove + 1] =
    "                                                                "
    "                                                                ";
inline constexpr char kFieldZeros[kFieldFillMove + 1] =
    "0000000000000000000000000000000000000000000000000000000000000000"
    "0000000000000000000000000000000000000000000000000000000000000000";

// A text argument as the compiled formatter reads it: the bytes, whether they
// end at a NUL (a C string; a cleaned text is read whole) and the byte map they
// go through.
template <class T>
struct TextArgTraits {
  static std::string_view Text(const T &value) { return std::string_view(value); }
  static constexpr bool kEndsAtNul = true;
  static constexpr const RecordByteMap *Map() { return nullptr; }
};
template <>
struct TextArgTraits<CleanedRecordText> {
  static std::string_view Text(const CleanedRecordText &value) { return value.text; }
  static constexpr bool kEndsAtNul = false;
  static const RecordByteMap *Map() { return &RecordCleaningMap(); }
};
template <>
struct TextArgTraits<SingleLineRecordText> {
  static std::string_view Text(const SingleLineRecordText &value) { return value.text; }
  static constexpr bool kEndsAtNul = true;
  static const RecordByteMap *Map() { return &SingleLineMap(); }
};

// The bytes of a text argument that a field with at most `limit` bytes of text
// writes.
template <class T>
inline std::string_view FieldText(const T &value, std::size_t limit) {
  std::string_view text = TextArgTraits<T>::Text(value);
  if (text.size() > limit) text = text.substr(0, limit);
  if constexpr (TextArgTraits<T>::kEndsAtNul) {
    const void *nul = text.empty() ? nullptr : std::memchr(text.data(), '\0', text.size());
    if (nul != nullptr) text = text.substr(0, static_cast<std::size_t>(static_cast<const char *>(nul) - text.data()));
  }
  return text;
}

template <class T>
inline void PutFieldBytes(char *out, std::string_view text) {
  if constexpr (std::is_same_v<T, CleanedRecordText> || std::is_same_v<T, SingleLineRecordText>) {
    MapRecordTextInto(text, *TextArgTraits<T>::Map(), out);
  } else if (!text.empty()) {
    std::memcpy(out, text.data(), text.size());
  }
}

// Any field by the general rules, into room that has kFillMove bytes to spare.
std::size_t PutGeneralField(char *out, const RecordField &field, const RecordArg &arg);

inline constexpr std::uint32_t kPowersOfTen[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

// A field as one number, so that it can be a template argument of a scalar type
// (class type arguments that differ only in their flags are taken for one
// another by GCC 12).
constexpr std::uint64_t FieldCode(const RecordField &field) {
  return static_cast<std::uint64_t>(static_cast<unsigned char>(field.conversion)) |
         static_cast<std::uint64_t>(field.left_align) << 8 | static_cast<std::uint64_t>(field.zero_fill) << 9 |
         static_cast<std::uint64_t>(field.has_precision) << 10 | static_cast<std::uint64_t>(field.kind) << 11 |
         static_cast<std::uint64_t>(field.width) << 16 | static_cast<std::uint64_t>(field.precision) << 40;
}
constexpr RecordField FieldOfCode(std::uint64_t code) {
  RecordField field;
  field.conversion = static_cast<char>(code & 0xFF);
  field.left_align = (code >> 8 & 1) != 0;
  field.zero_fill = (code >> 9 & 1) != 0;
  field.has_precision = (code >> 10 & 1) != 0;
  field.kind = static_cast<RecordArgKind>(code >> 11 & 0x1F);
  field.width = static_cast<std::uint32_t>(code >> 16 & 0xFFFFFF);
  field.precision = static_cast<std::uint32_t>(code >> 40 & 0xFFFFFF);
  return field;
}
static_assert(kMaxRecordFieldWidth < (1u << 24), "a field width fits its place in a field code");

// PutFilledField(): a text no longer than the field's width: the whole field filled at
// once, the text copied over its place; `out` moves behind the field.
template <std::uint64_t kCode, class T>
inline void PutFilledField(char *&out, std::string_view text) {
  static constexpr RecordField kField = FieldOfCode(kCode);
  if constexpr (kField.left_align) {
    std::memcpy(out, kFieldBlanks, kField.width);
    PutFieldBytes<T>(out, text);
  } else {
    std::memcpy(out, kField.zero_fill ? kFieldZeros : kFieldBlanks, kField.width);
    PutFieldBytes<T>(out + kField.width - text.size(), text);
  }
  out += kField.width;
}

// PutField(): one field written at `out`, which moves behind it.
template <std::uint64_t kCode, class T>
inline void PutField(char *&out, const T &value) {
  static constexpr RecordField kField = FieldOfCode(kCode);
  if constexpr (kField.conversion == 's' && kField.has_precision && kField.width >= kField.precision &&
                kField.width <= kFieldFillMove) {
    // Fixed width: the text is cut to the precision, which the width holds.
    PutFilledField<kCode, T>(out, FieldText(value, kField.precision));
  } else if constexpr (kField.conversion == 's' && !kField.has_precision && kField.width <= kFieldFillMove) {
    // An uncut text no longer than the width (a blank field, a date) fills it
    // exactly.
    const std::string_view text = FieldText(value, static_cast<std::size_t>(-1));
    if (text.size() <= kField.width) {
      PutFilledField<kCode, T>(out, text);
    } else {
      out += PutGeneralField(out, kField, MakeRecordArg(value));
    }
  } else if constexpr (kField.conversion == 'c' && kField.width <= 1) {
    *out++ = value;
  } else if constexpr (kField.conversion == 'd' && kField.kind == RecordArgKind::kInt32 && kField.has_precision &&
                       kField.precision >= 1 && kField.precision <= 8 && kField.width <= kField.precision) {
    // A number that fits its digits: exactly `precision` digits, leading zeros
    // included.
    if (value >= 0 && static_cast<std::uint32_t>(value) < kPowersOfTen[kField.precision]) {
      auto magnitude = static_cast<std::uint32_t>(value);
      for (std::size_t i = kField.precision; i-- > 0;) {
        out[i] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
      }
      out += kField.precision;
    } else {
      out += PutGeneralField(out, kField, MakeRecordArg(value));
    }
  } else {
    out += PutGeneralField(out, kField, MakeRecordArg(value));
  }
}

// PutFieldAt(): the literal text in front of a field, then the field.
template <auto kFormat, std::uint32_t kLiteralStart, std::uint32_t kLiteralSize, std::uint64_t kCode, class T>
inline void PutFieldAt(char *&out, const T &value) {
  if constexpr (kLiteralSize != 0) {
    std::memcpy(out, kFormat.text + kLiteralStart, kLiteralSize);
    out += kLiteralSize;
  }
  PutField<kCode>(out, value);
}

template <class T>
inline std::size_t UncutTextSize(const RecordField &field, const T &value) {
  if constexpr (RecordArgKindOf<T>() == RecordArgKind::kText) {
    return field.conversion == 's' && !field.has_precision ? TextArgTraits<T>::Text(value).size() : 0;
  } else {
    return 0;
  }
}

}  // namespace detail

// A short record text held without allocation (a date, a transaction number, a postal
// account in its record form).
inline constexpr std::size_t kShortRecordTextCapacity = 48;
struct ShortRecordText {
  char data[kShortRecordTextCapacity];
  std::uint8_t size = 0;
  std::string_view view() const { return {data, size}; }
  operator std::string_view() const { return view(); }
};

// RecordOutput: the open output file of a fixed-record writer, buffered.
class RecordOutput {
 public:
  // Takes over an open handle of `file_system`.
  RecordOutput(const FileSystem& file_system, FileHandle handle) : file_(file_system, handle) {}

  // Write(): the formatted pieces, in order, exactly as the format and arguments give
  // them. A failing write raises MPayError 2002 with HRESULT_FROM_WIN32 of its error code.
  template <class... Args>
  void Write(RecordFormat<std::type_identity_t<Args>...> format, const Args&... args) {
    const detail::RecordArg values[sizeof...(Args) + 1] = {detail::MakeRecordArg(args)..., {}};
    WriteFormatted(format.text(), format.layout(), values);
  }

  // Put(): Write() for a format given as a template argument: every field is
  // written by code made for it when the program is compiled (a fixed-width
  // text is one bounded copy over its fill). The same bytes as Write() with the
  // same format and arguments.
  template <RecordFormatText kFormat, class... Args>
  void Put(const Args &...args);

  // Close(): writes out the buffer and closes the file; raises MPayError 2002 on failure.
  void Close();

 private:
  friend struct RecordOutputSink;
  // RoomFor(): `size` bytes of buffer room (at most BufferedFile::kBufferSize);
  // raises the write failure when the buffer cannot be written out.
  char *RoomFor(std::size_t size) {
    FileStatus status;
    char *const room = file_.Room(size, status);
    if (room == nullptr) CheckRoomFailure(status);
    return room;
  }
  // Raises the write failure `status` names; null room without an error writes
  // nothing.
  static void CheckRoomFailure(FileStatus status);
  void WriteFormatted(std::string_view text, const detail::RecordLayout& layout, const detail::RecordArg* args);
  void Append(std::string_view bytes);
  void AppendMapped(std::string_view text, const RecordByteMap& map);
  void AppendFill(char fill, std::size_t count);

  BufferedFile file_;
};

template <RecordFormatText kFormat, class... Args>
void RecordOutput::Put(const Args &...args) {
  static constexpr detail::CompiledRecordLayout<sizeof...(Args)> kLayout =
      detail::CompileRecordLayout<kFormat, Args...>();
  std::size_t bound = kLayout.size_bound;
  if constexpr (kLayout.has_uncut_text) {
    std::size_t index = 0;
    ((bound += detail::UncutTextSize(kLayout.fields[index++].field, args)), ...);
  }
  if (bound + detail::kFieldFillMove > BufferedFile::kBufferSize) {
    Write<Args...>(RecordFormat<std::type_identity_t<Args>...>(kFormat.view()), args...);
    return;
  }
  // The fills copy whole fill texts, so the room reaches that far past the
  // record.
  char *const room = RoomFor(bound + detail::kFieldFillMove);
  if (room == nullptr) return;
  char *out = room;
  [&]<std::size_t... kIndex>(std::index_sequence<kIndex...>) {
    (detail::PutFieldAt<kFormat, kLayout.fields[kIndex].literal_start, kLayout.fields[kIndex].literal_size,
                        detail::FieldCode(kLayout.fields[kIndex].field)>(out, args),
     ...);
  }
  (std::index_sequence_for<Args...>{});
  if constexpr (kLayout.tail_size != 0) {
    std::memcpy(out, kFormat.text + kLayout.tail_start, kLayout.tail_size);
    out += kLayout.tail_size;
  }
  file_.Commit(static_cast<std::size_t>(out - room));
}

// PutRecordText()
// WriteRecordText with the format as a template argument (see
// RecordOutput::Put). Example: PutRecordText<"%-5.5s%05.5ld">(out, text,
// entry_sequence);
template <RecordFormatText kFormat, class... Args>
void PutRecordText(RecordOutput &output, const Args &...args) {
  output.Put<kFormat>(args...);
}

// WriteRecordText()
// Formats one piece of a record into `output` (see RecordOutput::Write). Nothing is
// added: no separator, no line end; "\n" in a format is one line-feed byte.
// Example: WriteRecordText(out, "%-5.5s%05.5ld", text, entry_sequence);
template <class... Args>
void WriteRecordText(RecordOutput& output, RecordFormat<std::type_identity_t<Args>...> format,
                     const Args&... args) {
  output.Write<Args...>(format, args...);
}

// FormatRecordText()
// The same formatting into a string, for the few record texts that are built before they
// are written (the DTA transaction number) and for tests.
// Example: FormatRecordText("%03.3s%04.4hd%04.4ld", "M01", std::int16_t{1}, 5) == "M0100010005".
template <class... Args>
std::string FormatRecordText(RecordFormat<std::type_identity_t<Args>...> format, const Args&... args);

namespace detail {
std::string FormatRecordString(std::string_view text, const RecordLayout& layout, const RecordArg* args);
[[noreturn]] void RaiseShortRecordFormat();
// Formats into `out`, which has room for the layout's size bound; returns the size.
std::size_t FormatRecordInto(char* out, std::string_view text, const RecordLayout& layout, const RecordArg* args);
}

template <class... Args>
std::string FormatRecordText(RecordFormat<std::type_identity_t<Args>...> format, const Args&... args) {
  const detail::RecordArg values[sizeof...(Args) + 1] = {detail::MakeRecordArg(args)..., {}};
  return detail::FormatRecordString(format.text(), format.layout(), values);
}

// FormatShortRecordText()
// FormatRecordText into a ShortRecordText, for the short record texts the writers form per
// payment. Example: FormatShortRecordText("%02d%02d%02d", 24, 4, 2).view() == "240402".
// The format must cut every text field to its precision and give at most
// kShortRecordTextCapacity bytes; a format that could give more raises std::logic_error
// whatever its arguments (a mistake in the program, never caused by input).
template <class... Args>
ShortRecordText FormatShortRecordText(RecordFormat<std::type_identity_t<Args>...> format, const Args&... args) {
  const detail::RecordLayout layout = format.layout();
  if (layout.has_uncut_text || layout.size_bound > kShortRecordTextCapacity) detail::RaiseShortRecordFormat();
  const detail::RecordArg values[sizeof...(Args) + 1] = {detail::MakeRecordArg(args)..., {}};
  ShortRecordText text;
  text.size = static_cast<std::uint8_t>(detail::FormatRecordInto(text.data, format.text(), layout, values));
  return text;
}

}  // namespace ordexa
