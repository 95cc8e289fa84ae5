// RDFS classes written as OWL classes: matched by full IRI, written with a
// prefix that names the OWL namespace where it is written.
#include <gtest/gtest.h>

#include <string>

#include "parser/rdf_preprocess.h"

namespace trelvanic_parser {
namespace {

constexpr std::string_view kRoot =
    R"(<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#" xmlns:rdfs="http://www.w3.org/2000/01/rdf-schema#">)";
constexpr std::string_view kRootWithOwl =
    R"(<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#" xmlns:rdfs="http://www.w3.org/2000/01/rdf-schema#" xmlns:owl="http://www.w3.org/2002/07/owl#">)";

TEST(VocabularyPass, RdfsClassesAreRenamedByTheirFullIri) {
  struct Case {
    const char* name;
    std::string_view root, body, output;
  };
  const Case cases[] = {
      {"RdfsClassWithoutOwlPrefix", kRoot, R"(<rdfs:Class rdf:about="#A"/>)",
       R"(<owl:Class xmlns:owl="http://www.w3.org/2002/07/owl#" rdf:about="#A"/>)"},
      {"RdfsClassWithContent", kRootWithOwl,
       R"(<rdfs:Class rdf:about="#B"><rdfs:subClassOf><rdfs:Class rdf:about="#A"/></rdfs:subClassOf></rdfs:Class>)",
       R"(<owl:Class rdf:about="#B"><rdfs:subClassOf><owl:Class rdf:about="#A"/></rdfs:subClassOf></owl:Class>)"},
      // Any prefix of the RDFS namespace; "rdfs" bound elsewhere is not it.
      {"OtherPrefixes", kRootWithOwl,
       R"(<s:Class xmlns:s="http://www.w3.org/2000/01/rdf-schema#" rdf:about="#A"/><rdfs:Class xmlns:rdfs="http://ex.org/v#" rdf:about="#B"/>)",
       R"(<owl:Class xmlns:s="http://www.w3.org/2000/01/rdf-schema#" rdf:about="#A"/><rdfs:Class xmlns:rdfs="http://ex.org/v#" rdf:about="#B"/>)"},
      {"DefaultNamespace", kRootWithOwl, R"(<Class xmlns="http://www.w3.org/2000/01/rdf-schema#" rdf:about="#A"/>)",
       R"(<owl:Class xmlns="http://www.w3.org/2000/01/rdf-schema#" rdf:about="#A"/>)"},
      // Among many OWL classes, start and end tags, with a prefix bound to
      // RDFS only after them.
      {"AmongOwlClasses", kRootWithOwl,
       R"(<owl:Class rdf:about="#X"></owl:Class><owl:Class/><owl:Class></owl:Class><r:Class xmlns:r="http://www.w3.org/2000/01/rdf-schema#"/>)",
       R"(<owl:Class rdf:about="#X"></owl:Class><owl:Class/><owl:Class></owl:Class><owl:Class xmlns:r="http://www.w3.org/2000/01/rdf-schema#"/>)"},
      // A binding ends with its element; the outer one is in scope again.
      {"ScopeEndsWithTheElement", kRootWithOwl,
       R"(<rdf:Description xmlns:rdfs="http://ex.org/v#"><rdfs:Class/></rdf:Description><rdfs:Class rdf:about="#C"/>)",
       R"(<rdf:Description xmlns:rdfs="http://ex.org/v#"><rdfs:Class/></rdf:Description><owl:Class rdf:about="#C"/>)"},
      // "owl" names another namespace here: a fresh prefix is declared.
      {"OwlPrefixTaken", kRoot, R"(<rdfs:Class xmlns:owl="http://ex.org/v#" rdf:about="#A"></rdfs:Class>)",
       R"(<owl1:Class xmlns:owl1="http://www.w3.org/2002/07/owl#" xmlns:owl="http://ex.org/v#" rdf:about="#A"></owl1:Class>)"},
      {"TypeByIri", kRoot,
       R"(<rdf:Description rdf:about="#A"><rdf:type rdf:resource="http://www.w3.org/2000/01/rdf-schema#Class"/></rdf:Description>)",
       R"(<rdf:Description rdf:about="#A"><rdf:type rdf:resource="http://www.w3.org/2002/07/owl#Class"/></rdf:Description>)"},
      // Text, comments, literal XML and other properties are not vocabulary.
      {"NotVocabulary", kRoot,
       R"(<!-- <rdfs:Class/> --><rdf:Description rdf:about="#A"><rdfs:label>rdfs:Class</rdfs:label><rdfs:seeAlso rdf:resource="http://www.w3.org/2000/01/rdf-schema#Class"/><rdfs:comment rdf:parseType="Literal"><rdfs:Class/></rdfs:comment></rdf:Description>)",
       R"(<!-- <rdfs:Class/> --><rdf:Description rdf:about="#A"><rdfs:label>rdfs:Class</rdfs:label><rdfs:seeAlso rdf:resource="http://www.w3.org/2000/01/rdf-schema#Class"/><rdfs:comment rdf:parseType="Literal"><rdfs:Class/></rdfs:comment></rdf:Description>)"},
      // Only a node element is a class: as a property it is some property.
      {"PropertyElement", kRootWithOwl, R"(<rdf:Description rdf:about="#x"><rdfs:Class rdf:resource="#y"/></rdf:Description>)",
       R"(<rdf:Description rdf:about="#x"><rdfs:Class rdf:resource="#y"/></rdf:Description>)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string input = std::string(c.root) + std::string(c.body) + "</rdf:RDF>";
    const std::string output = std::string(c.root) + std::string(c.output) + "</rdf:RDF>";
    const std::string once = normalize_rdfs_class_elements(input);
    EXPECT_EQ(once, output);
    EXPECT_EQ(normalize_rdfs_class_elements(once), once);
  }
}

}  // namespace
}  // namespace trelvanic_parser
