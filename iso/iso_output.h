// The output of one ISO 20022 document: lines of TAB-indented UTF-8 XML with CR LF line
// ends, streamed through one buffer into "<name>.tmp" and renamed over the final name
// once the document is complete.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

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

namespace detail {

enum class XmlArgKind : std::uint8_t { kNone, kCleaned, kEscaped, kInt32, kUnsupported };

template <class T>
consteval XmlArgKind XmlArgKindOf() {
  using U = std::remove_cvref_t<T>;
  if constexpr (std::is_same_v<U, CleanedText>) return XmlArgKind::kCleaned;
  else if constexpr (std::is_same_v<U, EscapedText>) return XmlArgKind::kEscaped;
  else if constexpr (std::is_same_v<U, std::int32_t>) return XmlArgKind::kInt32;
  else return XmlArgKind::kUnsupported;
}

// Reached only when an element template does not match its arguments: calling a function
// that is not constexpr from the consteval check makes the mistake a compile error.
void XmlTemplateMismatch(const char* reason);

// One argument as the element formatter reads it.
struct XmlArg {
  XmlArgKind kind = XmlArgKind::kNone;
  std::string_view text;
  std::int32_t number = 0;
};

inline XmlArg MakeXmlArg(const CleanedText& argument) { return {XmlArgKind::kCleaned, argument.text, 0}; }
inline XmlArg MakeXmlArg(const EscapedText& argument) { return {XmlArgKind::kEscaped, argument.text, 0}; }
inline XmlArg MakeXmlArg(std::int32_t argument) { return {XmlArgKind::kInt32, {}, argument}; }

// An element template ("<NbOfTxs>%i</NbOfTxs>"): "%s" takes CleanedText or EscapedText,
// "%i" a std::int32_t. Checked against the argument types at compile time.
template <class... Args>
class XmlElementTemplate {
 public:
  template <class S>
    requires std::is_convertible_v<const S&, std::string_view>
  consteval XmlElementTemplate(const S& element_template) : text_(element_template) {
    constexpr std::array<XmlArgKind, sizeof...(Args) + 1> kinds{XmlArgKindOf<Args>()..., XmlArgKind::kNone};
    std::size_t count = 0;
    for (std::size_t i = 0; i < text_.size(); ++i) {
      // Template text reaches the document as it stands, so it must be printable ASCII.
      if (text_[i] < 0x20 || text_[i] > 0x7E) XmlTemplateMismatch("element template text is not printable ASCII");
      if (text_[i] != '%') continue;
      if (i + 1 == text_.size()) XmlTemplateMismatch("element template ends inside a directive");
      const char directive = text_[++i];
      const bool is_text = directive == 's';
      if (!is_text && directive != 'i') XmlTemplateMismatch("unknown element template directive");
      if (count == sizeof...(Args)) XmlTemplateMismatch("more directives than arguments");
      const XmlArgKind kind = kinds[count++];
      const bool matches = is_text ? (kind == XmlArgKind::kCleaned || kind == XmlArgKind::kEscaped)
                                   : kind == XmlArgKind::kInt32;
      if (!matches) XmlTemplateMismatch("element argument does not match its directive");
    }
    if (count != sizeof...(Args)) XmlTemplateMismatch("more arguments than directives");
  }

  std::string_view text() const { return text_; }

 private:
  std::string_view text_;
};

void WriteFormattedXmlElement(IsoOutputFile& output, int level, std::string_view element_template,
                              const XmlArg* args);

}  // namespace detail

// OpenIsoOutput()
// Names the output (`file_name` and `file_name` + ".tmp") and creates the temporary file,
// emptying an existing one; no byte-order mark is written. Raises a plain std::int32_t,
// the Win32 error code of the creation (3 for a folder that does not exist), when it
// cannot be created; the final file is not touched.
// Example: OpenIsoOutput(output, "C:\\pay\\lohn.xml") writes through "C:\\pay\\lohn.xml.tmp".
void OpenIsoOutput(IsoOutputFile& output, std::string_view file_name);

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

// WriteXmlElement()
// Forms one element line from its template and arguments and writes it like
// WriteXmlLine. The formed text is written as it stands: a "%" that an argument brings in
// is never read as a directive. Fails as WriteXmlText.
// Example: WriteXmlElement(output, 5, "<InstrId>QRN-%i</InstrId>", 3) writes
// "\t\t\t\t\t<InstrId>QRN-3</InstrId>\r\n".
template <class... Args>
void WriteXmlElement(IsoOutputFile& output, int level,
                     detail::XmlElementTemplate<std::type_identity_t<Args>...> element_template,
                     const Args&... args) {
  const std::array<detail::XmlArg, sizeof...(Args) + 1> values{detail::MakeXmlArg(args)..., detail::XmlArg{}};
  detail::WriteFormattedXmlElement(output, level, element_template.text(), values.data());
}

// FinishIsoOutput()
// Writes out the buffer, syncs and closes the temporary file and renames it over the
// final name, which thereby appears whole or is replaced whole. A failing write raises
// std::int32_t 2002; a failing sync, close or rename raises CAtlException with
// HRESULT_FROM_WIN32 of the error. The temporary file then stays; the final file is untouched.
void FinishIsoOutput(IsoOutputFile& output);

}  // namespace ordexa
