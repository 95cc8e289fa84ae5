// Writes the content of an rdf:parseType="Literal" property element back
// out as the lexical form of its XML literal: start and end tags with the
// namespace declarations each needs, attribute values and text escaped.
// Not part of the library's surface.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <libxml/xmlstring.h>

namespace trelvanic_rdf::detail {

class XmlLiteralWriter {
 public:
  void clear();
  // Arguments as libxml2's SAX2 start-element handler receives them.
  void start_element(const xmlChar* local, const xmlChar* prefix, const xmlChar* uri, int nb_namespaces,
                     const xmlChar** namespaces, int nb_attributes, const xmlChar** attributes);
  void end_element();
  void append_text(std::string_view text);
  [[nodiscard]] const std::string& lexical() const { return out_; }

 private:
  // Declares prefix → uri on the tag being written unless the nearest
  // declaration written for the prefix says the same.
  void declare(std::string_view prefix, std::string_view uri);
  void append_escaped(std::string_view text, bool attribute);

  std::string out_;
  std::vector<std::string> open_;                              // qualified names of open elements
  std::vector<std::pair<std::string, std::string>> declared_;  // (prefix, uri) written so far
  std::vector<std::size_t> marks_;                             // declared_.size() at each open element
};

}  // namespace trelvanic_rdf::detail
