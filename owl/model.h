// The OWL 2 structural model: one ontology as a set of components over an
// arena of hash-consed nodes.
//
// Strings (IRIs, node labels, lexical forms, language tags) are interned once
// in the ontology's string pool and named by `IriId` or `TextId` (both index
// the same pool; id 0 means "none"). Every other value is a node: a `Kind`
// (kinds.h) and a run of 32-bit operand words. Nodes are hash-consed, so two
// structurally equal expressions have the same `NodeId` and comparing
// expressions is comparing ids. Nodes refer only to nodes made before them,
// so the arena is a DAG that any walk can visit bottom-up without recursion,
// and destroying it frees a few flat vectors.
//
// Operand words by kind:
//   - `Iri`, the six entity kinds, `Variable`: [IriId].
//   - `AnonymousIndividual`: [TextId of the node label, without "_:"].
//   - `Literal`: [TextId lexical form, TextId language tag or 0,
//                 IriId datatype or 0]. A plain literal has neither a tag nor
//                 a datatype; a literal never has both.
//   - cardinalities: [n (raw number), property, filler]. A missing filler is
//     stored as the class owl:Thing (object) or the datatype rdfs:Literal
//     (data), its meaning in OWL 2, so both spellings are one node.
//   - `Annotation`: [annotation property, value, nested `AnnotationList` or 0].
//   - `OntologyId`: [`Iri` node of the ontology IRI or 0, of the version or 0].
//   - every other kind: the operand nodes in the order of its shape.
//
// Components are the axioms, declarations, imports, ontology annotations
// (`Annotation` nodes) and the `OntologyId` of an ontology. A component is
// the pair (node, annotation list); the set keeps the first occurrence of
// each pair, in document order.
//
// Usage: readers call `intern_iri`/`intern_text`, `make_leaf`, `make` and
// `add_component`; consumers iterate `components()` and read nodes with
// `kind`, `operand`, `operands`, `iri`, `text` and the literal accessors.
//
// A reader of a large document may open a bulk load (`begin_bulk_load` ...
// `finish_bulk_load`): `make` then only appends a provisional node and the
// equal nodes are merged in one pass at the end, which can load the index
// slots of many nodes at once instead of waiting for each in turn. The
// result is the same model as without it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <absl/container/flat_hash_map.h>
#include <absl/container/flat_hash_set.h>

#include "memory/huge_pages.h"
#include "owl/id_table.h"
#include "owl/kinds.h"

namespace trelvanic_owl {

// Deepest nesting of expressions the readers accept. Walks over the model
// may rely on it as a bound on recursion depth.
inline constexpr uint32_t kMaxNestingDepth = 2048;

template <class Tag>
struct Id {
  uint32_t value = 0;
  constexpr Id() = default;
  constexpr explicit Id(uint32_t v) : value(v) {}
  [[nodiscard]] constexpr bool valid() const { return value != 0; }
  constexpr explicit operator bool() const { return value != 0; }
  friend constexpr bool operator==(Id, Id) = default;
  friend constexpr auto operator<=>(Id, Id) = default;
  template <class H>
  friend H AbslHashValue(H h, Id id) {
    return H::combine(std::move(h), id.value);
  }
};

struct IriIdTag {};
struct TextIdTag {};
struct NodeIdTag {};
using IriId = Id<IriIdTag>;    // an interned IRI, 0 = none
using TextId = Id<TextIdTag>;  // an interned text, 0 = none
using NodeId = Id<NodeIdTag>;  // a node of the arena, 0 = none

// The standard IRIs the model itself uses.
inline constexpr std::string_view kOwlThing = "http://www.w3.org/2002/07/owl#Thing";
inline constexpr std::string_view kOwlNothing = "http://www.w3.org/2002/07/owl#Nothing";
inline constexpr std::string_view kRdfsLiteral = "http://www.w3.org/2000/01/rdf-schema#Literal";

// A fast hash of a text (abseil's string hash; std::hash would be used for
// std::string_view in this abseil build, and it is several times slower).
struct TextHash {
  size_t operator()(std::string_view text) const;
};

// Interned strings; views stay valid for the pool's lifetime. Not copyable;
// `Ontology` holds it on the heap.
//
// Each string is one record in a block: a small header (its size, its id
// and the leaf nodes last made for it, see `Ontology::make_leaf`) followed by
// its bytes. The index slot of a string holds a 32-bit reference to its
// record, so a lookup of a known string touches the slot and the record and
// nothing else, and a slot takes 8 bytes.
class StringPool {
 public:
  StringPool();
  ~StringPool();
  StringPool(const StringPool&) = delete;
  StringPool& operator=(const StringPool&) = delete;
  uint32_t intern(std::string_view text) { return intern(text, TextHash()(text)); }
  // The same with the text's `TextHash` computed by the caller.
  uint32_t intern(std::string_view text, size_t hash);
  [[nodiscard]] std::string_view get(uint32_t id) const {
    const Record* r = entries_[id];
    return {r->data(), r->size};
  }
  [[nodiscard]] size_t size() const { return entries_.size(); }
  void reserve(size_t count);
  [[nodiscard]] size_t memory_bytes() const;
  // Cache hints for a coming `intern` of a text with this hash: `prefetch`
  // loads its index slot, `prefetch_record` (issued later, once the slot is
  // in cache) the record the probe will compare.
  void prefetch(size_t hash) const { index_.prefetch(hash); }
  void prefetch_record(size_t hash) const {
    if (const auto* slot = index_.first_match(hash)) prefetch_line(at(slot->id));
  }

 private:
  friend class Ontology;
  struct Record {
    uint32_t size;
    uint32_t id;
    // Up to two leaf nodes made for this string as an IRI, with their kinds
    // (node 0: none); further kinds of the same IRI go to the ontology's
    // overflow map.
    uint32_t leaf_node[2];
    Kind leaf_kind[2];
    [[nodiscard]] const char* data() const { return reinterpret_cast<const char*>(this + 1); }
    [[nodiscard]] char* data() { return reinterpret_cast<char*>(this + 1); }
  };
  // A record reference: the block in the high bits, the offset in the
  // block in units of 4 bytes in the low `kOffsetBits`.
  static constexpr uint32_t kOffsetBits = 19;
  [[nodiscard]] Record* at(uint32_t ref) const {
    return reinterpret_cast<Record*>(blocks_[ref >> kOffsetBits].data + size_t{ref & ((1u << kOffsetBits) - 1)} * 4);
  }
  // A new record for a text of `size` bytes; `ref` receives its reference.
  Record* allocate(size_t size, uint32_t& ref);
  // The record of an id; the one interned last is answered without a load.
  Record* record(uint32_t id) { return id == last_id_ ? last_record_ : entries_[id]; }
  const Record* record(uint32_t id) const { return id == last_id_ ? last_record_ : entries_[id]; }

  struct Block {
    char* data;
    size_t size;
  };
  std::vector<Block> blocks_;
  // The block small records go to and its size; the next record starts at
  // `cursor_`, `left_` bytes remain.
  size_t current_block_ = 0;
  size_t current_block_size_ = 0;
  char* cursor_ = nullptr;
  size_t left_ = 0;
  std::vector<Record*, trelvanic_memory::HugePageAllocator<Record*>> entries_;
  IdTable<> index_;
  uint32_t last_id_ = 0;
  Record* last_record_ = nullptr;
};

struct Component {
  NodeId node;
  NodeId annotations;  // an `AnnotationList`, or 0
  friend bool operator==(Component, Component) = default;
};

class Ontology {
 public:
  Ontology();
  ~Ontology();
  Ontology(Ontology&&) noexcept;
  Ontology& operator=(Ontology&&) noexcept;
  Ontology(const Ontology&) = delete;
  Ontology& operator=(const Ontology&) = delete;

  // Room for about `nodes` nodes and `strings` strings (readers size it from
  // the input length).
  void reserve(size_t nodes, size_t strings);

  // ---- strings
  IriId intern_iri(std::string_view iri) { return IriId(strings_->intern(iri)); }
  TextId intern_text(std::string_view text) { return TextId(strings_->intern(text)); }
  [[nodiscard]] std::string_view iri(IriId id) const { return strings_->get(id.value); }
  [[nodiscard]] std::string_view text(TextId id) const { return strings_->get(id.value); }
  // The same with the text's `TextHash` computed by the caller, and cache
  // hints a reader that looks ahead may give for a string it will intern
  // (see `StringPool::prefetch`).
  IriId intern_iri(std::string_view iri, size_t hash) { return IriId(strings_->intern(iri, hash)); }
  TextId intern_text(std::string_view text, size_t hash) { return TextId(strings_->intern(text, hash)); }
  void prefetch_string(size_t hash) const { strings_->prefetch(hash); }
  void prefetch_string_record(size_t hash) const { strings_->prefetch_record(hash); }

  // ---- nodes
  // The node of `kind` over `words` (see the operand table above); an equal
  // node made before is returned instead of a new one. Callers pass words in
  // the layout of the kind; shapes are checked by the readers (shape.h).
  NodeId make(Kind kind, std::span<const uint32_t> words);
  NodeId make(Kind kind, std::initializer_list<uint32_t> words) {
    return make(kind, std::span<const uint32_t>(words.begin(), words.size()));
  }
  // An entity, `Iri` or `Variable` node of an IRI.
  NodeId make_leaf(Kind kind, IriId iri);
  NodeId make_anonymous(TextId label) { return make(Kind::AnonymousIndividual, {label.value}); }
  NodeId make_literal(TextId lexical, TextId language, IriId datatype) {
    return make(Kind::Literal, {lexical.value, language.value, datatype.value});
  }

  // ---- bulk load
  // Until `finish_bulk_load`, `make` of any kind but the leaves (entities,
  // `Iri`, `Variable`) returns a provisional node without looking for an
  // equal one; provisional nodes can be read with the accessors below and
  // passed to `make` and `add_component`, which only records the component
  // (it returns true; `components()` stays as it was). `finish_bulk_load`
  // merges equal nodes, gives every node its final id in the order the
  // nodes were made and adds the recorded components in order, each once;
  // provisional ids are invalid after it. `nodes` is the expected number of
  // nodes (a size hint).
  void begin_bulk_load(size_t nodes = 0);
  void finish_bulk_load();

  [[nodiscard]] size_t node_count() const { return nodes_->size() - 1; }
  [[nodiscard]] Kind kind(NodeId id) const { return node(id).kind; }
  [[nodiscard]] std::span<const uint32_t> words(NodeId id) const {
    const Node& n = node(id);
    return {word_base(id) + n.begin, n.size};
  }
  // Starts loading where a coming `words(id)` finds the node's words.
  void prefetch_node(NodeId id) const { prefetch_line(&node(id)); }
  // Operand `i` of a node whose words are nodes.
  [[nodiscard]] NodeId operand(NodeId id, size_t i) const { return NodeId(words(id)[i]); }
  // The operand nodes of a node whose words are all nodes (n-ary kinds).
  [[nodiscard]] std::span<const NodeId> operands(NodeId id) const;
  // The IRI of an `Iri`, entity or `Variable` node.
  [[nodiscard]] IriId iri_of(NodeId id) const { return IriId(words(id)[0]); }
  [[nodiscard]] std::string_view iri_text(NodeId id) const { return iri(iri_of(id)); }
  // The label of an `AnonymousIndividual`.
  [[nodiscard]] std::string_view node_label(NodeId id) const { return text(TextId(words(id)[0])); }
  // Parts of a `Literal`.
  [[nodiscard]] std::string_view literal_lexical(NodeId id) const { return text(TextId(words(id)[0])); }
  [[nodiscard]] TextId literal_language(NodeId id) const { return TextId(words(id)[1]); }
  [[nodiscard]] IriId literal_datatype(NodeId id) const { return IriId(words(id)[2]); }
  // Parts of a cardinality restriction.
  [[nodiscard]] uint32_t cardinality(NodeId id) const { return words(id)[0]; }
  // The annotations of an `Annotation` node (an `AnnotationList` or 0).
  [[nodiscard]] NodeId nested_annotations(NodeId id) const { return NodeId(words(id)[2]); }
  // Whether the node is the named class owl:Thing / owl:Nothing.
  [[nodiscard]] bool is_owl_thing(NodeId id) const;
  [[nodiscard]] bool is_owl_nothing(NodeId id) const;
  // The leaf node of `kind` for `iri`, if the model has made one (a caller
  // testing many nodes for one name compares ids instead).
  [[nodiscard]] std::optional<NodeId> find_leaf(Kind kind, IriId iri) const;
  [[nodiscard]] std::optional<NodeId> owl_nothing_class() const { return find_leaf(Kind::Class, owl_nothing_); }

  // ---- components
  // Adds the component unless the same (node, annotations) pair is already
  // in the set; returns whether it was new.
  bool add_component(NodeId node, NodeId annotations = NodeId());
  [[nodiscard]] std::span<const Component> components() const { return components_; }
  [[nodiscard]] size_t component_count() const { return components_.size(); }
  // How many strings (IRIs and texts) the model holds: their ids are below it.
  [[nodiscard]] size_t string_count() const { return strings_->size(); }

  // The ontology IRI and version IRI of the `OntologyId` component (0 when
  // absent).
  [[nodiscard]] IriId ontology_iri() const { return ontology_id_part(0); }
  [[nodiscard]] IriId version_iri() const { return ontology_id_part(1); }

  // ---- what the reader could not carry over
  // A reader that meets something in its source it cannot turn into
  // components leaves a note for the loader's warnings; a note that stands
  // for a lost axiom (`lost_axiom`) also counts as a skipped axiom. At most
  // `kMaxSourceNotes` texts are kept; lost axioms beyond them are counted.
  // A note longer than `kMaxSourceNoteBytes` (it quotes a long IRI or
  // literal) keeps its start and its length.
  struct SourceNote {
    std::string text;
    bool lost_axiom = false;
  };
  static constexpr size_t kMaxSourceNotes = 10'000;
  static constexpr size_t kMaxSourceNoteBytes = 1000;
  void add_source_note(std::string text, bool lost_axiom);
  [[nodiscard]] std::span<const SourceNote> source_notes() const { return source_notes_; }
  // Lost axioms whose notes were not kept.
  [[nodiscard]] uint64_t unnoted_lost_axioms() const { return unnoted_lost_axioms_; }

  // Prefix declarations as read (name without ':' to namespace IRI), the
  // last declaration of a name winning. Kept for writers and diagnostics.
  void set_prefix(std::string_view name, std::string_view iri);
  [[nodiscard]] const absl::flat_hash_map<TextId, IriId>& prefixes() const { return prefixes_; }

  // Approximate heap bytes held (for benchmarks).
  [[nodiscard]] size_t memory_bytes() const;

 private:
  struct Node {
    Kind kind;
    bool plain_component = false;  // in the component set without annotations
    uint32_t begin;
    uint32_t size;
  };
  // The final arena is read at random (merging, consumers); the pending
  // nodes of a bulk load mostly in order, so they stay on ordinary pages.
  using NodeVector = std::vector<Node, trelvanic_memory::HugePageAllocator<Node>>;
  using WordVector = std::vector<uint32_t, trelvanic_memory::HugePageAllocator<uint32_t>>;
  using PendingNodeVector = std::vector<Node>;
  using PendingWordVector = std::vector<uint32_t>;
  // Provisional ids of a bulk load carry this bit; the rest is an index into
  // the pending nodes.
  static constexpr uint32_t kPendingBit = uint32_t{1} << 31;

  [[nodiscard]] const Node& node(NodeId id) const {
    if (id.value & kPendingBit) [[unlikely]] return (*pending_nodes_)[id.value & ~kPendingBit];
    return (*nodes_)[id.value];
  }
  [[nodiscard]] const uint32_t* word_base(NodeId id) const {
    return (id.value & kPendingBit) ? pending_words_->data() : words_->data();
  }
  IriId ontology_id_part(size_t i) const;
  uint32_t structural_hash(Kind kind, std::span<const uint32_t> words) const;
  NodeId insert_node(Kind kind, std::span<const uint32_t> words, uint32_t hash);
  NodeId append_pending(Kind kind, std::span<const uint32_t> words);
  bool add_final_component(NodeId node, NodeId annotations);

  struct Arena;  // nodes, words and their index; heap-held so moves keep the index valid

  std::unique_ptr<Arena> arena_;
  // Views into the arena for the inline accessors.
  const NodeVector* nodes_ = nullptr;
  const WordVector* words_ = nullptr;
  const PendingNodeVector* pending_nodes_ = nullptr;
  const PendingWordVector* pending_words_ = nullptr;
  std::unique_ptr<StringPool> strings_;

  std::vector<Component> components_;
  // (node, annotations) pairs of annotated components; unannotated ones are
  // marked on their node
  absl::flat_hash_set<uint64_t> component_index_;
  // Leaf nodes of an IRI beyond the two its string record holds, by
  // (IriId << 8 | kind).
  absl::flat_hash_map<uint64_t, uint32_t> extra_leaves_;
  // Components recorded during a bulk load, in document order.
  std::vector<Component> pending_components_;
  bool bulk_ = false;
  absl::flat_hash_map<TextId, IriId> prefixes_;
  std::vector<SourceNote> source_notes_;
  uint64_t unnoted_lost_axioms_ = 0;
  IriId owl_thing_;
  IriId owl_nothing_;
};

}  // namespace trelvanic_owl
