#include "owl/model.h"

#include <cstring>

#include <absl/hash/hash.h>

namespace trelvanic_owl {

// ---- StringPool

namespace {
constexpr size_t kBlockBytes = size_t{1} << 20;
}

StringPool::StringPool() { views_.emplace_back(); }  // id 0: none

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
  auto it = index_.find(text);
  if (it != index_.end()) return it->second;
  char* copy = allocate(text.size() == 0 ? 1 : text.size());
  if (!text.empty()) std::memcpy(copy, text.data(), text.size());
  std::string_view stored(copy, text.size());
  auto id = static_cast<uint32_t>(views_.size());
  views_.push_back(stored);
  index_.emplace(stored, id);
  return id;
}

size_t StringPool::memory_bytes() const {
  size_t bytes = views_.capacity() * sizeof(std::string_view) + index_.capacity() * (sizeof(std::string_view) + 5);
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
    return absl::HashOf(static_cast<uint8_t>(key.kind),
                        absl::Hash<std::string_view>()(std::string_view(
                            reinterpret_cast<const char*>(key.words.data()), key.words.size() * sizeof(uint32_t))));
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
      Key k = arena->key_of(a);
      return k.kind == b.kind && k.words.size() == b.words.size() &&
             (k.words.empty() || std::memcmp(k.words.data(), b.words.data(), k.words.size() * 4) == 0);
    }
    bool operator()(const Key& a, uint32_t b) const { return (*this)(b, a); }
  };

  Arena() : index(0, Hash{this}, Eq{this}) {
    nodes.push_back(Node{Kind::Iri, 0, 0});  // id 0: none
  }
  Key key_of(uint32_t id) const {
    const Node& n = nodes[id];
    return Key{n.kind, std::span<const uint32_t>(words.data() + n.begin, n.size)};
  }

  std::vector<Node> nodes;
  std::vector<uint32_t> words;
  absl::flat_hash_set<uint32_t, Hash, Eq> index;
};

Ontology::Ontology() : arena_(std::make_unique<Arena>()) {
  nodes_ = &arena_->nodes;
  words_ = &arena_->words;
  owl_thing_ = intern_iri(kOwlThing);
  owl_nothing_ = intern_iri(kOwlNothing);
}

Ontology::~Ontology() = default;
Ontology::Ontology(Ontology&&) noexcept = default;
Ontology& Ontology::operator=(Ontology&&) noexcept = default;

NodeId Ontology::make(Kind kind, std::span<const uint32_t> words) {
  Arena& a = *arena_;
  Arena::Key key{kind, words};
  auto it = a.index.find(key);
  if (it != a.index.end()) return NodeId(*it);
  auto id = static_cast<uint32_t>(a.nodes.size());
  auto begin = static_cast<uint32_t>(a.words.size());
  a.words.insert(a.words.end(), words.begin(), words.end());
  a.nodes.push_back(Node{kind, begin, static_cast<uint32_t>(words.size())});
  a.index.insert(id);
  return NodeId(id);
}

std::span<const NodeId> Ontology::operands(NodeId id) const {
  auto w = words(id);
  return {reinterpret_cast<const NodeId*>(w.data()), w.size()};
}

bool Ontology::is_owl_thing(NodeId id) const { return kind(id) == Kind::Class && iri_of(id) == owl_thing_; }
bool Ontology::is_owl_nothing(NodeId id) const { return kind(id) == Kind::Class && iri_of(id) == owl_nothing_; }

bool Ontology::add_component(NodeId node, NodeId annotations) {
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
  return strings_.memory_bytes() + a.nodes.capacity() * sizeof(Node) + a.words.capacity() * 4 +
         a.index.capacity() * 5 + components_.capacity() * sizeof(Component) + component_index_.capacity() * 9;
}

}  // namespace trelvanic_owl
