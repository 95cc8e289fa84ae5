#include "owl/model.h"

#include <algorithm>
#include <cstring>

#include <absl/hash/hash.h>

namespace trelvanic_owl {

size_t TextHash::operator()(std::string_view text) const {
  return absl::Hash<absl::string_view>()(absl::string_view(text.data(), text.size()));
}

// ---- StringPool

namespace {
constexpr size_t kBlockBytes = size_t{1} << 20;
}

StringPool::StringPool() : index_(0, EntryHash{}, EntryEq{this}) {
  views_.emplace_back();  // id 0: none
}

char* StringPool::allocate(size_t bytes) {
  if (bytes > left_) {
    size_t size = bytes > kBlockBytes / 4 ? bytes : kBlockBytes;
    blocks_.push_back(std::make_unique<char[]>(size));
    if (size != kBlockBytes) return blocks_.back().get();  // a large string gets its own block
    cursor_ = blocks_.back().get();
    left_ = size;
  }
  char* out = cursor_;
  cursor_ += bytes;
  left_ -= bytes;
  return out;
}

uint32_t StringPool::intern(std::string_view text) {
  size_t full = TextHash()(text);
  auto hash = static_cast<uint32_t>(full ^ (full >> 32));
  auto next = static_cast<uint32_t>(views_.size());
  bool made = false;
  auto it = index_.lazy_emplace(Probe{text, hash}, [&](const auto& construct) {
    made = true;
    construct((uint64_t{hash} << 32) | next);
  });
  if (made) {
    char* copy = allocate(text.empty() ? 1 : text.size());
    if (!text.empty()) std::memcpy(copy, text.data(), text.size());
    views_.emplace_back(copy, text.size());
  }
  return static_cast<uint32_t>(*it);
}

void StringPool::reserve(size_t count) {
  views_.reserve(count);
  index_.reserve(count);
}

size_t StringPool::memory_bytes() const {
  size_t bytes = views_.capacity() * sizeof(std::string_view) + index_.capacity() * 9;
  for (size_t i = 0; i < blocks_.size(); ++i) bytes += kBlockBytes;  // upper bound
  return bytes;
}

// ---- node arena

struct Ontology::Arena {
  struct Key {
    Kind kind;
    std::span<const uint32_t> words;
  };
  static size_t hash_key(const Key& key) {
    // Nodes have a few words: a multiply-xor mix is enough and cheap.
    uint64_t h = static_cast<uint64_t>(key.kind) + 0x9E3779B97F4A7C15ull * (key.words.size() + 1);
    for (uint32_t w : key.words) h = (h ^ w) * 0xFF51AFD7ED558CCDull;
    return static_cast<size_t>(h ^ (h >> 29));
  }
  struct Hash {
    using is_transparent = void;
    const Arena* arena;
    size_t operator()(uint32_t id) const { return hash_key(arena->key_of(id)); }
    size_t operator()(const Key& key) const { return hash_key(key); }
  };
  struct Eq {
    using is_transparent = void;
    const Arena* arena;
    bool operator()(uint32_t a, uint32_t b) const { return a == b; }
    bool operator()(uint32_t a, const Key& b) const {
      const Node& n = arena->nodes[a];
      if (n.kind != b.kind || n.size != b.words.size()) return false;
      const uint32_t* w = arena->words.data() + n.begin;
      for (uint32_t i = 0; i < n.size; ++i) {
        if (w[i] != b.words[i]) return false;
      }
      return true;
    }
    bool operator()(const Key& a, uint32_t b) const { return (*this)(b, a); }
  };

  Arena() : index(0, Hash{this}, Eq{this}) {
    nodes.push_back(Node{Kind::Iri, false, 0, 0});  // id 0: none
  }
  Key key_of(uint32_t id) const {
    const Node& n = nodes[id];
    return Key{n.kind, std::span<const uint32_t>(words.data() + n.begin, n.size)};
  }

  std::vector<Node> nodes;
  std::vector<uint32_t> words;
  absl::flat_hash_set<uint32_t, Hash, Eq> index;
};

Ontology::Ontology() : arena_(std::make_unique<Arena>()), strings_(std::make_unique<StringPool>()) {
  nodes_ = &arena_->nodes;
  words_ = &arena_->words;
  owl_thing_ = intern_iri(kOwlThing);
  owl_nothing_ = intern_iri(kOwlNothing);
}

Ontology::~Ontology() = default;
Ontology::Ontology(Ontology&&) noexcept = default;
Ontology& Ontology::operator=(Ontology&&) noexcept = default;

void Ontology::reserve(size_t nodes, size_t strings) {
  arena_->nodes.reserve(nodes);
  arena_->words.reserve(nodes * 2);
  arena_->index.reserve(nodes);
  strings_->reserve(strings);
  leaf_by_iri_.reserve(strings);
}

NodeId Ontology::make(Kind kind, std::span<const uint32_t> words) {
  Arena& a = *arena_;
  auto next = static_cast<uint32_t>(a.nodes.size());
  bool made = false;
  // One probe: the id is placed only when no equal node exists. The key
  // keeps pointing at the caller's words until the node is stored.
  auto it = a.index.lazy_emplace(Arena::Key{kind, words}, [&](const auto& construct) {
    made = true;
    construct(next);
  });
  if (made) {
    auto begin = static_cast<uint32_t>(a.words.size());
    a.words.insert(a.words.end(), words.begin(), words.end());
    a.nodes.push_back(Node{kind, false, begin, static_cast<uint32_t>(words.size())});
  }
  return NodeId(*it);
}

std::span<const NodeId> Ontology::operands(NodeId id) const {
  auto w = words(id);
  return {reinterpret_cast<const NodeId*>(w.data()), w.size()};
}

bool Ontology::is_owl_thing(NodeId id) const { return kind(id) == Kind::Class && iri_of(id) == owl_thing_; }
bool Ontology::is_owl_nothing(NodeId id) const { return kind(id) == Kind::Class && iri_of(id) == owl_nothing_; }

NodeId Ontology::make_leaf(Kind kind, IriId iri) {
  if (iri.value >= leaf_by_iri_.size()) leaf_by_iri_.resize(std::max<size_t>(iri.value + 1, strings_->size()));
  LeafEntry& last = leaf_by_iri_[iri.value];
  if (last.node != 0 && last.kind == kind) return NodeId(last.node);
  NodeId id = make(kind, {iri.value});
  last = LeafEntry{id.value, kind};
  return id;
}

bool Ontology::add_component(NodeId node, NodeId annotations) {
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
         a.index.capacity() * 5 + leaf_by_iri_.capacity() * sizeof(LeafEntry) + components_.capacity() * sizeof(Component) + component_index_.capacity() * 9;
}

}  // namespace trelvanic_owl
