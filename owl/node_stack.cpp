#include "owl/node_stack.h"

#include <fmt/format.h>

namespace trelvanic_owl {
namespace {

bool takes_annotations(Kind kind) {
  return kind_role(kind) == KindRole::Component || kind == Kind::Annotation;
}

}  // namespace

std::string describe_node(const Ontology& ontology, NodeId node) {
  switch (ontology.kind(node)) {
    case Kind::Iri: return "an IRI";
    case Kind::Literal: return "a literal";
    case Kind::AnonymousIndividual: return "an anonymous individual";
    default: return std::string(kind_name(ontology.kind(node)));
  }
}

std::expected<void, std::string> NodeStack::open(Kind kind) {
  if (frames_.size() >= max_depth_) {
    return std::unexpected(fmt::format("nesting deeper than {} levels", max_depth_));
  }
  if (frames_.empty() && !is_component(kind)) {
    return std::unexpected(fmt::format("{} cannot stand at the top level of an ontology", kind_name(kind)));
  }
  Frame& f = frames_.emplace_back();
  f.kind = kind;
  f.cursor = ShapeCursor(kind);
  f.operands_begin = static_cast<uint32_t>(operands_.size());
  f.annotations_begin = static_cast<uint32_t>(annotations_.size());
  return {};
}

std::expected<void, std::string> NodeStack::add(NodeId node) {
  Frame& f = frames_.back();
  Kind kind = ontology_.kind(node);
  if (kind == Kind::Annotation && takes_annotations(f.kind) && !f.any_operand && !f.number_seen) {
    annotations_.push_back(node.value);
    return {};
  }
  if (f.cursor.has_number() && !f.number_seen) {
    return std::unexpected(fmt::format("{} expects a non-negative integer first, found {}", kind_name(f.kind),
                                       describe_node(ontology_, node)));
  }
  char group_letter = f.in_group ? (f.groups == 1 ? 'O' : 'D') : 0;
  if ((group_letter != 0 && !letter_accepts(group_letter, kind)) || !f.cursor.accept(kind)) {
    char wanted = group_letter != 0 ? group_letter : f.cursor.letter();
    return std::unexpected(fmt::format("{} cannot stand here in {}: expected {}", describe_node(ontology_, node),
                                       kind_name(f.kind), letter_description(wanted)));
  }
  f.any_operand = true;
  operands_.push_back(node.value);
  return {};
}

bool NodeStack::wants_number() const {
  const Frame& f = frames_.back();
  return f.cursor.has_number() && !f.number_seen;
}

std::expected<void, std::string> NodeStack::set_number(uint32_t number) {
  Frame& f = frames_.back();
  if (!wants_number()) {
    return std::unexpected(fmt::format("a number cannot stand here in {}", kind_name(f.kind)));
  }
  f.number = number;
  f.number_seen = true;
  return {};
}

char NodeStack::expected_letter() const {
  if (frames_.empty()) return 0;
  const Frame& f = frames_.back();
  if (f.in_group) return f.groups == 1 ? 'O' : 'D';
  if (f.cursor.has_number() && !f.number_seen) return 'N';
  return f.cursor.letter();
}

std::expected<void, std::string> NodeStack::open_group() {
  if (frames_.empty() || frames_.back().kind != Kind::HasKey || frames_.back().in_group ||
      frames_.back().groups >= 2 || !frames_.back().any_operand) {
    return std::unexpected("unexpected '('");
  }
  Frame& f = frames_.back();
  f.in_group = true;
  ++f.groups;
  return {};
}

std::expected<ClosedNode, std::string> NodeStack::close() {
  Frame& f = frames_.back();
  if (f.cursor.has_number() && !f.number_seen) {
    return std::unexpected(fmt::format("{} is missing its number", kind_name(f.kind)));
  }
  if (!f.cursor.complete()) {
    return std::unexpected(
        fmt::format("{} is missing {}", kind_name(f.kind), letter_description(f.cursor.letter())));
  }
  NodeId annotations;
  if (annotations_.size() > f.annotations_begin) {
    annotations = ontology_.make(Kind::AnnotationList,
                                 std::span<const uint32_t>(annotations_.data() + f.annotations_begin,
                                                           annotations_.size() - f.annotations_begin));
  }
  std::span<const uint32_t> operands(operands_.data() + f.operands_begin, operands_.size() - f.operands_begin);
  NodeId node = assemble_node(ontology_, f.kind, f.number, operands, annotations);
  operands_.resize(f.operands_begin);
  annotations_.resize(f.annotations_begin);
  frames_.pop_back();
  // An annotation's own annotations are part of its node.
  if (ontology_.kind(node) == Kind::Annotation) annotations = NodeId();
  return ClosedNode{node, annotations};
}

}  // namespace trelvanic_owl
