// The streaming skeleton both ISO document readers share: the document read with libxml2's
// reader, optionally against a schema, each group header, payment group part and
// transaction handed to the reader as it comes and dropped after, so memory does not grow
// with the number of transactions; libxml2's own messages reported at their lines.
#pragma once

#include <libxml/xmlreader.h>
#include <libxml/xmlschemas.h>

#include <cstddef>
#include <limits>
#include <memory>
#include <string>
#include <string_view>

#include "tools/inspect/inspect.h"
#include "tools/inspect/iso_xml.h"

namespace ordexa::inspect::detail {

// Reader (the derived class) provides: bool ReadRoot(xmlTextReader*, std::string_view name),
// bool ReadGroupHeader(xmlTextReader*), void StartGroup(xmlTextReader*),
// bool ReadGroupPart(xmlTextReader*), bool ReadTransaction(xmlTextReader*), void
// FinishGroup() and bool in_group() const. A Read... hook returns whether it read its
// element whole, which is then stepped over.
template <class Reader>
class IsoStreamReader {
 protected:
  IsoStreamReader(const InspectOptions& options, Inspection& inspection) : options_(options), inspection_(inspection) {}

  // ReadStream(): reads `content` through the hooks and reports a document that is not
  // well-formed (its first fault) or has no document element. Returns whether it is
  // well-formed. Raises InspectError when the document or the schema cannot be used.
  bool ReadStream(std::string_view content) {
    if (content.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
      throw InspectError("the document is larger than 2 GB, too large to read");
    }
    // Declared before the reader, which uses it until the reader is freed.
    std::unique_ptr<xmlSchema, decltype(&xmlSchemaFree)> schema(LoadSchema(options_.schema_path), xmlSchemaFree);
    std::unique_ptr<xmlTextReader, decltype(&xmlFreeTextReader)> reader(
        xmlReaderForMemory(content.data(), static_cast<int>(content.size()), nullptr, nullptr,
                           XML_PARSE_NONET | XML_PARSE_BIG_LINES),
        xmlFreeTextReader);
    if (!reader) throw InspectError("the document cannot be read");
    xmlTextReaderSetStructuredErrorHandler(reader.get(), CollectMessage, &messages_);
    if (schema && xmlTextReaderSetSchema(reader.get(), schema.get()) != 0) {
      throw InspectError("the schema " + options_.schema_path + " cannot be used");
    }
    Read(reader.get());

    const bool well_formed = messages_.xml.empty();
    if (!well_formed) {
      // Only the first: the messages after it mostly follow from it.
      inspection_.Problem(AtLine(messages_.xml.front().line), "not well-formed: " + messages_.xml.front().text);
      inspection_.notes.push_back(
          "the document is not well-formed: the listing shows what could be read, and its counts and sums are not "
          "checked");
    } else if (!root_seen_) {
      inspection_.Problem({}, "no document element; nothing to list");
    }
    return well_formed;
  }

  // ReportSchemaMessages(): the schema's messages, at most kMostMessagesReported of them.
  void ReportSchemaMessages(bool well_formed) {
    if (!well_formed) inspection_.notes.push_back("the schema check stopped where the document is not well-formed");
    const std::string prefix = "not valid against " + options_.schema_path + ": ";
    for (std::size_t i = 0; i < messages_.schema.size() && i < kMostMessagesReported; ++i) {
      inspection_.Problem(AtLine(messages_.schema[i].line), prefix + messages_.schema[i].text);
    }
    if (messages_.schema.size() > kMostMessagesReported) {
      inspection_.Problem(
          {}, std::to_string(messages_.schema.size() - kMostMessagesReported) + " further schema messages left out");
    }
  }

  static Location AtLine(int line) {
    Location where;
    where.line = line;
    return where;
  }

  const InspectOptions& options_;
  Inspection& inspection_;
  Messages messages_;
  bool root_seen_ = false;
  bool initiation_seen_ = false;

 private:
  void Read(xmlTextReader* reader) {
    Reader& self = static_cast<Reader&>(*this);
    int status = xmlTextReaderRead(reader);
    while (status == 1) {
      const int type = xmlTextReaderNodeType(reader);
      const int depth = xmlTextReaderDepth(reader);
      const xmlChar* local = xmlTextReaderConstLocalName(reader);
      const std::string_view name = local != nullptr ? reinterpret_cast<const char*>(local) : "";
      bool skipped = false;
      if (type == XML_READER_TYPE_ELEMENT) {
        if (depth == 0) {
          root_seen_ = true;
          if (!self.ReadRoot(reader, name)) return;
        } else if (depth == 1 && name == "CstmrCdtTrfInitn") {
          initiation_seen_ = true;
        } else if (depth == 2 && initiation_seen_ && name == "GrpHdr") {
          skipped = self.ReadGroupHeader(reader);
        } else if (depth == 2 && initiation_seen_ && name == "PmtInf") {
          self.StartGroup(reader);
        } else if (depth == 3 && self.in_group()) {
          skipped = name == "CdtTrfTxInf" ? self.ReadTransaction(reader) : self.ReadGroupPart(reader);
        }
      } else if (type == XML_READER_TYPE_END_ELEMENT && depth == 2 && name == "PmtInf") {
        self.FinishGroup();
      }
      // An element read whole is stepped over; Next() lands on the node after it.
      status = skipped ? xmlTextReaderNext(reader) : xmlTextReaderRead(reader);
    }
  }
};

}  // namespace ordexa::inspect::detail
