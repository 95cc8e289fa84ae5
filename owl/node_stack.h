// The stack of open constructs shared by both readers.
//
// A reader opens a construct when it meets its keyword or start tag, adds
// each operand as it is read (`add`, `set_number`) and closes it at ")" or
// at the end tag; `close` checks that the shape is complete and assembles
// the node. Annotations that lead a construct which may carry them are kept
// apart and become its annotation list. Nothing here recurses, and `open`
// refuses to go deeper than the reader's depth limit. Failures are message
// texts; the reader adds the position.
#pragma once

#include <cstdint>
#include <expected>
#include <string>
#include <vector>

#include "owl/model.h"
#include "owl/shape.h"

namespace trelvanic_owl {

struct ClosedNode {
  NodeId node;
  NodeId annotations;  // the construct's `AnnotationList`, or 0
};

class NodeStack {
 public:
  NodeStack(Ontology& ontology, uint32_t max_depth) : ontology_(ontology), max_depth_(max_depth) {}

  [[nodiscard]] bool empty() const { return frames_.empty(); }
  [[nodiscard]] Kind top_kind() const { return frames_.back().kind; }

  [[nodiscard]] std::expected<void, std::string> open(Kind kind);
  [[nodiscard]] std::expected<void, std::string> add(NodeId node);
  [[nodiscard]] std::expected<void, std::string> set_number(uint32_t number);
  // What a bare IRI read next stands for (a shape letter, 0 for nothing).
  [[nodiscard]] char expected_letter() const;
  // Whether the top construct still waits for its number.
  [[nodiscard]] bool wants_number() const;

  // The bracketed key groups of functional-syntax `HasKey`.
  [[nodiscard]] std::expected<void, std::string> open_group();
  [[nodiscard]] bool in_group() const { return !frames_.empty() && frames_.back().in_group; }
  void close_group() { frames_.back().in_group = false; }

  [[nodiscard]] std::expected<ClosedNode, std::string> close();

 private:
  struct Frame {
    Kind kind = Kind::Iri;
    ShapeCursor cursor;
    uint32_t operands_begin = 0;
    uint32_t annotations_begin = 0;
    uint32_t number = 0;
    bool number_seen = false;
    bool any_operand = false;
    bool in_group = false;
    uint8_t groups = 0;
  };

  Ontology& ontology_;
  uint32_t max_depth_;
  std::vector<Frame> frames_;
  std::vector<uint32_t> operands_;
  std::vector<uint32_t> annotations_;
};

// A short description of a node for messages ("Class", "a literal").
[[nodiscard]] std::string describe_node(const Ontology& ontology, NodeId node);

}  // namespace trelvanic_owl
