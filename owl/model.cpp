#include "owl/model.h"

#include <algorithm>
#include <cstring>

#include <absl/hash/hash.h>

#include "owl/utf8.h"

namespace trelvanic_owl {

size_t TextHash::operator()(std::string_view text) const {
  return absl::Hash<absl::string_view>()(absl::string_view(text.data(), text.size()));
}

// ---- StringPool

namespace {

// Record blocks start small (a small ontology stays small) and double up to
// one huge page.
constexpr size_t kFirstBlockBytes = size_t{16} << 10;
constexpr size_t kBlockBytes = size_t{2} << 20;

size_t record_bytes(size_t size) { return (sizeof(uint32_t) * 5 + size + 3) & ~size_t{3}; }

// Whether `kind` is a leaf made by `make_leaf` (one IRI word).
bool is_iri_leaf(Kind kind) {
  KindRole role = kind_role(kind);
  return role == KindRole::Entity || kind == Kind::Iri || kind == Kind::Variable;
}

// The index of the first word of a node of `kind` that names a node; the
// words before it are raw numbers or string ids.
size_t first_node_word(Kind kind, size_t size) {
  if (kind == Kind::Literal || kind == Kind::AnonymousIndividual || is_iri_leaf(kind)) return size;
  return is_cardinality(kind) ? 1 : 0;
}

uint64_t table_hash(uint32_t structural) { return uint64_t{structural} << 32; }

// Appends `words` to `to` and returns where they begin.
template <class Vector>
uint32_t append_words(Vector& to, std::span<const uint32_t> words) {
  auto begin = static_cast<uint32_t>(to.size());
  const uint32_t* data = to.data();
  if (!words.empty() && words.data() >= data && words.data() < data + to.size()) {
    // the words are another node's: copy them before the vector may move
    std::vector<uint32_t> copy(words.begin(), words.end());
    to.insert(to.end(), copy.begin(), copy.end());
  } else {
    to.insert(to.end(), words.begin(), words.end());
  }
  return begin;
}

}  // namespace

StringPool::StringPool() {
  uint32_t ref = 0;
  Record* none = allocate(0, ref);  // id 0: none
  entries_.push_back(none);
  last_record_ = none;
}

StringPool::~StringPool() {
  for (const Block& b : blocks_) trelvanic_memory::huge_free(b.data, b.size);
}

StringPool::Record* StringPool::allocate(size_t size, uint32_t& ref) {
  static_assert(sizeof(Record) == sizeof(uint32_t) * 5);
  static_assert(kBlockBytes / 4 <= (size_t{1} << kOffsetBits));
  if (blocks_.size() >= (size_t{1} << (32 - kOffsetBits)) - 1) throw std::bad_alloc();  // 16 GiB of text
  size_t bytes = record_bytes(size);
  char* out;
  if (bytes > kBlockBytes / 4) {  // a large string gets its own block
    out = static_cast<char*>(trelvanic_memory::huge_allocate_zeroed(bytes));
    blocks_.push_back(Block{out, bytes});
    ref = static_cast<uint32_t>(blocks_.size() - 1) << kOffsetBits;
  } else {
    if (bytes > left_) {
      size_t grown = blocks_.empty() ? kFirstBlockBytes : std::min(kBlockBytes, current_block_size_ * 2);
      // a record of up to a quarter block may still exceed a young block
      grown = std::max({grown, kFirstBlockBytes, bytes});
      cursor_ = static_cast<char*>(trelvanic_memory::huge_allocate_zeroed(grown));
      blocks_.push_back(Block{cursor_, grown});
      current_block_ = blocks_.size() - 1;
      current_block_size_ = grown;
      left_ = grown;
    }
    out = cursor_;
    auto offset = static_cast<size_t>(cursor_ - blocks_[current_block_].data);
    ref = static_cast<uint32_t>(current_block_ << kOffsetBits) | static_cast<uint32_t>(offset / 4);
    cursor_ += bytes;
    left_ -= bytes;
  }
  auto* r = reinterpret_cast<Record*>(out);
  *r = Record{static_cast<uint32_t>(size), 0, {0, 0}, {Kind::Iri, Kind::Iri}};
  return r;
}

uint32_t StringPool::intern(std::string_view text, size_t hash) {
  Record* found = nullptr;
  auto store = [&] {
    uint32_t ref = 0;
    Record* r = allocate(text.size(), ref);
    if (!text.empty()) std::memcpy(r->data(), text.data(), text.size());
    r->id = static_cast<uint32_t>(entries_.size());
    entries_.push_back(r);
    found = r;
    return ref;
  };
  auto same = [&](uint32_t ref, NoExtra) {
    Record* r = at(ref);
    found = r;
    // An empty view may have no data pointer, which memcmp must not get.
    return r->size == text.size() && (text.empty() || std::memcmp(r->data(), text.data(), text.size()) == 0);
  };
  index_.find_or_emplace(hash, store, same);
  last_id_ = found->id;
  last_record_ = found;
  return found->id;
}

void StringPool::reserve(size_t count) {
  entries_.reserve(count);
  index_.reserve(count);
}

size_t StringPool::memory_bytes() const {
  size_t bytes = entries_.capacity() * sizeof(Record*) + index_.memory_bytes();
  for (const Block& b : blocks_) bytes += b.size;
  return bytes;
}

// ---- node arena

struct Ontology::Arena {
  Arena() {
    nodes.push_back(Node{Kind::Iri, false, 0, 0});  // id 0: none
    hashes.push_back(0);
  }

  NodeVector nodes;
  WordVector words;
  WordVector hashes;  // the structural hash of each node
  IdTable<> index;    // every node but the leaves (those hang on their string)

  // Provisional nodes of a bulk load.
  PendingNodeVector pending_nodes;
  PendingWordVector pending_words;
  PendingWordVector pending_hashes;
};

Ontology::Ontology() : arena_(std::make_unique<Arena>()), strings_(std::make_unique<StringPool>()) {
  nodes_ = &arena_->nodes;
  words_ = &arena_->words;
  pending_nodes_ = &arena_->pending_nodes;
  pending_words_ = &arena_->pending_words;
  owl_thing_ = intern_iri(kOwlThing);
  owl_nothing_ = intern_iri(kOwlNothing);
}

Ontology::~Ontology() = default;
Ontology::Ontology(Ontology&&) noexcept = default;
Ontology& Ontology::operator=(Ontology&&) noexcept = default;

void Ontology::add_source_note(std::string text, bool lost_axiom) {
  if (source_notes_.size() < kMaxSourceNotes) {
    if (text.size() > kMaxSourceNoteBytes) text = utf8_excerpt(text, kMaxSourceNoteBytes);
    source_notes_.push_back(SourceNote{std::move(text), lost_axiom});
  } else if (lost_axiom) {
    ++unnoted_lost_axioms_;
  }
}

void Ontology::reserve(size_t nodes, size_t strings) {
  arena_->nodes.reserve(nodes);
  arena_->words.reserve(nodes * 2);
  arena_->hashes.reserve(nodes);
  arena_->index.reserve(nodes);
  strings_->reserve(strings);
}

// The hash of a node computed from the hashes of its operand nodes rather
// than from their ids, so that it is known for a provisional node of a bulk
// load before its operands have their final ids. Equal nodes have equal
// operands and so equal hashes.
uint32_t Ontology::structural_hash(Kind kind, std::span<const uint32_t> words) const {
  const Arena& a = *arena_;
  size_t nodes_from = first_node_word(kind, words.size());
  uint64_t h = (static_cast<uint64_t>(kind) + 1) * 0x9E3779B97F4A7C15ull + words.size();
  for (size_t i = 0; i < words.size(); ++i) {
    uint32_t w = words[i];
    uint32_t v = w;
    if (i >= nodes_from && w != 0) {
      // (a word that names no node, which a caller should not pass, is
      // hashed as it is rather than read out of bounds)
      uint32_t index = w & ~kPendingBit;
      if (w & kPendingBit) {
        if (index < a.pending_hashes.size()) v = a.pending_hashes[index];
      } else if (index < a.hashes.size()) {
        v = a.hashes[index];
      }
    }
    h = (h ^ v) * 0xFF51AFD7ED558CCDull;
    h ^= h >> 32;
  }
  h *= 0xC4CEB9FE1A85EC53ull;
  return static_cast<uint32_t>(h >> 32);
}

// The final node of `kind` over final `words` with structural hash `hash`.
NodeId Ontology::insert_node(Kind kind, std::span<const uint32_t> words, uint32_t hash) {
  Arena& a = *arena_;
  auto next = static_cast<uint32_t>(a.nodes.size());
  auto store = [&] {
    uint32_t begin = append_words(a.words, words);
    a.nodes.push_back(Node{kind, false, begin, static_cast<uint32_t>(words.size())});
    a.hashes.push_back(hash);
    return NoExtra{};
  };
  auto same = [&](uint32_t id, NoExtra) {
    const Node& n = a.nodes[id];
    if (n.kind != kind || n.size != words.size()) return false;
    return std::equal(words.begin(), words.end(), a.words.data() + n.begin);
  };
  return NodeId(a.index.find_or_insert(table_hash(hash), next, store, same).first);
}

NodeId Ontology::make(Kind kind, std::span<const uint32_t> words) {
  if (is_iri_leaf(kind) && words.size() == 1) return make_leaf(kind, IriId(words[0]));
  if (bulk_) return append_pending(kind, words);
  return insert_node(kind, words, structural_hash(kind, words));
}

NodeId Ontology::append_pending(Kind kind, std::span<const uint32_t> words) {
  Arena& a = *arena_;
  if (a.pending_nodes.size() >= kPendingBit - 1) throw std::bad_alloc();
  uint32_t hash = structural_hash(kind, words);
  uint32_t begin = append_words(a.pending_words, words);
  auto index = static_cast<uint32_t>(a.pending_nodes.size());
  a.pending_nodes.push_back(Node{kind, false, begin, static_cast<uint32_t>(words.size())});
  a.pending_hashes.push_back(hash);
  return NodeId(kPendingBit | index);
}

std::span<const NodeId> Ontology::operands(NodeId id) const {
  auto w = words(id);
  return {reinterpret_cast<const NodeId*>(w.data()), w.size()};
}

bool Ontology::is_owl_thing(NodeId id) const { return kind(id) == Kind::Class && iri_of(id) == owl_thing_; }
bool Ontology::is_owl_nothing(NodeId id) const { return kind(id) == Kind::Class && iri_of(id) == owl_nothing_; }

std::optional<NodeId> Ontology::find_leaf(Kind kind, IriId iri) const {
  const StringPool::Record* r = strings_->record(iri.value);
  for (int k = 0; k < 2; ++k)
    if (r->leaf_node[k] != 0 && r->leaf_kind[k] == kind) return NodeId(r->leaf_node[k]);
  if (r->leaf_node[1] == 0) return std::nullopt;
  auto it = extra_leaves_.find((uint64_t{iri.value} << 8) | static_cast<uint64_t>(kind));
  if (it == extra_leaves_.end()) return std::nullopt;
  return NodeId(it->second);
}

NodeId Ontology::make_leaf(Kind kind, IriId iri) {
  // The string record holds the leaves of its IRI, so most lookups cost no
  // probe of the node index; leaves are never provisional.
  StringPool::Record* r = strings_->record(iri.value);
  for (int k = 0; k < 2; ++k) {
    if (r->leaf_node[k] != 0 && r->leaf_kind[k] == kind) return NodeId(r->leaf_node[k]);
  }
  uint64_t key = (uint64_t{iri.value} << 8) | static_cast<uint64_t>(kind);
  bool full = r->leaf_node[1] != 0;
  if (full) {
    auto it = extra_leaves_.find(key);
    if (it != extra_leaves_.end()) return NodeId(it->second);
  }
  Arena& a = *arena_;
  auto id = static_cast<uint32_t>(a.nodes.size());
  auto begin = static_cast<uint32_t>(a.words.size());
  a.words.push_back(iri.value);
  a.nodes.push_back(Node{kind, false, begin, 1});
  a.hashes.push_back(structural_hash(kind, std::span<const uint32_t>(&iri.value, 1)));
  if (full) {
    extra_leaves_.emplace(key, id);
  } else {
    int k = r->leaf_node[0] == 0 ? 0 : 1;
    r->leaf_node[k] = id;
    r->leaf_kind[k] = kind;
  }
  return NodeId(id);
}

bool Ontology::add_component(NodeId node, NodeId annotations) {
  if (bulk_) {
    pending_components_.push_back(Component{node, annotations});
    return true;
  }
  return add_final_component(node, annotations);
}

bool Ontology::add_final_component(NodeId node, NodeId annotations) {
  if (!annotations) {
    Node& n = arena_->nodes[node.value];
    if (n.plain_component) return false;
    n.plain_component = true;
    components_.push_back(Component{node, annotations});
    return true;
  }
  uint64_t key = (uint64_t{annotations.value} << 32) | node.value;
  if (!component_index_.insert(key).second) return false;
  components_.push_back(Component{node, annotations});
  return true;
}

void Ontology::begin_bulk_load(size_t nodes) {
  Arena& a = *arena_;
  a.pending_nodes.reserve(nodes);
  a.pending_words.reserve(nodes * 2);
  a.pending_hashes.reserve(nodes);
  bulk_ = true;
}

void Ontology::finish_bulk_load() {
  if (!bulk_) return;
  bulk_ = false;
  Arena& a = *arena_;
  size_t count = a.pending_nodes.size();
  // Room for every pending node and component, so nothing regrows.
  a.nodes.reserve(a.nodes.size() + count);
  a.words.reserve(a.words.size() + a.pending_words.size());
  a.hashes.reserve(a.hashes.size() + count);
  a.index.reserve(a.index.size() + count);
  components_.reserve(components_.size() + pending_components_.size());
  // The final id of pending node j replaces its hash, which is not read
  // again once the node is placed (the lookups ahead read later hashes).
  PendingWordVector& final_id = a.pending_hashes;
  auto resolve = [&](uint32_t w) { return (w & kPendingBit) ? final_id[w & ~kPendingBit] : w; };
  // Whether a node has its final id once pending node `j` has one.
  auto settled = [](NodeId id, size_t j) { return !(id.value & kPendingBit) || (id.value & ~kPendingBit) <= j; };
  // Nodes are looked up in the order they were made, so operands get their
  // final ids before the nodes over them. The structural hashes are known up
  // front: the index slots of the nodes a few steps ahead are loaded while
  // this one is looked up, and a little later the node a probe will compare.
  constexpr size_t kSlotAhead = 32;
  constexpr size_t kNodeAhead = 12;
  std::vector<uint32_t> words;
  size_t next_component = 0;
  for (size_t j = 0; j < count; ++j) {
    if (j + kSlotAhead < count) a.index.prefetch(table_hash(a.pending_hashes[j + kSlotAhead]));
    if (j + kNodeAhead < count) {
      if (const auto* slot = a.index.first_match(table_hash(a.pending_hashes[j + kNodeAhead]))) {
        prefetch_line(&a.nodes[slot->id]);
      }
    }
    const Node& n = a.pending_nodes[j];
    const uint32_t* src = a.pending_words.data() + n.begin;
    words.assign(src, src + n.size);
    for (size_t i = first_node_word(n.kind, n.size); i < words.size(); ++i) words[i] = resolve(words[i]);
    final_id[j] = insert_node(n.kind, words, a.pending_hashes[j]).value;  // hash read, then replaced
    // Components whose nodes now all have final ids join the set in order.
    while (next_component < pending_components_.size()) {
      const Component& c = pending_components_[next_component];
      if (!settled(c.node, j) || !settled(c.annotations, j)) break;
      add_final_component(NodeId(resolve(c.node.value)), NodeId(resolve(c.annotations.value)));
      ++next_component;
    }
  }
  for (; next_component < pending_components_.size(); ++next_component) {
    const Component& c = pending_components_[next_component];
    add_final_component(NodeId(resolve(c.node.value)), NodeId(resolve(c.annotations.value)));
  }
  pending_components_ = {};
  a.pending_nodes = {};
  a.pending_words = {};
  a.pending_hashes = {};
}

IriId Ontology::ontology_id_part(size_t i) const {
  for (const Component& c : components_) {
    if (kind(c.node) != Kind::OntologyId) continue;
    uint32_t part = words(c.node)[i];
    return part != 0 ? iri_of(NodeId(part)) : IriId();
  }
  return IriId();
}

void Ontology::set_prefix(std::string_view name, std::string_view iri) {
  prefixes_[intern_text(name)] = intern_iri(iri);
}

size_t Ontology::memory_bytes() const {
  const Arena& a = *arena_;
  return strings_->memory_bytes() + a.nodes.capacity() * sizeof(Node) + a.words.capacity() * 4 +
         a.hashes.capacity() * 4 + a.index.memory_bytes() + components_.capacity() * sizeof(Component) +
         component_index_.capacity() * 9 + extra_leaves_.capacity() * 13;
}

}  // namespace trelvanic_owl
