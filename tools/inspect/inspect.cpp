// Format detection and the entry point of an inspection.
#include "tools/inspect/inspect.h"

#include "tools/inspect/layouts.h"

namespace ordexa::inspect {
namespace {

constexpr std::string_view kPainNamespace = "pain.001.001.03";
constexpr std::string_view kPain2019Namespace = "urn:iso:std:iso:20022:tech:xsd:pain.001.001.09";

// The start tag of the document element, after the declaration, comments and white space.
std::string_view RootStartTag(std::string_view content) {
  if (content.starts_with("\xEF\xBB\xBF")) content.remove_prefix(3);
  std::size_t at = 0;
  while (at < content.size()) {
    at = content.find('<', at);
    if (at == std::string_view::npos) return {};
    if (content.substr(at).starts_with("<?")) {
      at = content.find("?>", at);
    } else if (content.substr(at).starts_with("<!--")) {
      at = content.find("-->", at);
    } else if (content.substr(at).starts_with("<!")) {
      at = content.find('>', at);
    } else {
      const std::size_t end = content.find('>', at);
      return content.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at + 1);
    }
    if (at == std::string_view::npos) return {};
    ++at;
  }
  return {};
}

bool LooksLikeXml(std::string_view content) {
  if (content.starts_with("\xEF\xBB\xBF")) content.remove_prefix(3);
  const std::size_t first = content.find_first_not_of(" \t\r\n");
  return first != std::string_view::npos && content[first] == '<';
}

}  // namespace

FileFormat DetectFormat(std::string_view content) {
  if (LooksLikeXml(content)) {
    const std::string_view root = RootStartTag(content);
    if (root.find(kPainNamespace) != std::string_view::npos) return FileFormat::kIso;
    return root.find(kPain2019Namespace) != std::string_view::npos ? FileFormat::kIso2019 : FileFormat::kUnknown;
  }
  if (content.size() >= 51 && content.starts_with("01") && DtaLayout(content.substr(48, 3)) != nullptr) {
    return FileFormat::kDta;
  }
  // A first record of roughly 700 characters of a known record type still counts as EZAG,
  // so that a record of the wrong length or a missing header is reported, not the file refused.
  const std::string_view first = content.substr(0, content.find('\n'));
  if (first.size() >= kEzagRecordLength - 50 && first.size() <= kEzagRecordLength + 50 &&
      (first.starts_with("546") || first.starts_with("036")) && EzagLayout(first.substr(35, 2)) != nullptr) {
    return FileFormat::kEzag;
  }
  return FileFormat::kUnknown;
}

Inspection InspectContent(std::string_view content, const std::string& file_name, const InspectOptions& options,
                          BlockSink block_sink) {
  Inspection inspection;
  inspection.block_sink = std::move(block_sink);
  inspection.file_name = file_name;
  inspection.size = content.size();
  inspection.format = DetectFormat(content);
  switch (inspection.format) {
    case FileFormat::kDta:
      InspectDta(content, inspection);
      break;
    case FileFormat::kEzag:
      InspectEzag(content, inspection);
      break;
    case FileFormat::kIso:
      InspectIso(content, options, inspection);
      break;
    case FileFormat::kIso2019:
      InspectIso2019(content, options, inspection);
      break;
    case FileFormat::kUnknown:
      if (content.empty()) throw InspectError(file_name + ": the file is empty");
      if (LooksLikeXml(content)) {
        throw InspectError(file_name +
                           ": an XML document, but its document element is not in a pain.001.001.03 or pain.001.001.09 "
                           "namespace");
      }
      throw InspectError(file_name +
                         ": not a DTA file (128-character segments beginning \"01\"), an EZAG file (700-character "
                         "records beginning with a type 00 header) or a pain.001.001.03 or pain.001.001.09 document");
  }
  inspection.block_sink = nullptr;
  if (!options.schema_path.empty() && inspection.format != FileFormat::kIso &&
      inspection.format != FileFormat::kIso2019) {
    inspection.notes.push_back("the schema " + options.schema_path +
                               " was not used: only ISO documents are checked against one");
  }
  return inspection;
}

}  // namespace ordexa::inspect
