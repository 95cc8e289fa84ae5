#include "owl/model.h"

#include <gtest/gtest.h>

#include "owl/functional_writer.h"
#include "owl/utf8.h"

namespace trelvanic_owl {
namespace {

TEST(Model, EqualExpressionsShareOneNode) {
  Ontology o;
  NodeId a = o.make_leaf(Kind::Class, o.intern_iri("http://x/A"));
  NodeId p = o.make_leaf(Kind::ObjectProperty, o.intern_iri("http://x/p"));
  NodeId some1 = o.make(Kind::ObjectSomeValuesFrom, {p.value, a.value});
  NodeId some2 = o.make(Kind::ObjectSomeValuesFrom, {p.value, a.value});
  NodeId all = o.make(Kind::ObjectAllValuesFrom, {p.value, a.value});
  EXPECT_EQ(some1, some2);
  EXPECT_NE(some1, all);
  EXPECT_EQ(o.kind(some1), Kind::ObjectSomeValuesFrom);
  EXPECT_EQ(o.operand(some1, 0), p);
  EXPECT_EQ(o.iri_text(o.operand(some1, 1)), "http://x/A");
  // Same IRI, different entity kinds: different nodes.
  EXPECT_NE(o.make_leaf(Kind::NamedIndividual, o.iri_of(a)), a);
}

TEST(Model, NodesMadeFromAnotherNodesWords) {
  // Words taken from the arena itself stay valid while the arena grows.
  Ontology o;
  std::vector<uint32_t> classes;
  for (int i = 0; i < 8; ++i) classes.push_back(o.make_leaf(Kind::Class, o.intern_iri("http://x/" + std::to_string(i))).value);
  NodeId both = o.make(Kind::ObjectIntersectionOf, classes);
  for (int i = 0; i < 10000; ++i) {
    NodeId either = o.make(Kind::ObjectUnionOf, o.words(both));
    ASSERT_EQ(o.make(Kind::ObjectIntersectionOf, o.words(both)), both);
    ASSERT_EQ(std::vector<uint32_t>(o.words(either).begin(), o.words(either).end()), classes);
    o.make(Kind::ObjectOneOf, {o.make_leaf(Kind::NamedIndividual, o.intern_iri("http://x/i" + std::to_string(i))).value});
  }
  EXPECT_EQ(o.kind(o.make(Kind::ObjectUnionOf, classes)), Kind::ObjectUnionOf);
}

TEST(Model, ComponentsAreASetInFirstOccurrenceOrder) {
  Ontology o;
  NodeId a = o.make_leaf(Kind::Class, o.intern_iri("http://x/A"));
  NodeId b = o.make_leaf(Kind::Class, o.intern_iri("http://x/B"));
  NodeId ab = o.make(Kind::SubClassOf, {a.value, b.value});
  NodeId ba = o.make(Kind::SubClassOf, {b.value, a.value});
  NodeId label = o.make(Kind::Annotation, {o.make_leaf(Kind::AnnotationProperty, o.intern_iri("http://x/l")).value,
                                           o.make_literal(o.intern_text("x"), TextId(), IriId()).value, 0});
  NodeId anns = o.make(Kind::AnnotationList, {label.value});
  EXPECT_TRUE(o.add_component(ba));
  EXPECT_TRUE(o.add_component(ab));
  EXPECT_FALSE(o.add_component(o.make(Kind::SubClassOf, {b.value, a.value})));
  EXPECT_TRUE(o.add_component(ab, anns));  // annotated: a different axiom
  ASSERT_EQ(o.component_count(), 3u);
  EXPECT_EQ(o.components()[0].node, ba);
  EXPECT_EQ(o.components()[1].node, ab);
  EXPECT_EQ(o.components()[2].annotations, anns);
}

TEST(Model, StringsSurviveMovesAndGrowth) {
  Ontology o;
  std::vector<IriId> ids;
  for (int i = 0; i < 100000; ++i) ids.push_back(o.intern_iri("http://example.org/entity/" + std::to_string(i)));
  NodeId c = o.make_leaf(Kind::Class, ids[5]);
  Ontology moved = std::move(o);
  EXPECT_EQ(moved.iri(ids[99999]), "http://example.org/entity/99999");
  EXPECT_EQ(moved.intern_iri("http://example.org/entity/5"), ids[5]);
  EXPECT_EQ(moved.make_leaf(Kind::Class, ids[5]), c);
  EXPECT_EQ(moved.intern_text(""), moved.intern_text(""));
  EXPECT_NE(moved.intern_text("").value, 0u);
  // An empty text may come as a view without data (a reader's empty
  // literal); it is the same text.
  EXPECT_EQ(moved.intern_text(std::string_view()), moved.intern_text(""));
  EXPECT_EQ(moved.intern_iri(std::string_view()), moved.intern_iri(std::string_view()));
}

TEST(Model, LongStringsFitWhateverTheSizeOfTheCurrentBlock) {
  // Records up to a quarter of the largest block share blocks, which start
  // small; longer ones get a block of their own. Each size follows small
  // strings so that it lands while a young block is being filled.
  const size_t sizes[] = {40 << 10, 100 << 10, (512 << 10) - 32, 512 << 10, 600 << 10, 40 << 10};
  Ontology o;
  std::vector<std::pair<TextId, std::string>> stored;
  for (size_t i = 0; i < std::size(sizes); ++i) {
    for (int k = 0; k < 3; ++k) {
      std::string small = "s" + std::to_string(i) + "_" + std::to_string(k);
      stored.emplace_back(o.intern_text(small), small);
    }
    std::string big(sizes[i], static_cast<char>('a' + i));
    stored.emplace_back(o.intern_text(big), big);
  }
  for (const auto& [id, text] : stored) EXPECT_EQ(o.text(id), text);
  EXPECT_EQ(o.intern_text(stored[3].second), stored[3].first);
}

TEST(Model, SourceNotesQuoteTheStartOfALongTextWithoutSplittingACharacter) {
  Ontology o;
  std::string accented = "http://x/" + std::string(900, 'a');  // the cut falls inside a character
  for (int i = 0; i < 20000; ++i) accented += "\u00e9";
  o.add_source_note("cannot map <" + accented + ">", true);
  o.add_source_note("short", false);
  ASSERT_EQ(o.source_notes().size(), 2u);
  const std::string& note = o.source_notes()[0].text;
  EXPECT_LE(note.size(), Ontology::kMaxSourceNoteBytes + 20);
  EXPECT_TRUE(note.starts_with("cannot map <http://x/aaa")) << note.substr(0, 40);
  EXPECT_TRUE(note.ends_with("... (40922 bytes)")) << note.substr(note.size() - 40);
  EXPECT_EQ(find_invalid_utf8(note), std::nullopt);
  EXPECT_EQ(o.source_notes()[1].text, "short");
}

TEST(Model, OneIriAsManyLeafKinds) {
  // The string record holds two leaves of an IRI; the others go elsewhere
  // and must stay distinct and stable.
  Ontology o;
  IriId iri = o.intern_iri("http://x/pun");
  const Kind kinds[] = {Kind::Class, Kind::NamedIndividual, Kind::Iri, Kind::ObjectProperty, Kind::Datatype,
                        Kind::Variable};
  std::vector<NodeId> first;
  for (Kind k : kinds) first.push_back(o.make_leaf(k, iri));
  for (size_t i = 0; i < first.size(); ++i) {
    EXPECT_EQ(o.make_leaf(kinds[i], iri), first[i]);
    EXPECT_EQ(o.make(kinds[i], {iri.value}), first[i]);
    EXPECT_EQ(o.kind(first[i]), kinds[i]);
    EXPECT_EQ(o.iri_of(first[i]), iri);
    for (size_t j = 0; j < i; ++j) EXPECT_NE(first[i], first[j]);
  }
}

// Makes the same small ontology through `make`/`add_component`: shared
// sub-expressions, repeated axioms (plain and annotated), literals, numbers
// that have the high bit set, nodes made from another node's words.
std::vector<NodeId> build_sample(Ontology& o) {
  auto cls = [&](const char* name) { return o.make_leaf(Kind::Class, o.intern_iri(std::string("http://x/") + name)).value; };
  uint32_t p = o.make_leaf(Kind::ObjectProperty, o.intern_iri("http://x/p")).value;
  uint32_t label = o.make_leaf(Kind::AnnotationProperty, o.intern_iri("http://x/label")).value;
  std::vector<NodeId> made;
  for (int round = 0; round < 2; ++round) {
    NodeId some = o.make(Kind::ObjectSomeValuesFrom, {p, cls("B")});
    NodeId both = o.make(Kind::ObjectIntersectionOf, {cls("C"), some.value});
    NodeId many = o.make(Kind::ObjectMinCardinality, {0xFFFFFFFFu, p, cls("B")});
    NodeId more = o.make(Kind::ObjectMaxCardinality, {0x80000001u, p, both.value});
    NodeId either = o.make(Kind::ObjectUnionOf, o.words(both));
    NodeId lit = o.make_literal(o.intern_text("v"), o.intern_text("en"), IriId());
    NodeId ann = o.make(Kind::Annotation, {label, lit.value, 0});
    NodeId anns = o.make(Kind::AnnotationList, {ann.value});
    o.add_component(o.make(Kind::SubClassOf, {cls("A"), both.value}));
    o.add_component(o.make(Kind::SubClassOf, {cls("A"), many.value}), anns);
    o.add_component(o.make(Kind::EquivalentClasses, {cls("D"), more.value, either.value}));
    o.add_component(o.make(Kind::SubClassOf, {cls("A"), many.value}));
    made.insert(made.end(), {some, both, many, more, either, lit, anns});
  }
  return made;
}

std::vector<std::string> rendered_components(const Ontology& o) {
  std::vector<std::string> out;
  for (const Component& c : o.components()) out.push_back(write_component(o, c));
  return out;
}

TEST(Model, BulkLoadGivesTheModelOfDirectMakes) {
  Ontology direct;
  build_sample(direct);

  Ontology bulk;
  bulk.begin_bulk_load();
  std::vector<NodeId> provisional = build_sample(bulk);
  // Provisional nodes read like final ones.
  EXPECT_EQ(bulk.kind(provisional[2]), Kind::ObjectMinCardinality);
  EXPECT_EQ(bulk.cardinality(provisional[2]), 0xFFFFFFFFu);
  EXPECT_EQ(bulk.kind(bulk.operand(provisional[1], 1)), Kind::ObjectSomeValuesFrom);
  bulk.finish_bulk_load();

  EXPECT_EQ(bulk.node_count(), direct.node_count());
  EXPECT_EQ(rendered_components(bulk), rendered_components(direct));
  ASSERT_EQ(bulk.component_count(), 4u);
  EXPECT_TRUE(bulk.components()[1].annotations.valid());
  EXPECT_FALSE(bulk.components()[3].annotations.valid());

  // After the load, making any of the same expressions again finds the
  // merged node instead of adding one.
  size_t nodes = bulk.node_count();
  std::vector<NodeId> again = build_sample(bulk);
  EXPECT_EQ(bulk.node_count(), nodes);
  EXPECT_EQ(bulk.component_count(), 4u);
  for (size_t i = 0; i < 7; ++i) EXPECT_EQ(again[i], again[i + 7]);
  EXPECT_EQ(bulk.cardinality(again[2]), 0xFFFFFFFFu);
  EXPECT_EQ(bulk.cardinality(again[3]), 0x80000001u);
  EXPECT_EQ(bulk.operand(again[1], 1), again[0]);
  // Every node refers only to nodes made before it.
  for (NodeId n : again) {
    size_t first = is_cardinality(bulk.kind(n)) ? 1 : 0;
    if (bulk.kind(n) == Kind::Literal) continue;
    for (size_t i = first; i < bulk.words(n).size(); ++i) EXPECT_LT(bulk.words(n)[i], n.value);
  }
}

}  // namespace
}  // namespace trelvanic_owl
