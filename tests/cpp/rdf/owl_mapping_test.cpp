#include "rdf/owl_mapping.h"

#include "owl/functional_writer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace trelvanic_rdf {
namespace {

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Component lines with anonymous-individual labels blanked out, since each
// reader names blank nodes its own way.
std::vector<std::string> normalised(const trelvanic_owl::Ontology& o) {
  static const std::regex label("_:[^ )]+");
  std::vector<std::string> out;
  for (const trelvanic_owl::Component& c : o.components()) {
    out.push_back(std::regex_replace(trelvanic_owl::write_component(o, c), label, "_:*"));
  }
  std::sort(out.begin(), out.end());
  return out;
}

RdfOntology load(const std::string& name, RdfSyntax syntax) {
  const std::string text = read_file(std::string(TRELVANIC_TEST_DATA) + "/rdf/" + name);
  auto r = read_rdf_ontology(text, syntax, ReadOptions{"", name});
  EXPECT_TRUE(r) << (r ? "" : r.error().message);
  return r ? std::move(*r) : RdfOntology{};
}

TEST(OwlMappingTest, FixtureMapsToExpectedComponents) {
  const RdfOntology ttl = load("fixture.ttl", RdfSyntax::Turtle);
  const std::vector<std::string> expected = [] {
    std::vector<std::string> lines;
    std::istringstream in(read_file(std::string(TRELVANIC_TEST_DATA) + "/rdf/fixture.expected"));
    for (std::string line; std::getline(in, line);) {
      if (!line.empty()) lines.push_back(line);
    }
    std::sort(lines.begin(), lines.end());
    return lines;
  }();
  EXPECT_EQ(normalised(ttl.ontology), expected);
  EXPECT_TRUE(ttl.incomplete.empty()) << ::testing::PrintToString(ttl.incomplete.triples)
                                      << ::testing::PrintToString(ttl.incomplete.problems);
}

TEST(OwlMappingTest, TurtleAndRdfXmlGiveTheSameComponents) {
  const RdfOntology ttl = load("fixture.ttl", RdfSyntax::Turtle);
  const RdfOntology xml = load("fixture.rdf", RdfSyntax::RdfXml);
  EXPECT_EQ(normalised(ttl.ontology), normalised(xml.ontology));
  EXPECT_TRUE(xml.incomplete.empty());
}

}  // namespace
}  // namespace trelvanic_rdf
