// Benchmark-only reader of OWL ontologies in N-Triples (the RDF mapping of
// OWL 2) into the EL engine's ElInput. It knows the EL vocabulary only:
// rdfs:subClassOf, owl:equivalentClass, owl:disjointWith, owl:intersectionOf
// lists, owl:Restriction with owl:onProperty and owl:someValuesFrom,
// rdfs:subPropertyOf, owl:propertyChainAxiom, owl:TransitiveProperty,
// owl:ReflexiveProperty, rdfs:domain and rdfs:range; and for individuals
// (subjects typed owl:NamedIndividual, each given a class index of its own,
// as the engine takes them) class assertions, object property assertions,
// owl:sameAs and owl:differentFrom. Axioms using anything else are counted
// and left out.
#pragma once

#include <cstdint>
#include <istream>
#include <string>
#include <vector>

#include "el/input.h"

namespace trelvanic_el::bench {

struct NtOntology {
  ElInput input;
  std::vector<std::string> class_iris;  // by class index
  std::vector<std::string> role_iris;   // by role index
  std::vector<uint32_t> individuals;    // class indices that are individuals
  uint64_t triples = 0;
  uint64_t skipped_axioms = 0;
};

NtOntology read_nt(std::istream& in);

}  // namespace trelvanic_el::bench
