// Merging the materializer's output back into the ontology as inferred
// axioms.
//
// `merge_triples_into_ontology_inner` maps every output triple onto a told
// form (rdfs:subClassOf -> SubClassOf, rdf:type -> ClassAssertion or a
// property characteristic, owl:sameAs -> SameIndividual, a literal object ->
// DataPropertyAssertion, any other IRI predicate -> ObjectPropertyAssertion,
// an owl:Restriction node with owl:onProperty and owl:someValuesFrom under a
// rdfs:subClassOf link -> SubClassOfExistential), registers the entities the
// triples name, drops what the ontology already holds, checks the axiom
// limit and adds the rest with `Ontology::add_inferred_axiom`.
//
// A merge never changes what an entity is: a triple that would need an
// entity as a kind it lacks is dropped, with the message "entity kind
// mismatch for {}: expected {}, found {}" where the kinds could not even
// pun, silently where punning would have made it another kind. Triples
// about reserved RDF, RDFS, OWL or XML Schema vocabulary (other than
// owl:Thing and owl:Nothing), such as every property typed rdf:Property,
// say nothing about the ontology's entities and are dropped too. Reflexive
// pairs (a owl:sameAs a, A owl:equivalentClass A, ...) say nothing and are
// skipped; triples of other standard vocabulary (owl:propertyDisjointWith,
// list and restriction structure) have no told form and are skipped too.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "bridge/error.h"
#include "bridge/triples.h"
#include "core/entity_kind.h"
#include "core/ontology.h"
#include "materializer/engine.h"

namespace trelvanic_bridge {

using trelvanic_materializer::Problem;

struct MergeReport {
  // "{rule}: {message}" per problem of the materializer, in its order, then
  // the merge's own kind-mismatch messages in the order they arose.
  std::vector<std::string> clashes;
  // Live axioms now minus `live_before`, not below 0.
  size_t added_axioms = 0;
};

// The entity of `iri` as `wanted` (Class, Individual, ObjectProperty or
// DataProperty): the same id when its kind already serves, registered by
// punning when the kinds pun, the core EntityKindMismatch otherwise. A new
// IRI is registered unless the registry already holds `max_entities`
// ("entity limit {} would be exceeded during merge").
// lookup_or_insert for an IRI already looked up: `found` is what
// `Ontology::lookup_entity(iri)` answers.
[[nodiscard]] Result<trelvanic_core::EntityId> insert_looked_up(trelvanic_core::Ontology& ontology,
                                                                std::string_view iri,
                                                                std::optional<trelvanic_core::EntityId> found,
                                                                trelvanic_core::EntityKind wanted,
                                                                size_t max_entities);

[[nodiscard]] Result<trelvanic_core::EntityId> lookup_or_insert(trelvanic_core::Ontology& ontology,
                                                                std::string_view iri,
                                                                trelvanic_core::EntityKind wanted,
                                                                size_t max_entities);

// Fails with "entity limit {} would be exceeded during merge" when the
// registry is already full, with "axiom limit {} would be exceeded during
// merge ({} new axioms)" (nothing added) when the new axioms would pass
// `max_axioms`, and with the core error of a lookup or of adding.
// `known_terms` (the export's `ExportSummary::entity_of_term` when `dict`
// is the export's dictionary) spares the lookup by text of those terms.
[[nodiscard]] Result<MergeReport> merge_triples_into_ontology_inner(trelvanic_core::Ontology& ontology,
                                                                    const Dictionary& dict,
                                                                    std::span<const Triple> output,
                                                                    std::span<const Problem> problems,
                                                                    size_t max_axioms, size_t max_entities,
                                                                    size_t live_before,
                                                                    std::span<const uint32_t> known_terms = {});

// The same over text triples.
[[nodiscard]] Result<MergeReport> merge_term_triples(trelvanic_core::Ontology& ontology,
                                                     std::span<const TermTriple> output,
                                                     std::span<const Problem> problems, size_t max_axioms,
                                                     size_t max_entities, size_t live_before);

}  // namespace trelvanic_bridge
