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

std::uint32_t OwlDraft::intern_text(std::string_view text) {
  auto it = text_ids_.find(text);
  if (it != text_ids_.end()) return it->second;
  const auto id = static_cast<std::uint32_t>(texts_.size());
  texts_.push_back(std::make_unique<std::string>(text));
  text_ids_.emplace(*texts_.back(), id);
  return id;
}

NodeRef OwlDraft::add(Key key, Node node) {
  auto it = ids_.find(key);
  if (it != ids_.end()) return it->second;
  const NodeRef ref{static_cast<std::uint32_t>(nodes_.size())};
  nodes_.push_back(node);
  ids_.emplace(std::move(key), ref);
  return ref;
}

NodeRef OwlDraft::leaf(Form form, std::string_view text) {
  const std::uint32_t t = intern_text(text);
  return add(Key{form, 0, *texts_[t], {}}, Node{form, 0, t, 0});
}

NodeRef OwlDraft::literal(std::string_view lexical, std::string_view datatype,
                          std::string_view lang) {
  const std::uint32_t lex = intern_text(lexical);
  const std::uint32_t dt = intern_text(datatype);
  const std::uint32_t lg = intern_text(lang);
  Key key{Form::Literal, 0, *texts_[lex], {dt, lg}};
  auto it = ids_.find(key);
  if (it != ids_.end()) return it->second;
  const auto first = static_cast<std::uint32_t>(operands_.size());
  operands_.push_back(NodeRef{lex});
  operands_.push_back(NodeRef{dt});
  operands_.push_back(NodeRef{lg});
  return add(std::move(key), Node{Form::Literal, 0, first, 3});
}

NodeRef OwlDraft::node(Form form, std::span<const NodeRef> operands, std::uint32_t number) {
  Key key{form, number, {}, {}};
  key.ops.reserve(operands.size());
  for (NodeRef r : operands) key.ops.push_back(r.value);
  auto it = ids_.find(key);
  if (it != ids_.end()) return it->second;
  const auto first = static_cast<std::uint32_t>(operands_.size());
  operands_.insert(operands_.end(), operands.begin(), operands.end());
  return add(std::move(key), Node{form, number, first, static_cast<std::uint32_t>(operands.size())});
}

bool OwlDraft::add_component(NodeRef component) {
  if (!component_set_.insert(component).second) return false;
  components_.push_back(component);
  return true;
}

std::span<const NodeRef> OwlDraft::operands(NodeRef ref) const {
  const Node& n = nodes_[ref.value];
  if (form_is_leaf(n.form)) return {};
  return {operands_.data() + n.first, n.count};
}

std::string_view OwlDraft::text(NodeRef ref) const {
  const Node& n = nodes_[ref.value];
  if (n.form == Form::Literal) return *texts_[operands_[n.first].value];
  if (form_is_leaf(n.form)) return *texts_[n.first];
  return {};
}

std::string_view OwlDraft::literal_datatype(NodeRef ref) const {
  const Node& n = nodes_[ref.value];
  return n.form == Form::Literal ? std::string_view(*texts_[operands_[n.first + 1].value])
                                 : std::string_view{};
}

std::string_view OwlDraft::literal_lang(NodeRef ref) const {
  const Node& n = nodes_[ref.value];
  return n.form == Form::Literal ? std::string_view(*texts_[operands_[n.first + 2].value])
                                 : std::string_view{};
}

void OwlDraft::print(NodeRef ref, std::string& out) const {
  const Node& n = nodes_[ref.value];
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
