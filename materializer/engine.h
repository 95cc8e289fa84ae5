// The OWL 2 RL/RDF rule engine: semi-naive forward chaining to the
// fixpoint over integer-coded triples.
//
// Insert, then fire: a derived triple is inserted into the store at once
// and queued; processing a queued triple runs every rule in which it can
// match a premise, joining it through the store's indexes with triples
// already stored. Each combination of premises is thus seen when its last
// premise is processed, and a triple that was already stored fires nothing.
// The busiest joins (cax-sco, scm-sco, prp-dom, prp-rng) look at the older
// partners only (stored before the triple being processed): a newer
// partner makes the join when it is processed itself, so each pair is
// joined once instead of from both sides. A triple queued again after a
// flag change joins with every partner on that visit (kRevisit).
//
// Equality: owl:sameAs is not stored as triples. It unites individuals in
// a union-find; the store keeps triples over representatives only, and when
// two classes merge every triple naming the absorbed root is rewritten
// (eq-rep-s/o). The output expands each stored triple over the members of
// its terms' classes and lists the owl:sameAs pairs of every class. Names
// that are also classes or properties are not united (kSchemaUse).
//
// Rules whose conclusion is "false" (inconsistency) derive nothing, so
// they run once over the closure at the end of `run` and record problems.
//
// Which rules fire on a processed triple is read from one table
// (Engine::Dispatch in engine.cpp): by the flags of its predicate, by its
// vocabulary predicate, and for a typing by the flags of the class or the
// vocabulary class. A rule has a side per premise that can arrive last;
// all sides of a rule live in the file of its family: rules_property
// (prp-*), rules_schema (scm-*, cax-sco), rules_class (cls-*, list-valued
// schema, restrictions), rules_equality (eq-*), rules_consistency (every
// rule concluding false, one handler per kind).
#pragma once

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <expected>
#include <string>
#include <vector>

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>

#include "materializer/dictionary.h"
#include "materializer/equality.h"
#include "materializer/error.h"
#include "materializer/term_id.h"
#include "materializer/triple_store.h"

namespace trelvanic_materializer {

struct Options {
  // Polled between rounds of reasoning; when it reads true, `reason`
  // stops with the "cancelled" error. Null: never cancelled.
  const std::atomic<bool>* cancel = nullptr;
  // Also output derived tautologies: c rdfs:subClassOf c, owl:Thing and
  // owl:Nothing bounds of scm-cls, p rdfs:subPropertyOf p, x rdf:type
  // owl:Thing. They are always derived and used internally.
  bool emit_tautologies = false;
};

struct Problem {
  std::string rule;     // the W3C rule name, e.g. "cax-dw"
  std::string message;
  friend bool operator==(const Problem&, const Problem&) = default;
};

class Engine {
 public:
  Engine(Dictionary& dict, Options options);
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  // Replaces the cancellation flag of the options (null: never cancelled).
  void set_cancel(const std::atomic<bool>* cancel) { options_.cancel = cancel; }

  // Adds a triple as told. The terms must come from the dictionary.
  [[nodiscard]] std::expected<void, Error> add(const Triple& t);
  // Makes room for about this many stored triples, told and derived (a hint).
  void reserve(std::size_t triples) { store_.reserve(triples); }
  // Before adding a batch of told triples: room for them and, the first
  // time, for three times as many derived ones (RL closures of schemas
  // with data are commonly three to five times the input; at most 16M),
  // so the store's tables do not regrow step by step from empty.
  void reserve_for_load(std::size_t batch) {
    constexpr std::size_t kMaxDerivedRoom = std::size_t{1} << 24;
    store_.reserve(store_.size() + batch + (store_.size() == 0 ? std::min(3 * batch, kMaxDerivedRoom) : 0));
  }
  // Runs the rules to the fixpoint, then the consistency checks.
  [[nodiscard]] std::expected<void, Error> run();
  // Every triple of the closure, in insertion order (see file comment).
  void output(std::vector<Triple>& out) const;
  [[nodiscard]] const std::vector<Problem>& problems() const { return problems_; }
  [[nodiscard]] std::uint64_t derived_count() const { return derived_; }

 private:
  enum PropFlag : std::uint32_t {
    kPropDomain = 1u << 0,
    kPropRange = 1u << 1,
    kPropSuper = 1u << 2,
    kPropInverse = 1u << 3,
    kPropTransitive = 1u << 4,
    kPropSymmetric = 1u << 5,
    kPropFunctional = 1u << 6,
    kPropInverseFunctional = 1u << 7,
    kPropChain = 1u << 8,
    kPropKey = 1u << 9,
    kPropRestriction = 1u << 10,
  };
  enum ClassFlag : std::uint32_t {
    kClassSuper = 1u << 16,
    kClassInIntersection = 1u << 17,
    kClassRestriction = 1u << 18,
    kClassFiller = 1u << 19,  // someValuesFrom filler or onClass of a max-1 restriction
    kClassKeyed = 1u << 20,
    kLiteralSeen = 1u << 21,
  };
  // The term is used as a class or a property (a predicate, the object of
  // rdf:type, an operand of a schema axiom). owl:sameAs between such terms
  // is a statement about individuals that share the name (punning): under
  // the Direct Semantics it does not make the classes or properties equal,
  // so the engine does not unite them.
  static constexpr std::uint32_t kSchemaUse = 1u << 31;

  enum class RestrictionKind : std::uint8_t { kSome, kAll, kHasValue, kMax };
  struct Restriction {
    RestrictionKind kind;
    TermId node;      // the restriction class x
    TermId property;  // owl:onProperty
    TermId filler;    // some/all: class; hasValue: value; max: onClass (owl:Thing when unqualified)
    std::uint32_t max = 0;  // max: 0 or 1
    bool qualified = false;
  };
  struct ListConstruct {
    TermId owner;  // class (intersection, key) or property (chain)
    std::vector<TermId> items;
  };

  // The rule table (engine.cpp): which rule sides fire on a processed
  // triple, by the flags of its predicate, by its vocabulary predicate,
  // and for "x rdf:type c" by the flags of c or the vocabulary term c.
  // A rule side is a member function; the sides of one rule live in the
  // file of its family.
  //   data side:   void (index, triple)            fired by "x p y", p flagged
  //   schema side: void (index, triple, flags)     fired by a vocabulary predicate
  //   typing side: void (x, c)                     fired by "x rdf:type c"
  using DataRule = void (Engine::*)(std::uint32_t index, const Triple& t);
  using SchemaRule = void (Engine::*)(std::uint32_t index, const Triple& t, std::uint8_t flags);
  using TypingRule = void (Engine::*)(TermId x, TermId c);
  struct Dispatch;

  TermId find(TermId t) const { return eq_.find(t); }
  bool has(TermId s, TermId p, TermId o) const { return store_.contains(Triple{find(s), find(p), find(o)}); }
  bool has_type(TermId x, TermId c) const;
  // Adds a derived triple (canonicalised); owl:sameAs unites instead.
  void derive(TermId s, TermId p, TermId o, std::uint8_t flags = 0);
  void unite_later(TermId a, TermId b) { pending_merges_.push_back({a, b}); }
  void problem(std::string rule, std::string message);
  std::string show(TermId t) const { return dict_.display(t); }
  // Reads a well-formed rdf:List; no value for a broken or unfinished one.
  bool read_list(TermId head, std::vector<TermId>& items) const;

  std::uint32_t flags_of(TermId t) const { return t.value < term_flags_.size() ? term_flags_[t.value] : 0; }
  void add_flags(TermId t, std::uint32_t f);

  void process(std::uint32_t index);
  void note_schema(const Triple& t);  // term flags, at insert time
  // Stored triple i is an rdfs:subClassOf link that is not (or no longer)
  // a transitive shortcut: list it among the base links of its subject.
  void note_base_link(std::uint32_t i);
  // f(superclass, triple flags) for every live base link of c stored
  // before `bound` (any order: a link joins when it becomes base).
  template <typename F>
  void for_base_supers(TermId c, std::uint32_t bound, F&& f) const {
    if (c.value >= base_link_head_.size()) return;
    for (std::uint32_t n = base_link_head_[c.value]; n != kNoTriple; n = base_links_[n].next) {
      std::uint32_t i = base_links_[n].triple;
      if (i < bound && !store_.dead(i)) f(store_.at(i).object, store_.flags(i));
    }
  }
  void merge_now(TermId a, TermId b);
  [[nodiscard]] std::expected<void, Error> saturate();
  bool emittable(const Triple& t, std::uint8_t flags) const;

  // rules_property.cpp: prp-*, each with the sides fired by data and by schema
  void prp_dom(std::uint32_t index, const Triple& t);
  void prp_rng(std::uint32_t index, const Triple& t);
  void prp_dom_rng_by_axiom(std::uint32_t index, const Triple& t, std::uint8_t flags);
  void prp_spo1(std::uint32_t index, const Triple& t);
  void prp_spo1_by_axiom(std::uint32_t index, const Triple& t, std::uint8_t flags);
  void prp_inv(std::uint32_t index, const Triple& t);
  void prp_inv_by_axiom(std::uint32_t index, const Triple& t, std::uint8_t flags);
  void prp_symp(std::uint32_t index, const Triple& t);
  void prp_symp_by_type(TermId p, TermId characteristic);
  void prp_trp(std::uint32_t index, const Triple& t);
  void prp_trp_by_type(TermId p, TermId characteristic);
  void prp_fp(std::uint32_t index, const Triple& t);
  void prp_fp_by_type(TermId p, TermId characteristic);
  void prp_ifp(std::uint32_t index, const Triple& t);
  void prp_ifp_by_type(TermId p, TermId characteristic);
  void prp_spo2(std::uint32_t index, const Triple& t);
  void register_chain(TermId owner, const std::vector<TermId>& items);
  void chain_from(std::uint32_t chain, std::size_t position, TermId u, TermId v);
  void prp_key(std::uint32_t index, const Triple& t);
  void prp_key_by_type(TermId x, TermId c);
  void register_key(TermId owner, const std::vector<TermId>& items);
  void key_check(TermId x, std::uint32_t key);
  void transitive_step(std::uint32_t index, Triple t);
  // rules_schema.cpp: scm-* and cax-sco
  void scm_sco(std::uint32_t index, const Triple& t, std::uint8_t flags);
  void scm_eqc1(std::uint32_t index, const Triple& t, std::uint8_t flags);
  void scm_spo(std::uint32_t index, const Triple& t, std::uint8_t flags);
  void scm_eqp1(std::uint32_t index, const Triple& t, std::uint8_t flags);
  void scm_dom_rng_by_axiom(std::uint32_t index, const Triple& t, std::uint8_t flags);
  void scm_dom1_rng1_by_link(std::uint32_t index, const Triple& t, std::uint8_t flags);
  void scm_dom2_rng2_by_link(std::uint32_t index, const Triple& t, std::uint8_t flags);
  void scm_cls(TermId c, TermId type);
  void scm_op_dp(TermId p, TermId type);
  void cax_sco(TermId x, TermId c);
  void cax_sco_by_link(std::uint32_t index, const Triple& t, std::uint8_t flags);
  // rules_class.cpp: cls-*, restrictions, list-valued schema
  void note_typing(TermId x, TermId c);  // cls-int1 prefilter
  void cls_int1(TermId x, TermId c);
  void restriction_by_member(TermId x, TermId c);
  void restriction_by_filler(TermId x, TermId c);
  void restriction_data(std::uint32_t index, const Triple& t);
  void restriction_by_axiom(std::uint32_t index, const Triple& t, std::uint8_t flags);
  void register_restrictions(TermId node);
  void add_restriction(const Restriction& r);
  void restriction_pairs(std::uint32_t r);
  void max_one(const Restriction& r, TermId u);
  void list_by_axiom(std::uint32_t index, const Triple& t, std::uint8_t flags);
  void list_cell_changed(std::uint32_t index, const Triple& t, std::uint8_t flags);
  void lists_changed();  // compiles the lists reached from changed_cells_
  void compile_list(TermId owner, TermId predicate, TermId head);
  void register_intersection(TermId owner, const std::vector<TermId>& items);
  void scm_svf_avf_by_subclass(std::uint32_t index, const Triple& t, std::uint8_t flags);
  void scm_svf_avf_by_subproperty(std::uint32_t index, const Triple& t, std::uint8_t flags);
  // rules_consistency.cpp: every rule concluding false
  void check_consistency();
  void check_different_from();
  void check_all_different();
  void check_irreflexive_asymmetric();
  void check_disjoint_properties();
  void check_negative_assertions();
  void check_distinct_values();
  void check_nothing();
  void check_disjoint_classes();
  void check_max_zero();
  void check_datatypes();

  Dictionary& dict_;
  Options options_;
  TripleStore store_;
  Equality eq_;
  std::vector<std::uint32_t> term_flags_;
  std::vector<std::uint32_t> queue_;
  // Partners of the triple being processed: stored before this index.
  std::uint32_t older_than_ = kNoTriple;
  std::size_t queue_head_ = 0;
  std::vector<std::pair<TermId, TermId>> pending_merges_;
  std::vector<TermId> changed_cells_;
  std::vector<TermId> literal_objects_;  // every literal met as an object, once
  // owl:sameAs pairs of punned names, kept as stated (not united).
  std::vector<std::pair<TermId, TermId>> punned_same_;
  absl::flat_hash_set<std::pair<TermId, TermId>> punned_seen_;  // list cells that gained rdf:first / rdf:rest
  std::uint64_t derived_ = 0;
  std::uint64_t steps_ = 0;
  std::vector<Problem> problems_;
  absl::flat_hash_set<std::pair<std::string, std::string>> problem_seen_;

  // Base rdfs:subClassOf links by subject: the joins of cax-sco and scm-sco
  // walk these instead of every superclass of the closure.
  struct BaseLink {
    std::uint32_t triple;
    std::uint32_t next;
  };
  std::vector<std::uint32_t> base_link_head_;  // by class id
  std::vector<BaseLink> base_links_;

  // Transitive properties: base edges (not derived by prp-trp) by (p, x).
  absl::flat_hash_map<std::uint64_t, std::vector<TermId>> base_successors_;
  absl::flat_hash_set<Triple> base_edges_;

  // List-valued schema: intersections, chains, keys.
  std::vector<ListConstruct> intersections_, chains_, keys_;
  absl::flat_hash_map<TermId, std::vector<std::uint32_t>> intersections_by_member_;
  // cls-int1 prefilter: a 128-bit signature of the intersection operands
  // an individual was typed with (one hashed bit per class), and of each
  // intersection's operands. An individual whose signature lacks a bit of
  // the intersection's lacks an operand, so the lookups are skipped.
  using Signature = std::array<std::uint64_t, 2>;
  static void add_to_signature(Signature& sig, TermId c) {
    const std::uint64_t bit = (std::uint64_t{c.value} * 0x9E3779B97F4A7C15ull) >> 57;  // 0..127
    sig[bit >> 6] |= std::uint64_t{1} << (bit & 63);
  }
  std::vector<Signature> type_signatures_;     // by individual id
  std::vector<Signature> intersection_masks_;  // by intersection
  absl::flat_hash_map<TermId, std::vector<std::pair<std::uint32_t, std::uint32_t>>> chains_by_property_;
  absl::flat_hash_map<TermId, std::vector<std::uint32_t>> keys_by_class_, keys_by_property_;
  absl::flat_hash_set<Triple> compiled_lists_;

  std::vector<Restriction> restrictions_;
  absl::flat_hash_set<std::tuple<std::uint8_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t>> restriction_seen_;
  // By property: every kind but hasValue (restriction_data walks these for
  // each triple of the property); hasValue by (property, value) instead.
  absl::flat_hash_map<TermId, std::vector<std::uint32_t>> restrictions_by_property_, restrictions_by_property_all_,
      restrictions_by_node_, restrictions_by_filler_;
  absl::flat_hash_map<Triple, std::vector<std::uint32_t>> has_value_by_pair_;
};

}  // namespace trelvanic_materializer
