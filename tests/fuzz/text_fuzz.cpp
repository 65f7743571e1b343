// The text conversions on any bytes. Code page 1252: bytes go to UTF-16 and back unchanged,
// their UTF-8 form decodes to the same characters, and UTF-16 units (lone surrogates and NUL
// included) give exactly one byte per code point, the byte itself wherever the code page
// has the character. Split into a level, a prefix and a text: the record and XML cleaning
// keep the length and hold only the payment character set; an element line with any caller
// text, cleaned or escaped, is well-formed XML that gives the text back, one character per
// input byte up to its first NUL.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "format/record_text.h"
#include "fuzz_support.h"
#include "model/text_conversion.h"
#include "oleauto.h"
#include "platform/cp1252.h"
#include "xml/iso_output.h"
#include "xml/xml_text.h"

namespace {

using namespace ordexa;

// The byte whose character `unit` is exactly, or -1.
int ExactByte(char16_t unit) {
  static const std::vector<int> kBytes = [] {
    std::vector<int> bytes(0x10000, -1);
    for (int byte = 0; byte < 256; ++byte) bytes[Cp1252ToUnicode(static_cast<unsigned char>(byte))] = byte;
    return bytes;
  }();
  return kBytes[unit];
}

void CheckCodePage(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::u16string wide = Cp1252ToWide(bytes);
  FUZZ_CHECK(wide.size() == bytes.size(), "one unit per byte");
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    FUZZ_CHECK(wide[i] == Cp1252ToUnicode(static_cast<unsigned char>(bytes[i])), "unit of a byte");
  }
  FUZZ_CHECK(WideToCp1252(wide) == bytes, "round trip");

  std::string utf8 = "prefix";
  AppendCp1252AsUtf8(utf8, bytes);
  FUZZ_CHECK(utf8.starts_with("prefix") && Cp1252ToUtf8(bytes) == utf8.substr(6), utf8);
  std::u32string code_points;
  FUZZ_CHECK(fuzz::Utf8CodePoints(std::string_view(utf8).substr(6), code_points), utf8);
  FUZZ_CHECK(code_points == std::u32string(wide.begin(), wide.end()), utf8);

  std::string upper = bytes;
  Cp1252ToUpperInPlace(upper);
  for (std::size_t i = 0; i < upper.size(); ++i) {
    FUZZ_CHECK(Cp1252ToUpper(upper[i]) == upper[i], "upper case is upper case");
    FUZZ_CHECK(upper[i] == Cp1252ToUpper(bytes[i]), "upper case by character");
  }

  // The same bytes read as UTF-16 units.
  std::u16string units(size / 2, u'\0');
  for (std::size_t i = 0; i < units.size(); ++i) units[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
  const std::string narrow = WideToCp1252(units);
  std::size_t position = 0;
  for (std::size_t i = 0; i < units.size(); ++i, ++position) {
    FUZZ_CHECK(position < narrow.size(), "one byte per code point");
    const char16_t unit = units[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
      ++i;  // a pair
      continue;
    }
    const int exact = ExactByte(unit);
    if (exact >= 0) FUZZ_CHECK(static_cast<unsigned char>(narrow[position]) == exact, "exact mapping");
    if (unit >= 0xD800 && unit <= 0xDFFF) FUZZ_CHECK(narrow[position] == '?', "a lone surrogate is one '?'");
  }
  FUZZ_CHECK(position == narrow.size(), "one byte per code point");

  // The caller's text ends at its first NUL on the way in.
  BSTR caller = SysAllocStringLen(units.data(), static_cast<UINT>(units.size()));
  const std::string cut = ToAnsiText(caller);
  FUZZ_CHECK(cut == WideToCp1252(std::u16string_view(units).substr(0, units.find(u'\0'))), "cut at NUL");
  BSTR back = ToCallerText(cut);
  FUZZ_CHECK(back != nullptr && SysStringLen(back) == cut.size() && ToAnsiText(back) == cut, "caller text round trip");
  SysFreeString(back);
  SysFreeString(caller);
}

bool IsPaymentCharacter(char c, bool ampersand_allowed) {
  constexpr std::string_view kPunctuation = ".(+!$*);-/,%?:'=\"";
  return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' ||
         kPunctuation.find(c) != std::string_view::npos || (ampersand_allowed && c == '&');
}

// The text of the one element of a well-formed document, as code points.
bool ElementText(const std::string& document_bytes, std::u32string& code_points) {
  xmlDocPtr document = fuzz::ParseXml(document_bytes);
  if (document == nullptr) return false;
  xmlChar* content = xmlNodeGetContent(xmlDocGetRootElement(document));
  const bool decoded = fuzz::Utf8CodePoints(content == nullptr ? "" : reinterpret_cast<const char*>(content), code_points);
  xmlFree(content);
  xmlFreeDoc(document);
  return decoded;
}

void CheckCleaning(FuzzedDataProvider& provider) {
  const int level = provider.ConsumeIntegralInRange(-2, 40);
  const std::string prefix = provider.ConsumeRandomLengthString(16);
  const std::string text = provider.ConsumeRemainingBytesAsString();
  const std::string record = CleanRecordText(text);
  const std::string xml = CleanXmlText(text);
  FUZZ_CHECK(record.size() == text.size() && xml.size() == text.size(), record);
  for (std::size_t i = 0; i < record.size(); ++i) {
    FUZZ_CHECK(IsPaymentCharacter(record[i], true) && CleanRecordChar(text[i]) == record[i], record);
    FUZZ_CHECK(IsPaymentCharacter(xml[i], false) && xml[i] == (record[i] == '&' ? '+' : record[i]), xml);
  }
  FUZZ_CHECK(CleanRecordText(record) == record, record);
  // The cleaning straight into a buffer (as the document's output does) gives the same
  // bytes and writes nothing beyond the text's length.
  std::string into = text + prefix;
  CleanXmlTextInto(text, into.data());
  FUZZ_CHECK(into == xml + prefix, into);

  // Both kinds of argument through the document's element writer.
  fuzz::MemoryFileSystem files;
  IsoOutputFile output(files);
  OpenIsoOutput(output, "fuzz.xml");
  WriteXmlElement<"<Ustrd>%s</Ustrd>">(output, level, EscapedText{text});
  WriteXmlElement<"<Nm>%s</Nm>">(output, level, CleanedText{text});
  FUZZ_CHECK(output.stream->Flush(), "flush");
  const std::string& written = files.Content(3);
  const std::size_t first_line_end = written.find("</Ustrd>\r\n");
  FUZZ_CHECK(first_line_end != std::string::npos, written);
  const std::string escaped_line = written.substr(0, first_line_end + 8);
  const std::size_t tabs = static_cast<std::size_t>(level < 0 ? 0 : level);
  FUZZ_CHECK(escaped_line.find_first_not_of('\t') == tabs, escaped_line);
  FUZZ_CHECK(written.substr(first_line_end + 10) == std::string(tabs, '\t') + "<Nm>" + xml + "</Nm>\r\n", written);

  std::u32string parsed;
  FUZZ_CHECK(ElementText(escaped_line, parsed), escaped_line);
  // Up to its first NUL, one character per byte (CR LF and a lone CR read back as one line feed).
  const std::size_t kept = text.find('\0') == std::string::npos ? text.size() : text.find('\0');
  FUZZ_CHECK(parsed.size() == kept, escaped_line);
  for (std::size_t i = 0; i < kept; ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0x20 && byte < 0x7F) FUZZ_CHECK(parsed[i] == byte, escaped_line);
    if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r') FUZZ_CHECK(parsed[i] == U' ', escaped_line);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CheckCodePage(data, size);
  FuzzedDataProvider provider(data, size);
  CheckCleaning(provider);
  return 0;
}
