// Statements written in the vocabulary of the drafts that preceded OWL 2
// (the "OWL 1.1" member submission and the early OWL 2 drafts), found on the
// triples of an RDF document and rewritten into the OWL 2 vocabulary that
// says the same thing. The RDF-to-OWL mapping knows only the OWL 2 forms and
// leaves these triples unmapped.
//
//   Graph graph = ...;                                  // read and indexed
//   VocabularyRewrite found = find_older_vocabulary(graph);
//   if (found.statements > 0) {
//     Graph renamed = apply_vocabulary_rewrite(std::move(graph), found);
//     ...map `renamed` ...
//   }
//
// Every form is recognised by full IRIs and by the shape of its triples,
// never by a name of the document's own vocabulary:
//
//   older form                                        OWL 2 form
//   _:x rdf:type owl:SelfRestriction                  _:x rdf:type owl:Restriction ; owl:hasSelf true
//   _:x rdf:type owl:ObjectRestriction / DataRestriction   _:x rdf:type owl:Restriction
//   _:x owl:minCardinality n ; owl:onClass C          _:x owl:minQualifiedCardinality n ; owl:onClass C
//       (likewise max and exact, and owl:onDataRange D)
//   p rdf:type owl:AntisymmetricProperty              p rdf:type owl:AsymmetricProperty
//   p owl:disjointObjectProperties q                  p owl:propertyDisjointWith q
//   p owl:disjointDataProperties q                    p owl:propertyDisjointWith q
//   _:l rdfs:subPropertyOf p  (_:l an rdf:List)       p owl:propertyChainAxiom _:l
//   x rdf:type owl:DataRange ; owl:onDataRange D ;    a datatype restriction of D by the xsd facets
//       owl:minInclusive v ...                        (x blank), or x defined as one (x an IRI);
//                                                     a blank D of the same form adds its facets
//   _:x owl:dataComplementOf D                        _:x owl:datatypeComplementOf D
//   _:x rdf:type owl:NegativeObjectPropertyAssertion  _:x rdf:type owl:NegativePropertyAssertion ;
//       ; rdf:subject s ; rdf:predicate p ;           owl:sourceIndividual s ; owl:assertionProperty p ;
//       rdf:object o  (…DataPropertyAssertion: v)     owl:targetIndividual o  (owl:targetValue v)
//
// A statement whose triples do not have exactly the shape above (a missing
// or repeated part, a literal where an individual belongs) is left as it is.
// Facet values are kept as written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "rdf/graph.h"

namespace trelvanic_parser {

struct VocabularyRewrite {
  std::vector<std::uint32_t> removed;          // positions into the graph's triples
  std::vector<trelvanic_rdf::TripleIds> added;  // over the graph's term table
  std::size_t statements = 0;                   // older statements recognised
};

// False when the document text cannot hold any of the older forms: none of
// the local names of the older terms (SelfRestriction, onClass, first, ...)
// occurs in it. Only a way to spare reading a document again; the forms
// themselves are recognised on the triples.
[[nodiscard]] bool may_hold_older_vocabulary(std::string_view text);

// Looks for the older forms on an indexed graph. Interns into the graph's
// term table the terms the OWL 2 forms need (fresh blank nodes, facet IRIs,
// the literal true); the triples are left unchanged.
[[nodiscard]] VocabularyRewrite find_older_vocabulary(trelvanic_rdf::Graph& graph);

// The graph without the removed triples and with the added ones, indexed;
// it takes over the term table of `graph`.
[[nodiscard]] trelvanic_rdf::Graph apply_vocabulary_rewrite(trelvanic_rdf::Graph&& graph,
                                                             const VocabularyRewrite& rewrite);

}  // namespace trelvanic_parser
