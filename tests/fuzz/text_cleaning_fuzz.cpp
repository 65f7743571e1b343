// The record and XML text cleaning and the escaping of uncleaned ISO texts, on any bytes:
// cleaned texts keep their length and hold only the payment character set; an element
// line with any caller text, cleaned or escaped, is well-formed XML that gives the text
// back, one character per input byte up to its first NUL.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "format/record_text.h"
#include "fuzz_support.h"
#include "xml/iso_output.h"
#include "xml/xml_text.h"

namespace {

constexpr std::string_view kPunctuation = ".(+!$*);-/,%?:'=\"";

bool IsPaymentCharacter(char c, bool ampersand_allowed) {
  return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ' ||
         kPunctuation.find(c) != std::string_view::npos || (ampersand_allowed && c == '&');
}

// The text of the one element of a well-formed document, as code points.
bool ElementText(const std::string& document_bytes, std::u32string& code_points) {
  xmlDocPtr document = ordexa::fuzz::ParseXml(document_bytes);
  if (document == nullptr) return false;
  xmlChar* content = xmlNodeGetContent(xmlDocGetRootElement(document));
  const bool decoded = ordexa::fuzz::Utf8CodePoints(content == nullptr ? "" : reinterpret_cast<const char*>(content), code_points);
  xmlFree(content);
  xmlFreeDoc(document);
  return decoded;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ordexa;
  FuzzedDataProvider provider(data, size);
  const int level = provider.ConsumeIntegralInRange(-2, 40);
  const std::string prefix = provider.ConsumeRandomLengthString(16);
  const std::string text = provider.ConsumeRemainingBytesAsString();

  const std::string record = CleanRecordText(text);
  FUZZ_CHECK(record.size() == text.size(), record);
  for (std::size_t i = 0; i < record.size(); ++i) {
    FUZZ_CHECK(IsPaymentCharacter(record[i], true), record);
    FUZZ_CHECK(CleanRecordChar(text[i]) == record[i], record);
  }
  FUZZ_CHECK(CleanRecordText(record) == record, record);

  const std::string xml = CleanXmlText(text);
  FUZZ_CHECK(xml.size() == text.size(), xml);
  for (std::size_t i = 0; i < xml.size(); ++i) {
    FUZZ_CHECK(IsPaymentCharacter(xml[i], false), xml);
    FUZZ_CHECK(xml[i] == (record[i] == '&' ? '+' : record[i]), xml);
  }
  // The cleaning straight into a buffer (as the document's output does) gives the same
  // bytes and writes nothing beyond the text's length.
  std::string into = text + prefix;
  CleanXmlTextInto(text, into.data());
  FUZZ_CHECK(into == xml + prefix, into);

  // Both kinds of argument through the document's element writer.
  fuzz::MemoryFileSystem files;
  IsoOutputFile output(files);
  OpenIsoOutput(output, "fuzz.xml");
  WriteXmlElement(output, level, "<Ustrd>%s</Ustrd>", EscapedText{text});
  WriteXmlElement(output, level, "<Nm>%s</Nm>", CleanedText{text});
  FUZZ_CHECK(output.stream->Flush(), "flush");
  const std::string& written = files.Content(3);
  const std::size_t first_line_end = written.find("</Ustrd>\r\n");
  FUZZ_CHECK(first_line_end != std::string::npos, written);
  const std::string escaped_line = written.substr(0, first_line_end + 8);
  const std::string cleaned_line = written.substr(first_line_end + 10);
  const std::size_t tabs = static_cast<std::size_t>(level < 0 ? 0 : level);
  FUZZ_CHECK(escaped_line.find_first_not_of('\t') == tabs, escaped_line);
  FUZZ_CHECK(cleaned_line == std::string(tabs, '\t') + "<Nm>" + xml + "</Nm>\r\n", cleaned_line);

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
  return 0;
}
