// Mapping an ontology of the OWL 2 structural model (owl/model.h) into a new
// core `Ontology` with its `ParseMeta`.
//
//   auto mapped = map_to_core(model, limits);          // the loaded document
//   auto more = map_to_core(other, limits, {.document = 1});  // a further one
//   if (mapped) use(mapped->ontology, mapped->meta);
//
// `map_to_core` runs a declaration pass (kind checks, punning of names
// declared both as class and as individual), registers the declared names,
// then hands every other component to `Mapper::visit` in three passes:
// DatatypeDefinition first, then everything else, DataPropertyRange last (so
// a range may use a datatype defined anywhere in the file).
//
// The model's source notes (what its reader could not carry into the
// model) come first: each is a warning, and one standing for a lost axiom
// is one more `skipped_axiom_count`.
//
// The `Mapper` never fails an axiom hard: what the core model can hold as a
// told axiom goes to the axiom store, what only the DL store can hold goes
// there, SWRL rules go to the rule list, and the rest is skipped with a
// warning and one more `skipped_axiom_count`. Whether skipped axioms fail a
// strict load is decided by the caller. The only error of `map_to_core` is
// "incompatible declaration kinds for {}: {}" in strict mode.
//
// Anonymous individuals are named "file:/c/test.owl#_{label}" in document 0
// (the loaded document itself) and "file:/c/{document}/test.owl#_{label}" in
// every further document, so equal labels of different documents never name
// one individual.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>
#include <absl/hash/hash.h>

#include "core/axiom.h"
#include "core/dl_expr.h"
#include "core/entity_kind.h"
#include "core/ids.h"
#include "core/ontology.h"
#include "core/parse_meta.h"
#include "core/swrl.h"
#include "memory/huge_pages.h"
#include "memory/prefetch.h"
#include "owl/model.h"
#include "parser/error.h"
#include "parser/limits.h"
#include "parser/map_dl.h"

namespace trelvanic_parser {

// The text of a skipped axiom one of whose names failed to register.
inline constexpr std::string_view kRegistrationSkipText =
    "axiom skipped due to entity registration failure during mapping";

// Which document of a load is being mapped: 0 for the loaded file itself,
// a distinct number for every further document (imports, supplements).
struct MapOptions {
  uint32_t document = 0;
};

// The IRI given to the anonymous individual `label` of document `document`.
[[nodiscard]] std::string anonymous_individual_iri(std::string_view label, uint32_t document);

// Status of a named operand of an axiom.
enum class OperandStatus : uint8_t {
  Resolved,  // registered; the id is valid
  Failed,    // a name whose registration failed (a warning was added)
  NotNamed,  // a complex expression or an inverse property: nothing tried
};

struct Operand {
  OperandStatus status = OperandStatus::NotNamed;
  trelvanic_core::EntityId id;
};

// The ids when every operand is resolved, else nothing.
[[nodiscard]] std::optional<std::vector<trelvanic_core::EntityId>> collect_resolved(std::span<const Operand> operands);
[[nodiscard]] bool any_failed(std::span<const Operand> operands);

// Whether one IRI may carry all the declared kinds in `kinds` (a bit set,
// bit i for the kind of code i): they fold by punning into one kind that
// covers each of them. Fewer than two kinds are compatible.
[[nodiscard]] bool declaration_kinds_compatible(uint16_t kinds);

// IRI texts, looked up by view without a copy.
struct IriTextHash {
  using is_transparent = void;
  size_t operator()(std::string_view text) const { return absl::Hash<std::string_view>{}(text); }
};
struct IriTextEq {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return a == b; }
};
using IriSet = absl::flat_hash_set<std::string, IriTextHash, IriTextEq>;

class Mapper {
 public:
  using EntityId = trelvanic_core::EntityId;
  using EntityKind = trelvanic_core::EntityKind;
  using CeId = trelvanic_core::CeId;
  using DeId = trelvanic_core::DeId;
  using NodeId = trelvanic_owl::NodeId;

  Mapper(const trelvanic_owl::Ontology& model, trelvanic_core::Ontology& ontology, trelvanic_core::ParseMeta& meta,
         const IriSet& class_individual_iris, const LoadLimits& limits, MapOptions options = {});

  // ---- pushing (map.cpp)
  // Stores a told axiom, or skips it at the axiom limit or when the store
  // refuses it. Told axioms are queued and stored in batches (the store
  // overlaps the memory loads of a batch): `flush` stores the queue, and
  // runs before every warning and every limit check the queue could change,
  // so counts, warnings and ids come out as if each axiom were stored at
  // once. Callers that read the ontology before the mapper is done call
  // `flush` first (map_to_core does).
  void push_axiom(trelvanic_core::Axiom axiom);
  void flush();
  // Appends a DL axiom (noting its profile constructs), or skips it at the
  // axiom limit.
  void push_dl_axiom(const trelvanic_core::DlAxiom& axiom);
  // One more skipped axiom with warning `text`.
  void skip(std::string_view text);
  void warn(std::string text) {
    flush();
    meta_.warn(std::move(text));
  }
  // Notes a construct in the observed set / the profile (and observed) set;
  // repeated notes cost a bit test.
  void note(trelvanic_core::OwlConstruct c) {
    const uint64_t bit = uint64_t{1} << static_cast<unsigned>(c);
    if ((noted_ & bit) == 0) {
      noted_ |= bit;
      meta_.note_construct(c);
    }
  }
  void note_profile(trelvanic_core::OwlConstruct c) {
    noted_ |= uint64_t{1} << static_cast<unsigned>(c);  // the profile set's notes reach the observed set too
    noted_expressions_.note(meta_, c);
  }

  // ---- registration (map.cpp)
  // Registers `iri` as `kind`, or changes a stored kind by punning.
  [[nodiscard]] Result<EntityId> register_entity(std::string_view iri, EntityKind kind);
  std::optional<EntityId> register_or_warn_class(std::string_view iri);
  std::optional<EntityId> register_or_warn_object_property(std::string_view iri);
  std::optional<EntityId> register_or_warn_entity(std::string_view iri, EntityKind kind);
  // The same for an entity node of the model (cached by IRI: a name already
  // registered for a kind resolves again without work).
  std::optional<EntityId> register_class(NodeId entity);
  std::optional<EntityId> register_object_property(NodeId entity);
  std::optional<EntityId> register_as(NodeId entity, EntityKind kind);
  // register_or_warn_entity for an entity node (whatever the kind).
  std::optional<EntityId> register_or_warn_entity(NodeId entity, EntityKind kind);
  // Register, else the id of an entity already stored under the IRI whose
  // kind stands for `kind`.
  std::optional<EntityId> register_else_lookup(NodeId entity, EntityKind kind);
  // Status of a class expression operand: a named class is registered.
  Operand class_status(NodeId ce);
  // Status of an object property expression: a named one is registered.
  Operand property_status(NodeId ope);
  // Resolves an object property expression to a role: the named property
  // registered, else looked up; `Inverse` for an inverse expression.
  std::optional<trelvanic_core::RoleExpr> resolve_role(NodeId ope);
  // Status of the named property of an object property expression (the
  // operand of an inverse, which is noted); `inverse` tells which it was.
  Operand property_expression_status(NodeId ope, bool& inverse);

  // ---- expressions (map_dl.cpp)
  std::optional<CeId> map_class_expression(NodeId ce);
  std::optional<trelvanic_core::DataExpr> build_data_range(NodeId range);
  // build_data_range, interned.
  std::optional<DeId> intern_data_range(NodeId range);
  std::optional<trelvanic_core::DataExpr> build_literal(NodeId literal);
  std::optional<EntityId> map_individual_entity(NodeId individual);
  Operand individual_status(NodeId individual);
  [[nodiscard]] bool class_expression_uses_datatype(NodeId ce);

  // ---- components (map_visit.cpp, map_axioms.cpp)
  void visit(trelvanic_owl::Component component);
  void scan_class_expression(NodeId ce);
  bool map_intersection_superclass(EntityId sub, NodeId ce);
  bool el_superclass_operand_mappable(NodeId ce);

  [[nodiscard]] const trelvanic_owl::Ontology& model() const { return model_; }
  // Starts loading the cache slots (and model entries) of the operands of
  // `component`'s node: the driver calls it some components ahead of the
  // one it visits, so the slots of names met all over the model arrive
  // before they are needed.
  void prefetch_operands(trelvanic_owl::Component component) const {
    for (uint32_t w : model_.words(component.node)) {
      if (w >= cache_.size()) continue;
      trelvanic_memory::prefetch_line(&cache_[w]);
      model_.prefetch_node(NodeId(w));
    }
  }
  // Starts loading the DL store's index slots of class expressions that
  // visiting `component` will intern: the driver calls it a few components
  // ahead of the visit (after prefetch_operands, further ahead, has brought
  // in the operands' slots), so those interns find their slot in cache.
  void prefetch_expressions(trelvanic_owl::Component component);
  // How many entity nodes the model holds (an estimate of the entities).
  [[nodiscard]] size_t entity_node_count() const { return entity_nodes_; }
  // About how many class expressions the DL store will hold: the model's
  // composite class expressions and, as their named operands, at most as
  // many classes (every composite has at least one operand, and the classes
  // of told axioms never enter the store).
  [[nodiscard]] size_t class_expression_estimate() const {
    return composite_class_nodes_ + std::min(class_nodes_, composite_class_nodes_);
  }
  // At most how many more told axioms than components the mapping stores:
  // an intersection as a superclass gives a told axiom per operand.
  [[nodiscard]] size_t split_axiom_estimate() const { return extra_intersection_operands_; }
  // model().kind(n), from the mapper's own per-node table.
  [[nodiscard]] trelvanic_owl::Kind node_kind(NodeId n) const { return cache_[n.value].kind; }
  [[nodiscard]] trelvanic_core::Ontology& ontology() { return ontology_; }
  [[nodiscard]] trelvanic_core::ParseMeta& meta() { return meta_; }
  [[nodiscard]] bool strict() const { return limits_.strict; }
  // Source axioms mapped into the DL store alone, which `push_axiom`'s
  // count of stored told axioms does not see.
  [[nodiscard]] uint64_t dl_only_mapped() const { return dl_only_mapped_; }

 private:
  // Registration of an entity node's IRI for `kind`, through the cache.
  [[nodiscard]] Result<EntityId> resolve_cached(NodeId entity, EntityKind kind);
  std::optional<EntityId> warn_on_failure(Result<EntityId> r, std::string_view what, NodeId entity);
  // The expression of one node from its already mapped operands.
  std::optional<trelvanic_core::ClassExpr> finish_class_expression(NodeId ce, trelvanic_core::RoleExpr role,
                                                                   std::span<const CeId> children);
  std::optional<trelvanic_core::DataExpr> finish_data_range(NodeId range, std::span<const DeId> children);

  // Rules of the component table (map_axioms.cpp).
  void visit_sub_class_of(NodeId axiom);
  void visit_equivalent_classes(NodeId axiom);
  void visit_disjoint_classes(NodeId axiom);
  void visit_disjoint_union(NodeId axiom);
  // DL DisjointClasses over `ces` when they hold two distinct expressions
  // (returns true); else the one expression is empty, SubClassOf(it, Bottom)
  // per operand.
  bool push_disjoint_expressions(const std::vector<CeId>& ces);
  void visit_sub_object_property_of(NodeId axiom);
  void visit_equivalent_object_properties(NodeId axiom);
  void visit_disjoint_object_properties(NodeId axiom);
  void visit_inverse_object_properties(NodeId axiom);
  // P ≡ Q⁻ for named P and Q (P ≡ P⁻ is P symmetric).
  void push_inverse_pair(EntityId p, EntityId q);
  void visit_property_domain_or_range(NodeId axiom, bool domain);
  void visit_characteristic(NodeId axiom);
  void visit_same_individual(NodeId axiom);
  void visit_different_individuals(NodeId axiom);
  void visit_class_assertion(NodeId axiom);
  void visit_object_property_assertion(NodeId axiom);
  void visit_data_property_axiom(NodeId axiom);
  void visit_has_key(NodeId axiom);
  void visit_swrl_rule(NodeId axiom);

  const trelvanic_owl::Ontology& model_;
  trelvanic_core::Ontology& ontology_;
  trelvanic_core::ParseMeta& meta_;
  const IriSet& class_individual_iris_;
  LoadLimits limits_;
  MapOptions options_;

  // Per model node (one slot, so the walks of one axiom touch one place):
  // for an entity node the entity (+1, 0 = not yet) and the kinds it has
  // been registered for (bit per kind code); for a class expression, data
  // range or individual the id (+1) its successful mapping gave.
  // The node's model kind is copied in once (a sequential pass), so a walk
  // that asks an operand's kind and then resolves it reads one slot, not the
  // model's node table as well.
  // `marked` flags the nodes one walk has met (see mark_once), in what
  // would otherwise be the slot's padding.
  struct NodeCache {
    uint32_t entity = 0;
    uint32_t mapped = 0;
    uint16_t kinds = 0;
    trelvanic_owl::Kind kind{};
    bool marked = false;
  };
  static_assert(sizeof(NodeCache) == 12);
  // Whether `n` is met for the first time in the current walk (then marks
  // it); unmark_all() ends the walk. Shared operands (the model hash-conses)
  // are so walked once per expression.
  bool mark_once(NodeId n) {
    NodeCache& c = cache_[n.value];
    if (c.marked) return false;
    c.marked = true;
    marked_.push_back(n);
    return true;
  }
  void unmark_all() {
    for (NodeId n : marked_) cache_[n.value].marked = false;
    marked_.clear();
  }
  // On huge pages: probed at random all over the model, it would miss the
  // TLB on nearly every name with 4 KiB pages.
  std::vector<NodeCache, trelvanic_memory::HugePageAllocator<NodeCache>> cache_;
  std::optional<NodeId> nothing_class_;  // the model's class node of owl:Nothing, if any
  size_t entity_nodes_ = 0;
  size_t class_nodes_ = 0;
  size_t composite_class_nodes_ = 0;
  size_t extra_intersection_operands_ = 0;  // sum over intersections of (operands - 1)
  // The datatypes literals were given, registered once each, by the
  // model's IRI id (0: a simple literal's xsd:string, kLanguageTagged:
  // rdf:langString); like an entity node's slot, a name once registered as
  // a datatype resolves to the same entity with no effect.
  static constexpr uint32_t kLanguageTagged = ~uint32_t{0};
  absl::flat_hash_map<uint32_t, EntityId> literal_datatypes_;
  std::vector<trelvanic_core::Axiom> pending_;  // told axioms not yet stored
  // Whether the axiom limit is reached, with the queue stored first when it
  // could decide the answer.
  bool axiom_limit_reached();
  struct CeFrame {
    NodeId node;
    uint32_t next;  // next operand to map
    uint32_t base;  // where this frame's operand results start
    trelvanic_core::RoleExpr role;
  };
  NotedExpressions noted_expressions_;        // what is noted in meta_'s profile set
  std::vector<CeFrame> ce_frames_;            // scratch of map_class_expression
  std::vector<CeId> ce_results_;
  std::vector<NodeId> stack_;                 // scratch of the construct scan
  std::vector<NodeId> prefetch_stack_;        // scratch of prefetch_expressions
  std::vector<CeId> prefetch_ids_;
  std::vector<NodeId> marked_;                // nodes marked by the current walk
  std::vector<NodeId> datatype_todo_;         // scratch of class_expression_uses_datatype
  uint64_t noted_ = 0;          // constructs already in meta_.constructs
  uint64_t dl_only_mapped_ = 0;
};

struct MappedOntology {
  trelvanic_core::Ontology ontology;
  trelvanic_core::ParseMeta meta;
};

// Maps `model` into a new ontology with the load's entity and axiom limits
// installed; the caller attaches `meta` to the ontology.
[[nodiscard]] Result<MappedOntology> map_to_core(const trelvanic_owl::Ontology& model, const LoadLimits& limits,
                                                 MapOptions options = {});

}  // namespace trelvanic_parser
