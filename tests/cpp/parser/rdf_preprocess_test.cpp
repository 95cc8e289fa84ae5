// The preprocessing chain as the loader runs it, and its root-tag pass.
#include <gtest/gtest.h>

#include <string>

#include "parser/load.h"
#include "parser/rdf_preprocess.h"

namespace trelvanic_parser {
namespace {

TEST(RdfPreprocess, RootTagOnOneLine) {
  struct Case {
    std::string_view input, output;
  };
  const Case cases[] = {
      {"<a/>", "<a/>"},
      {"<rdf:RDF xmlns:a=\"x\">\n<a/>\n</rdf:RDF>", "<rdf:RDF xmlns:a=\"x\">\n<a/>\n</rdf:RDF>"},
      {"<?xml version=\"1.0\"?>\n<rdf:RDF\n  xmlns:a = \"x\"\t\n  xml:base=\"a  b>\n c\"\n>\n<a/>",
       "<?xml version=\"1.0\"?>\n<rdf:RDF xmlns:a = \"x\" xml:base=\"a  b>\n c\" >\n<a/>"},
      // The root comes after a comment that mentions it.
      {"<!-- <rdf:RDF> -->\n<rdf:RDF\n a='1'>", "<!-- <rdf:RDF> -->\n<rdf:RDF a='1'>"},
  };
  for (const Case& c : cases) {
    const std::string once = normalize_multiline_rdf_root_tag(std::string(c.input));
    EXPECT_EQ(once, c.output) << c.input;
    EXPECT_EQ(normalize_multiline_rdf_root_tag(once), once);
  }
}

TEST(RdfPreprocess, ChainRunsRdfIdPassesBeforeEntitiesAndHoldsTheBudget) {
  const std::string doc =
      "<!DOCTYPE rdf:RDF [<!ENTITY o \"http://e.org/o#\">]>\n"
      "<rdf:RDF\n xml:base=\"http://e.org/o\">\n"
      "<C rdf:ID=\"1\"/><C rdf:ID=\"1\"><p rdf:resource=\"&o;1\"/></C></rdf:RDF>";
  auto r = preprocess_rdf_xml_text(doc, 1 << 20, 1 << 20);
  ASSERT_TRUE(r) << r.error().message();
  EXPECT_EQ(r->text,
            "\n<rdf:RDF xml:base=\"http://e.org/o\">\n"
            "<C rdf:ID=\"_1\"/><C rdf:about=\"#_1\"><p rdf:resource=\"http://e.org/o#_1\"/></C></rdf:RDF>");

  // An input over the budget is refused before any pass.
  EXPECT_EQ(preprocess_rdf_xml_text(doc, 1 << 20, 10).error().message(),
            "parse error: RDF/XML preprocessing allocation " + std::to_string(doc.size()) +
                " bytes exceeds limit of 10 bytes");
  // Entity expansion within its own limit can still outgrow the budget.
  std::string big = "<!DOCTYPE r [<!ENTITY e \"" + std::string(1000, 'x') + "\">]><a>&e;&e;</a>";
  EXPECT_EQ(preprocess_rdf_xml_text(big, 1 << 20, 1500).error().message(),
            "parse error: RDF/XML preprocessing allocation 2007 bytes exceeds limit of 1500 bytes");
  // An entity error stops the chain with its own text.
  EXPECT_EQ(preprocess_rdf_xml_text(big, 1500, 1 << 20).error().message(),
            "parse error: expanded RDF/XML size exceeds limit of 1500 bytes during entity expansion");
}

}  // namespace
}  // namespace trelvanic_parser
