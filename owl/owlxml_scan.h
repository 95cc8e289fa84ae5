// A scanner for plain XML documents, the form OWL/XML writers produce: the
// OWL/XML reader hands such a document to it instead of libxml2, which costs
// several times as much per element.
//
// A plain document is UTF-8 without a byte order mark, with at most an XML
// declaration (version 1.0, encoding UTF-8) before one root element; no
// DOCTYPE, comments, processing instructions, CDATA sections, entity or
// character references, or carriage returns; element and attribute names of
// ASCII letters, digits, '_', '-' and '.', without prefixes, but for
// `xml:lang` and `xml:base` anywhere and namespace declarations on the root
// (whose default namespace must be `default_namespace`); attribute values
// without tabs or line feeds (which XML would turn into spaces); nesting no
// deeper than `kPlainMaxDepth`. Every element is in the default namespace.
//
// The scanner reports the elements and texts of a plain, well-formed
// document in order and returns `Plain`. On anything else (a construct
// outside the subset, or any well-formedness error) it stops and returns
// `NotPlain`, at any point of the document: the caller then throws away what
// it built and reads the document with a full XML parser, which gives the
// exact answer or error. So the scanner never needs to report an error
// itself, and never accepts a document the full parser would refuse.
//
//   class Sink : public PlainXmlSink { ... };
//   if (scan_plain_xml(text, kOwlNamespace, sink) == PlainScan::NotPlain) { ... full parser ... }
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace trelvanic_owl {

// Deeper documents go to the full parser (whose own limit is not far above).
inline constexpr uint32_t kPlainMaxDepth = 200;

struct PlainAttribute {
  std::string_view name;   // "IRI", "xml:lang", ... (namespace declarations are not reported)
  std::string_view value;  // as written: a plain value needs no replacement
};

class PlainXmlSink {
 public:
  virtual ~PlainXmlSink() = default;
  virtual void on_start(std::string_view name, std::span<const PlainAttribute> attributes) = 0;
  virtual void on_end() = 0;
  // A run of character data between two tags (white space included).
  virtual void on_text(std::string_view text) = 0;
};

enum class PlainScan : uint8_t { Plain, NotPlain };

[[nodiscard]] PlainScan scan_plain_xml(std::string_view text, std::string_view default_namespace,
                                       PlainXmlSink& sink);

}  // namespace trelvanic_owl
