// The construct scanner: the ordered set of `OwlConstruct`s an `Ontology`
// uses, on which every profile decision is made.
//
// `scan_constructs` reads the live told axioms of the axiom store and every
// axiom of the DL store (with the class expressions it names), whether or
// not the ontology changed since it was loaded, and adds the constructs the
// loader recorded for its mapped axioms (`ParseMeta::profile_constructs`)
// and `SwrlRule` when the ontology holds SWRL rules. An unchanged loaded
// ontology therefore scans to the same set as after an edit that keeps its
// axioms.
//
// Class expressions are walked through a `CeConstructMemo`: an explicit
// stack, each expression id visited once, the constructs below each id kept
// for later calls (one 20-byte slot per expression of the store). Shared sub-expressions cost nothing extra, and cyclic
// expressions (possible in a store read from a snapshot) terminate with the
// union of the constructs on the cycle.
//
//   ConstructSet s = scan_constructs(ontology);
//   CeConstructMemo memo(ontology.dl());
//   ConstructMask m = dl_axiom_construct_mask(memo, ontology.dl().axiom(0));
#pragma once

#include <cstdint>
#include <vector>

#include "core/axiom.h"
#include "core/axiom_store.h"
#include "core/dl.h"
#include "core/ontology.h"
#include "profile/rules.h"

namespace trelvanic_profile {

using trelvanic_core::AxiomStore;
using trelvanic_core::AxiomView;
using trelvanic_core::CeId;
using trelvanic_core::DlAxiomView;
using trelvanic_core::DlStore;
using trelvanic_core::Ontology;

// The constructs under each class expression of one DL store. Holds a
// reference to the store, which must not change while the memo lives.
class CeConstructMemo {
 public:
  explicit CeConstructMemo(const DlStore& store) : store_(store) {}

  // The constructs of `id` and of every expression it reaches (a
  // cardinality's filler and the data ranges are not inspected); 0 for an
  // id beyond the store's expressions.
  [[nodiscard]] ConstructMask mask(CeId id);
  [[nodiscard]] const DlStore& store() const { return store_; }

 private:
  struct Node {
    ConstructMask mask = 0;
    uint32_t index = 0;  // visit number, from 1
    uint32_t low = 0;
    bool on_stack = false;
    bool done = false;
  };
  struct Frame {
    uint32_t id;
    uint32_t next_child;
  };

  void open(uint32_t id);
  [[nodiscard]] uint32_t child_count(uint32_t id) const;
  [[nodiscard]] uint32_t child(uint32_t id, uint32_t i) const;

  Node& node(uint32_t id) { return nodes_[id]; }

  const DlStore& store_;
  std::vector<Node> nodes_;  // by expression id, sized on first use
  std::vector<Frame> calls_;
  std::vector<uint32_t> component_;
  uint32_t counter_ = 0;
};

// The constructs of one told axiom alone (none for the negative assertions).
[[nodiscard]] ConstructMask axiom_construct_mask(const AxiomView& axiom);

// The constructs of one DL axiom and of the class expressions it names.
[[nodiscard]] ConstructMask dl_axiom_construct_mask(CeConstructMemo& memo, const DlAxiomView& axiom);

// Both stores: the live told axioms (inferred ones included) and every DL axiom.
[[nodiscard]] ConstructMask scan_construct_mask_from_axioms(const AxiomStore& axioms, const DlStore& dl);
[[nodiscard]] ConstructSet scan_constructs_from_axioms(const AxiomStore& axioms, const DlStore& dl);

// The whole ontology, as the header describes.
[[nodiscard]] ConstructMask scan_construct_mask(const Ontology& ontology);
[[nodiscard]] ConstructSet scan_constructs(const Ontology& ontology);

// Whether a live told axiom or a DL axiom is a negative property assertion
// (a form that records no construct).
[[nodiscard]] bool holds_negative_assertion(const Ontology& ontology);

}  // namespace trelvanic_profile
