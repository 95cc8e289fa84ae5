#include "rdf/owl_draft.h"

#include <algorithm>

namespace trelvanic_rdf {

namespace {

constexpr std::string_view kFormNames[] = {
#define TRELVANIC_X(name) #name,
    TRELVANIC_OWL_DRAFT_FORMS(TRELVANIC_X)
#undef TRELVANIC_X
};

void append_quoted(std::string& out, std::string_view text) {
  out += '"';
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  out += '"';
}

}  // namespace

std::string_view form_name(Form form) { return kFormNames[static_cast<std::size_t>(form)]; }

bool form_is_leaf(Form form) {
  switch (form) {
    case Form::Iri: case Form::Class: case Form::Datatype: case Form::ObjectProperty:
    case Form::DataProperty: case Form::AnnotationProperty: case Form::NamedIndividual:
    case Form::AnonymousIndividual: case Form::Literal: case Form::Variable:
      return true;
    default: return false;
  }
}

bool form_is_cardinality(Form form) {
  switch (form) {
    case Form::ObjectMinCardinality: case Form::ObjectMaxCardinality:
    case Form::ObjectExactCardinality: case Form::DataMinCardinality:
    case Form::DataMaxCardinality: case Form::DataExactCardinality:
      return true;
    default: return false;
  }
}

// Nodes are hash-consed through a set of node indexes whose hash and
// equality read the node's form, number and words from the store.
struct OwlDraft::Store {
  struct Probe {
    Form form;
    std::uint32_t number;
    std::span<const NodeRef> words;
  };
  static std::size_t hash_of(const Probe& p) {
    std::uint64_t h = (static_cast<std::uint64_t>(p.form) << 32) ^ p.number;
    for (NodeRef w : p.words) h = (h ^ w.value) * 0x9E3779B97F4A7C15ULL;
    return static_cast<std::size_t>(h ^ (h >> 29));
  }
  Probe probe(std::uint32_t i) const {
    const Node& n = nodes[i];
    return {n.form, n.number, {words.data() + n.first, n.count}};
  }
  struct Hash {
    using is_transparent = void;
    const Store* store;
    std::size_t operator()(std::uint32_t i) const { return hash_of(store->probe(i)); }
    std::size_t operator()(const Probe& p) const { return hash_of(p); }
  };
  struct Eq {
    using is_transparent = void;
    const Store* store;
    static bool same(const Probe& a, const Probe& b) {
      return a.form == b.form && a.number == b.number &&
             std::equal(a.words.begin(), a.words.end(), b.words.begin(), b.words.end());
    }
    bool operator()(std::uint32_t a, std::uint32_t b) const { return a == b; }
    bool operator()(const Probe& a, std::uint32_t b) const { return same(a, store->probe(b)); }
    bool operator()(std::uint32_t a, const Probe& b) const { return same(store->probe(a), b); }
  };

  Store() : index(0, Hash{this}, Eq{this}) {}

  std::vector<Node> nodes;
  std::vector<NodeRef> words;
  absl::flat_hash_set<std::uint32_t, Hash, Eq> index;
};

OwlDraft::OwlDraft() : store_(std::make_unique<Store>()) {}
OwlDraft::~OwlDraft() = default;
OwlDraft::OwlDraft(OwlDraft&&) noexcept = default;
OwlDraft& OwlDraft::operator=(OwlDraft&&) noexcept = default;

const OwlDraft::Node& OwlDraft::get(NodeRef ref) const { return store_->nodes[ref.value]; }
std::size_t OwlDraft::size() const { return store_->nodes.size(); }

std::uint32_t OwlDraft::intern_text(std::string_view text) {
  auto it = text_ids_.find(text);
  if (it != text_ids_.end()) return it->second;
  const auto id = static_cast<std::uint32_t>(texts_.size());
  texts_.push_back(std::make_unique<std::string>(text));
  text_ids_.emplace(*texts_.back(), id);
  return id;
}

NodeRef OwlDraft::make(Form form, std::uint32_t number, std::span<const NodeRef> words) {
  Store& st = *store_;
  const Store::Probe probe{form, number, words};
  auto it = st.index.find(probe);
  if (it != st.index.end()) return NodeRef{*it};
  const auto i = static_cast<std::uint32_t>(st.nodes.size());
  const auto first = static_cast<std::uint32_t>(st.words.size());
  st.words.insert(st.words.end(), words.begin(), words.end());
  st.nodes.push_back(Node{form, number, first, static_cast<std::uint32_t>(words.size())});
  st.index.insert(i);
  return NodeRef{i};
}

NodeRef OwlDraft::leaf(Form form, std::string_view text) {
  const NodeRef word{intern_text(text)};
  return make(form, 0, {&word, 1});
}

NodeRef OwlDraft::literal(std::string_view lexical, std::string_view datatype,
                          std::string_view lang) {
  const NodeRef words[] = {NodeRef{intern_text(lexical)}, NodeRef{intern_text(datatype)},
                           NodeRef{intern_text(lang)}};
  return make(Form::Literal, 0, words);
}

NodeRef OwlDraft::node(Form form, std::span<const NodeRef> operands, std::uint32_t number) {
  return make(form, number, operands);
}

bool OwlDraft::add_component(NodeRef component) {
  if (!component_set_.insert(component).second) return false;
  components_.push_back(component);
  return true;
}

std::span<const NodeRef> OwlDraft::operands(NodeRef ref) const {
  const Node& n = get(ref);
  if (form_is_leaf(n.form)) return {};
  return {store_->words.data() + n.first, n.count};
}

std::string_view OwlDraft::text(NodeRef ref) const {
  const Node& n = get(ref);
  if (form_is_leaf(n.form)) return *texts_[store_->words[n.first].value];
  return {};
}

std::string_view OwlDraft::literal_datatype(NodeRef ref) const {
  const Node& n = get(ref);
  return n.form == Form::Literal ? std::string_view(*texts_[store_->words[n.first + 1].value])
                                 : std::string_view{};
}

std::string_view OwlDraft::literal_lang(NodeRef ref) const {
  const Node& n = get(ref);
  return n.form == Form::Literal ? std::string_view(*texts_[store_->words[n.first + 2].value])
                                 : std::string_view{};
}

void OwlDraft::print(NodeRef ref, std::string& out) const {
  const Node& n = get(ref);
  switch (n.form) {
    case Form::Literal:
      append_quoted(out, text(ref));
      if (!literal_lang(ref).empty()) {
        out += '@';
        out += literal_lang(ref);
      } else if (!literal_datatype(ref).empty()) {
        out += "^^<";
        out += literal_datatype(ref);
        out += '>';
      }
      return;
    case Form::AnonymousIndividual:
      out += "_:";
      out += text(ref);
      return;
    case Form::Variable:
      out += "Variable(<";
      out += text(ref);
      out += ">)";
      return;
    default: break;
  }
  if (form_is_leaf(n.form)) {
    // Entities print bare inside expressions; a declaration names the kind.
    out += '<';
    out += text(ref);
    out += '>';
    return;
  }
  out += form_name(n.form);
  out += '(';
  bool first = true;
  if (form_is_cardinality(n.form)) {
    out += std::to_string(n.number);
    first = false;
  }
  if (n.form == Form::HasKey) {
    // HasKey(C (object properties) (data properties)); `number` counts the
    // object properties.
    const auto ops = operands(ref);
    print(ops[0], out);
    out += " (";
    for (std::size_t i = 1; i < ops.size(); ++i) {
      if (i == 1 + n.number) out += ") (";
      else if (i > 1) out += ' ';
      print(ops[i], out);
    }
    if (ops.size() == 1 + n.number) out += ") (";
    out += "))";
    return;
  }
  for (NodeRef op : operands(ref)) {
    if (!first) out += ' ';
    first = false;
    if (n.form == Form::Declaration) {
      out += form_name(form(op));
      out += '(';
      print(op, out);
      out += ')';
    } else {
      print(op, out);
    }
  }
  out += ')';
}

std::string OwlDraft::to_functional(NodeRef ref) const {
  std::string out;
  print(ref, out);
  return out;
}

std::vector<std::string> OwlDraft::functional_lines() const {
  std::vector<std::string> out;
  out.reserve(components_.size());
  for (NodeRef c : components_) out.push_back(to_functional(c));
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace trelvanic_rdf
