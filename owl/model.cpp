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

StringPool::StringPool() {
  entries_.push_back(Entry{"", 0, 0, Kind::Iri});  // id 0: none
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
  auto next = static_cast<uint32_t>(entries_.size());
  auto store = [&] {
    char* copy = allocate(text.empty() ? 1 : text.size());
    if (!text.empty()) std::memcpy(copy, text.data(), text.size());
    entries_.push_back(Entry{copy, static_cast<uint32_t>(text.size()), 0, Kind::Iri});
    return NoExtra{};
  };
  auto same = [&](uint32_t id, NoExtra) {
    const Entry& e = entries_[id];
    return e.size == text.size() && std::memcmp(e.data, text.data(), text.size()) == 0;
  };
  return index_.find_or_insert(TextHash()(text), next, store, same).first;
}

void StringPool::reserve(size_t count) {
  entries_.reserve(count);
  index_.reserve(count);
}

size_t StringPool::memory_bytes() const {
  size_t bytes = entries_.capacity() * sizeof(Entry) + index_.memory_bytes();
  for (size_t i = 0; i < blocks_.size(); ++i) bytes += kBlockBytes;  // upper bound
  return bytes;
}

// ---- node arena

struct Ontology::Arena {
  Arena() { nodes.push_back(Node{Kind::Iri, false, 0, 0}); }  // id 0: none

  // Nodes have a few words: a multiply-xor mix is enough and cheap.
  static uint64_t hash(Kind kind, std::span<const uint32_t> words) {
    uint64_t h = static_cast<uint64_t>(kind) + 0x9E3779B97F4A7C15ull * (words.size() + 1);
    for (uint32_t w : words) h = (h ^ w) * 0xFF51AFD7ED558CCDull;
    return h ^ (h >> 29);
  }

  std::vector<Node> nodes;
  std::vector<uint32_t> words;
  IdTable<> index;
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
}

NodeId Ontology::make(Kind kind, std::span<const uint32_t> words) {
  Arena& a = *arena_;
  auto next = static_cast<uint32_t>(a.nodes.size());
  auto store = [&] {
    auto begin = static_cast<uint32_t>(a.words.size());
    const uint32_t* data = a.words.data();
    if (!words.empty() && words.data() >= data && words.data() < data + a.words.size()) {
      // the words are another node's: copy them before the vector may move
      std::vector<uint32_t> copy(words.begin(), words.end());
      a.words.insert(a.words.end(), copy.begin(), copy.end());
    } else {
      a.words.insert(a.words.end(), words.begin(), words.end());
    }
    a.nodes.push_back(Node{kind, false, begin, static_cast<uint32_t>(words.size())});
    return NoExtra{};
  };
  auto same = [&](uint32_t id, NoExtra) {
    const Node& n = a.nodes[id];
    if (n.kind != kind || n.size != words.size()) return false;
    const uint32_t* w = a.words.data() + n.begin;
    for (uint32_t i = 0; i < n.size; ++i) {
      if (w[i] != words[i]) return false;
    }
    return true;
  };
  return NodeId(a.index.find_or_insert(Arena::hash(kind, words), next, store, same).first);
}

std::span<const NodeId> Ontology::operands(NodeId id) const {
  auto w = words(id);
  return {reinterpret_cast<const NodeId*>(w.data()), w.size()};
}

bool Ontology::is_owl_thing(NodeId id) const { return kind(id) == Kind::Class && iri_of(id) == owl_thing_; }
bool Ontology::is_owl_nothing(NodeId id) const { return kind(id) == Kind::Class && iri_of(id) == owl_nothing_; }

NodeId Ontology::make_leaf(Kind kind, IriId iri) {
  // Most IRIs name one entity: the entry answers without a node probe.
  StringPool::Entry& e = strings_->entries_[iri.value];
  if (e.leaf_node != 0 && e.leaf_kind == kind) return NodeId(e.leaf_node);
  NodeId id = make(kind, {iri.value});
  StringPool::Entry& again = strings_->entries_[iri.value];  // make() does not intern, but stay safe
  again.leaf_node = id.value;
  again.leaf_kind = kind;
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
         a.index.memory_bytes() + components_.capacity() * sizeof(Component) + component_index_.capacity() * 9;
}

}  // namespace trelvanic_owl
