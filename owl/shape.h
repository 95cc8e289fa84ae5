// Checking and assembling nodes against the shapes of their kinds.
//
// Both readers collect the operands of one construct and then call
// `assemble_node`, so the operand rules of the structural model are written
// once (kinds.h). `ShapeCursor` follows a shape letter by letter while the
// operands arrive: `accept` takes the next operand or refuses it, `letter`
// tells the functional-syntax reader what a bare IRI stands for, `complete`
// says whether every required operand was seen.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "owl/model.h"

namespace trelvanic_owl {

class ShapeCursor {
 public:
  ShapeCursor() = default;
  // The cursor over the node operands of `kind` (a leading 'N' is the
  // number, read apart from the operands, and skipped here).
  explicit ShapeCursor(Kind kind) {
    KindRole role = kind_role(kind);
    shape_ = role == KindRole::Leaf || role == KindRole::Entity ? std::string_view("U") : kind_shape(kind);
    if (!shape_.empty() && shape_[0] == 'N') {
      number_ = true;
      pos_ = 1;
    }
    while (pos_ < shape_.size() && (shape_[pos_] == '(' || shape_[pos_] == ')')) ++pos_;
  }

  // The letter the next operand would match first; 0 when no more operand
  // is possible.
  [[nodiscard]] char letter() const;
  // Takes an operand of `kind` if the shape allows one here.
  bool accept(Kind kind);
  [[nodiscard]] bool complete() const;
  [[nodiscard]] bool has_number() const { return number_; }

 private:
  std::string_view shape_;
  size_t pos_ = 0;
  bool matched_star_ = false;  // the star item at pos_ already took one
  bool number_ = false;
};

// What a shape letter asks for, in words ("a class expression").
[[nodiscard]] std::string_view letter_description(char letter);

// Builds the node of `kind` from operands accepted by a `ShapeCursor`:
// fills the default filler of an unqualified cardinality, places the number
// first and the annotations last where the layout wants them (model.h).
NodeId assemble_node(Ontology& ontology, Kind kind, uint32_t number, std::span<const uint32_t> operands,
                     NodeId annotations);

}  // namespace trelvanic_owl
