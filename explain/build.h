// Proof graphs: the told axioms and told structural facts of an ontology
// and the steps of an EL inference trace as nodes, each step pointing to
// the nodes of its premises (always earlier nodes).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include <absl/container/flat_hash_map.h>

#include "core/ids.h"
#include "core/ontology.h"
#include "core/trace.h"
#include "explain/error.h"

namespace trelvanic_explain {

using EntityPair = std::pair<trelvanic_core::EntityId, trelvanic_core::EntityId>;
using EntityTriple = std::array<trelvanic_core::EntityId, 3>;

struct ProofNode {
  std::string_view rule;            // "asserted" for told facts; the trace's static rule names
  std::vector<uint32_t> premises;   // indices of earlier nodes
  std::optional<trelvanic_core::AxiomId> conclusion_axiom;
  std::optional<EntityTriple> conclusion_existential;  // class, property, filler
  std::optional<EntityPair> conclusion_sub;            // subclass, superclass
  std::optional<EntityPair> conclusion_subproperty;    // sub-property, super-property
};

struct ProofGraph {
  std::vector<ProofNode> nodes;
};

namespace build {

inline constexpr const char* kAsserted = "asserted";

// The graph under construction: the nodes and, per kind of conclusion, the
// newest node that concluded it.
class ProofGraphBuilder {
 public:
  explicit ProofGraphBuilder(const trelvanic_core::Ontology& ontology) : ontology_(ontology) {}

  // One node per live told axiom, plus one per distinct told SubClassOf,
  // SubObjectPropertyOf and SubClassOfExistential fact.
  void add_told_axioms();
  [[nodiscard]] Result<void> add_step(const trelvanic_core::TraceStepView& step);
  [[nodiscard]] Result<uint32_t> resolve_premise(const trelvanic_core::TraceConclusion& premise) const;
  [[nodiscard]] ProofGraph finish() && { return ProofGraph{std::move(nodes_)}; }
  [[nodiscard]] const std::vector<ProofNode>& nodes() const { return nodes_; }

 private:
  uint32_t push(ProofNode node);
  void map_conclusion(const trelvanic_core::TraceConclusion& c, uint32_t index);

  const trelvanic_core::Ontology& ontology_;
  std::vector<ProofNode> nodes_;
  absl::flat_hash_map<uint32_t, uint32_t> by_axiom_;
  absl::flat_hash_map<std::pair<uint32_t, uint32_t>, uint32_t> by_sub_;
  absl::flat_hash_map<std::array<uint32_t, 3>, uint32_t> by_existential_;
  absl::flat_hash_map<std::pair<uint32_t, uint32_t>, uint32_t> by_subproperty_;
};

[[nodiscard]] Result<ProofGraph> build_proof_graph(const trelvanic_core::Ontology& ontology,
                                                   const trelvanic_core::InferenceTrace& trace);

// Fails with "proof graph contains a cycle" when premises loop. Walks with
// an explicit stack: premise chains may be as long as the node list.
[[nodiscard]] Result<void> validate_proof_acyclic(const std::vector<ProofNode>& nodes);

}  // namespace build
}  // namespace trelvanic_explain
