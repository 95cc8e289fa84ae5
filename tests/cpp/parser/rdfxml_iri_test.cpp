// Document base and reference resolution in RDF/XML text.
#include <gtest/gtest.h>

#include <string>

#include "parser/rdfxml_passes/iri.h"

namespace trelvanic_parser::rdfxml {
namespace {

TEST(RdfXmlIri, DocumentBase) {
  struct Case {
    std::string_view text, base;
  };
  const Case cases[] = {
      {R"(<rdf:RDF a="x>y" xml:base="http://e.org/o#">)", "http://e.org/o"},
      {R"(<rdf:RDF xml:base="http://e.org/o/#">)", "http://e.org/o"},
      {R"(<rdf:RDF xml:base='http://e.org/o/'>)", "http://e.org/o"},
      {R"(<!-- <rdf:RDF xml:base="http://wrong"> --><rdf:RDF>)", "urn:trelvanic:anon:"},
      {"no root", "urn:trelvanic:anon:"},
  };
  for (const Case& c : cases) EXPECT_EQ(parse_xml_base(c.text), c.base) << c.text;
}

TEST(RdfXmlIri, ResolveAttributeValues) {
  struct Case {
    std::string_view value, base, iri;
  };
  const Case cases[] = {
      {"#A", "urn:trelvanic:anon:", "urn:trelvanic:anon:#A"},
      {"A", "urn:trelvanic:anon:", "urn:trelvanic:anon:/A"},
      {"p#A", "urn:trelvanic:anon:", "urn:trelvanic:anon:/p#A"},
      {"http://x.org/a#b", "http://e.org/o", "http://x.org/a#b"},
      {"file:/tmp/a", "http://e.org/o", "file:/tmp/a"},
      {"urn:isbn:1", "http://e.org/o", "urn:isbn:1"},
      {"#A", "http://e.org/o", "http://e.org/o#A"},
      {"A", "http://e.org/o/", "http://e.org/o/A"},
      {"other#A", "http://e.org/dir/o", "http://e.org/dir/other#A"},
      {"/root", "http://e.org/dir/o", "http://e.org/root"},
      {"../up", "http://e.org/a/b/o", "http://e.org/a/up"},
      {"./same", "http://e.org/a/o", "http://e.org/a/same"},
      {"?q", "http://e.org/a/o", "http://e.org/a/o?q"},
  };
  for (const Case& c : cases) EXPECT_EQ(resolve_relative_iri(c.value, c.base), c.iri) << c.value << " " << c.base;
  EXPECT_EQ(blank_node_iri("http://e.org/o", "n1"), "http://e.org/o#_n1");
}

TEST(RdfXmlIri, Rfc3986Examples) {
  // From the reference resolution examples of RFC 3986, section 5.4.
  const std::string_view base = "http://a/b/c/d;p?q";
  struct Case {
    std::string_view ref, iri;
  };
  const Case cases[] = {
      {"g:h", "g:h"},           {"g", "http://a/b/c/g"},         {"./g", "http://a/b/c/g"},
      {"g/", "http://a/b/c/g/"}, {"/g", "http://a/g"},            {"//g", "http://g"},
      {"?y", "http://a/b/c/d;p?y"}, {"#s", "http://a/b/c/d;p?q#s"}, {"", "http://a/b/c/d;p?q"},
      {"..", "http://a/b/"},    {"../..", "http://a/"},          {"../../../g", "http://a/g"},
      {"g;x=1/../y", "http://a/b/c/y"},
  };
  for (const Case& c : cases) EXPECT_EQ(resolve_iri_reference(base, c.ref), c.iri) << c.ref;
}

}  // namespace
}  // namespace trelvanic_parser::rdfxml
