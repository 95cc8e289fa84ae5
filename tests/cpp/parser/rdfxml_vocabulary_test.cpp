// Older vocabulary written as its OWL 2 counterpart: matched by full IRI,
// written with a prefix that names the OWL namespace where it is written.
#include <gtest/gtest.h>

#include <string>

#include "parser/rdf_preprocess.h"

namespace trelvanic_parser {
namespace {

constexpr std::string_view kRoot =
    R"(<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#" xmlns:rdfs="http://www.w3.org/2000/01/rdf-schema#">)";
constexpr std::string_view kRootWithOwl =
    R"(<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#" xmlns:rdfs="http://www.w3.org/2000/01/rdf-schema#" xmlns:owl="http://www.w3.org/2002/07/owl#">)";

TEST(VocabularyPass, OldTermsAreRenamedByTheirFullIri) {
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
      {"PropertyTerms", kRootWithOwl,
       R"(<owl:ObjectProperty rdf:about="#p"><rdf:type rdf:resource="http://www.w3.org/2002/07/owl#AntisymmetricProperty"/><owl:disjointObjectProperties rdf:resource="#q"/><owl:disjointDataProperties>
</owl:disjointDataProperties></owl:ObjectProperty><owl:AntisymmetricProperty rdf:about="#r"/>)",
       R"(<owl:ObjectProperty rdf:about="#p"><rdf:type rdf:resource="http://www.w3.org/2002/07/owl#AsymmetricProperty"/><owl:propertyDisjointWith rdf:resource="#q"/><owl:propertyDisjointWith>
</owl:propertyDisjointWith></owl:ObjectProperty><owl:AsymmetricProperty rdf:about="#r"/>)"},
      // A property element is renamed only as a property, a node only as a node.
      {"RoleMatters", kRootWithOwl, R"(<owl:disjointObjectProperties rdf:about="#x"><owl:Class/></owl:disjointObjectProperties>)",
       R"(<owl:disjointObjectProperties rdf:about="#x"><owl:Class/></owl:disjointObjectProperties>)"},
      {"DataComplement", kRootWithOwl,
       R"(<owl:DataRange><owl:dataComplementOf rdf:resource="#D"/></owl:DataRange>)",
       R"(<owl:DataRange><owl:datatypeComplementOf rdf:resource="#D"/></owl:DataRange>)"},
      {"SelfRestriction", kRootWithOwl,
       R"(<owl:SelfRestriction><owl:onProperty rdf:resource="#p"/></owl:SelfRestriction>)",
       R"(<owl:Restriction><owl:hasSelf rdf:datatype="http://www.w3.org/2001/XMLSchema#boolean">true</owl:hasSelf><owl:onProperty rdf:resource="#p"/></owl:Restriction>)"},
      {"EmptySelfRestrictionWithoutOwlPrefix", kRoot, R"(<o:SelfRestriction xmlns:o="http://www.w3.org/2002/07/owl#" o:onProperty="#p"/>)",
       R"(<o:Restriction xmlns:o="http://www.w3.org/2002/07/owl#" o:onProperty="#p"><o:hasSelf rdf:datatype="http://www.w3.org/2001/XMLSchema#boolean">true</o:hasSelf></o:Restriction>)"},
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
