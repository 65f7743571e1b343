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
#include <string>
#include <string_view>
#include <type_traits>

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

  // Close(): writes out the buffer and closes the file; raises MPayError 2002 on failure.
  void Close();

 private:
  friend struct RecordOutputSink;
  void WriteFormatted(std::string_view text, const detail::RecordLayout& layout, const detail::RecordArg* args);
  void Append(std::string_view bytes);
  void AppendMapped(std::string_view text, const RecordByteMap& map);
  void AppendFill(char fill, std::size_t count);

  BufferedFile file_;
};

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
