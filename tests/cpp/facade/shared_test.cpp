// Working copies of a shared ontology: pull, clone, push, the conflict of a
// push after the shared ontology moved (and the pull that then replaces the
// working copy), and the poisoned lock.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "core/ontology.h"
#include "core/reasoner.h"
#include "facade/shared.h"

namespace trelvanic_facade {
namespace {

using trelvanic_core::Axiom;
using trelvanic_core::EntityKind;
using trelvanic_core::Ontology;
using trelvanic_core::Reasoner;
using trelvanic_core::ReasonerBuilder;

struct Linked {
  Reasoner reasoner;
  SharedLink link;
};

Linked link_to(const std::shared_ptr<SharedOntology>& shared) {
  auto copy = link_shared(shared);
  EXPECT_TRUE(copy);
  auto r = ReasonerBuilder{}.build(std::move(copy->working));
  EXPECT_TRUE(r);
  return Linked{std::move(*r), std::move(copy->link)};
}

void add_subclass(Reasoner& r, const char* sub, const char* sup) {
  Ontology& o = r.ontology_mut();
  auto a = o.entity_id(sub, EntityKind::Class);
  auto b = o.entity_id(sup, EntityKind::Class);
  ASSERT_TRUE(a && b);
  ASSERT_TRUE(o.add_axiom(Axiom::sub_class_of(*a, *b)));
}

size_t shared_axioms(SharedOntology& s) { return (*s.lock())->axiom_count(); }

TEST(SharedSync, TwoReasonersSeeEachOthersPublishedEdits) {
  auto shared = std::make_shared<SharedOntology>(Ontology{});
  Linked a = link_to(shared);
  Linked b = link_to(shared);

  ASSERT_EQ(sync_from_shared(a.link, a.reasoner), false);
  add_subclass(a.reasoner, "http://ex.org/A", "http://ex.org/B");
  ASSERT_TRUE(sync_to_shared(a.link, a.reasoner));
  EXPECT_EQ(shared_axioms(*shared), 1u);
  EXPECT_EQ(*a.link.base_revision, a.reasoner.ontology().revision());

  // b pulls a's change before working, so its own push does not conflict.
  auto pulled = sync_from_shared(b.link, b.reasoner);
  ASSERT_TRUE(pulled);
  EXPECT_TRUE(*pulled);
  EXPECT_EQ(b.reasoner.ontology().axiom_count(), 1u);
  add_subclass(b.reasoner, "http://ex.org/B", "http://ex.org/C");
  ASSERT_TRUE(sync_to_shared(b.link, b.reasoner));
  EXPECT_EQ(shared_axioms(*shared), 2u);

  ASSERT_TRUE(sync_from_shared(a.link, a.reasoner));
  EXPECT_EQ(a.reasoner.ontology().axiom_count(), 2u);
}

TEST(SharedSync, ConflictKeepsBothSidesAndTheNextPullReplacesTheWorkingCopy) {
  auto shared = std::make_shared<SharedOntology>(Ontology{});
  Linked a = link_to(shared);
  Linked b = link_to(shared);

  add_subclass(a.reasoner, "http://ex.org/A", "http://ex.org/B");
  ASSERT_TRUE(sync_to_shared(a.link, a.reasoner));
  // b changed its copy without pulling a's change first.
  add_subclass(b.reasoner, "http://ex.org/X", "http://ex.org/Y");
  add_subclass(b.reasoner, "http://ex.org/Y", "http://ex.org/Z");
  const auto base_before = *b.link.base_revision;
  auto pushed = sync_to_shared(b.link, b.reasoner);
  ASSERT_FALSE(pushed);
  EXPECT_EQ(pushed.error().kind, SyncErrorKind::Conflict);
  EXPECT_EQ(pushed.error().message(), "shared ontology was modified concurrently; re-sync or use a single writer");
  EXPECT_EQ(*b.link.base_revision, base_before);
  EXPECT_EQ(b.reasoner.ontology().axiom_count(), 2u);
  EXPECT_EQ(shared_axioms(*shared), 1u);

  // Re-sync: the unpublished edits of b are dropped for the shared state.
  auto pulled = sync_from_shared(b.link, b.reasoner);
  ASSERT_TRUE(pulled && *pulled);
  EXPECT_EQ(b.reasoner.ontology().axiom_count(), 1u);
  EXPECT_TRUE(b.reasoner.ontology().lookup_entity("http://ex.org/A"));
  EXPECT_FALSE(b.reasoner.ontology().lookup_entity("http://ex.org/X"));
  EXPECT_TRUE(sync_to_shared(b.link, b.reasoner));
}

TEST(SharedSync, UnchangedWorkingCopyPushesNothingEvenWhenTheSharedOneMoved) {
  auto shared = std::make_shared<SharedOntology>(Ontology{});
  Linked a = link_to(shared);
  Linked reader = link_to(shared);
  add_subclass(a.reasoner, "http://ex.org/A", "http://ex.org/B");
  ASSERT_TRUE(sync_to_shared(a.link, a.reasoner));
  // A call that changed nothing never conflicts.
  EXPECT_TRUE(sync_to_shared(reader.link, reader.reasoner));
  EXPECT_EQ(shared_axioms(*shared), 1u);
}

TEST(SharedSync, CloneComesFromTheSharedOntologyWhenLinked) {
  auto shared = std::make_shared<SharedOntology>(Ontology{});
  Linked a = link_to(shared);
  add_subclass(a.reasoner, "http://ex.org/A", "http://ex.org/B");
  auto clone = clone_work_ontology(a.link, a.reasoner);
  ASSERT_TRUE(clone);
  EXPECT_EQ(clone->axiom_count(), 0u);

  auto unlinked = ReasonerBuilder{}.build(a.reasoner.ontology().clone());
  ASSERT_TRUE(unlinked);
  SharedLink none;
  auto own = clone_work_ontology(none, *unlinked);
  ASSERT_TRUE(own);
  EXPECT_EQ(own->axiom_count(), 1u);
  EXPECT_EQ(sync_from_shared(none, *unlinked).value(), false);
  EXPECT_TRUE(sync_to_shared(none, *unlinked));
}

TEST(SharedSync, MissingBaseRevisionIsReported) {
  auto shared = std::make_shared<SharedOntology>(Ontology{});
  Linked a = link_to(shared);
  add_subclass(a.reasoner, "http://ex.org/A", "http://ex.org/B");
  a.link.base_revision.reset();
  auto pushed = sync_to_shared(a.link, a.reasoner);
  ASSERT_FALSE(pushed);
  EXPECT_EQ(pushed.error().message(), "shared ontology sync state missing base revision");
}

TEST(SharedSync, HolderLeavingByAnExceptionPoisonsTheLock) {
  auto shared = std::make_shared<SharedOntology>(Ontology{});
  Linked a = link_to(shared);
  try {
    auto locked = shared->lock();
    ASSERT_TRUE(locked);
    throw std::runtime_error("writer failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_TRUE(shared->poisoned());
  for (auto result : {clone_work_ontology(a.link, a.reasoner).error(), link_shared(shared).error()}) {
    EXPECT_EQ(result.kind, SyncErrorKind::Poisoned);
    EXPECT_EQ(result.message(), "ontology lock poisoned: poisoned lock: another task failed inside");
  }
}

}  // namespace
}  // namespace trelvanic_facade
