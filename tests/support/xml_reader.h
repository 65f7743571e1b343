// Reading written XML documents back in tests (libxml2): validation against an XML
// schema and the texts an XPath expression selects.
#pragma once

#include <libxml/parser.h>
#include <libxml/xmlschemas.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace ordexa::test {

class XmlReader {
 public:
  // Parses `bytes`; with `ns` set, XPath expressions reach that namespace by the prefix "d".
  explicit XmlReader(const std::string& bytes, const char* ns = nullptr)
      : doc_(xmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), "written.xml", nullptr, XML_PARSE_NONET),
             xmlFreeDoc),
        ns_(ns) {}

  bool parsed() const { return doc_ != nullptr; }
  xmlNode* root() const { return doc_ ? xmlDocGetRootElement(doc_.get()) : nullptr; }

  // The schema's complaints about the document, one per line; empty when it is valid.
  std::string SchemaErrors(const std::string& xsd_path) const {
    if (!doc_) return "not well-formed XML";
    xmlSchema* schema = Schema(xsd_path);
    if (schema == nullptr) return "the schema " + xsd_path + " does not load";
    std::unique_ptr<xmlSchemaValidCtxt, void (*)(xmlSchemaValidCtxt*)> context(xmlSchemaNewValidCtxt(schema),
                                                                                xmlSchemaFreeValidCtxt);
    std::string errors;
    xmlSchemaSetValidStructuredErrors(context.get(), Collect, &errors);
    if (xmlSchemaValidateDoc(context.get(), doc_.get()) != 0 && errors.empty()) errors = "invalid";
    return errors;
  }

  // The nodes `xpath` selects, from `context` (the document when null).
  std::vector<xmlNode*> Nodes(const std::string& xpath, xmlNode* context = nullptr) const {
    std::vector<xmlNode*> nodes;
    if (!doc_) return nodes;
    std::unique_ptr<xmlXPathContext, void (*)(xmlXPathContext*)> xpath_context(xmlXPathNewContext(doc_.get()),
                                                                               xmlXPathFreeContext);
    if (ns_ != nullptr) xmlXPathRegisterNs(xpath_context.get(), BAD_CAST "d", BAD_CAST ns_);
    if (context != nullptr) xpath_context->node = context;
    std::unique_ptr<xmlXPathObject, void (*)(xmlXPathObject*)> result(
        xmlXPathEvalExpression(BAD_CAST xpath.c_str(), xpath_context.get()), xmlXPathFreeObject);
    if (result && result->nodesetval != nullptr) {
      for (int i = 0; i < result->nodesetval->nodeNr; ++i) nodes.push_back(result->nodesetval->nodeTab[i]);
    }
    return nodes;
  }

  std::vector<std::string> Texts(const std::string& xpath, xmlNode* context = nullptr) const {
    std::vector<std::string> texts;
    for (xmlNode* node : Nodes(xpath, context)) texts.push_back(Text(node));
    return texts;
  }

  // The first selected node's text, or "(none)".
  std::string Text(const std::string& xpath, xmlNode* context = nullptr) const {
    const std::vector<std::string> texts = Texts(xpath, context);
    return texts.empty() ? "(none)" : texts.front();
  }

  static std::string Text(xmlNode* node) {
    xmlChar* content = xmlNodeGetContent(node);
    std::string text = content != nullptr ? reinterpret_cast<const char*>(content) : "";
    xmlFree(content);
    return text;
  }

 private:
  static void Collect(void* errors, xmlErrorPtr error) {
    auto& text = *static_cast<std::string*>(errors);
    text += "line " + std::to_string(error->line) + ": " + (error->message != nullptr ? error->message : "?");
  }

  // Schemas are parsed once per test program: the big ones take a while.
  static xmlSchema* Schema(const std::string& path) {
    static std::map<std::string, std::unique_ptr<xmlSchema, void (*)(xmlSchema*)>> schemas;
    auto found = schemas.find(path);
    if (found == schemas.end()) {
      std::unique_ptr<xmlSchemaParserCtxt, void (*)(xmlSchemaParserCtxt*)> parser(
          xmlSchemaNewParserCtxt(path.c_str()), xmlSchemaFreeParserCtxt);
      xmlSchema* schema = parser ? xmlSchemaParse(parser.get()) : nullptr;
      found = schemas.emplace(path, std::unique_ptr<xmlSchema, void (*)(xmlSchema*)>(schema, xmlSchemaFree)).first;
    }
    return found->second.get();
  }

  std::unique_ptr<xmlDoc, void (*)(xmlDoc*)> doc_;
  const char* ns_;
};

}  // namespace ordexa::test
