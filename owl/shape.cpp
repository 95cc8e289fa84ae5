#include "owl/shape.h"

#include <vector>

namespace trelvanic_owl {
namespace {

bool is_modifier(char c) { return c == '*' || c == '?'; }
bool is_group_mark(char c) { return c == '(' || c == ')'; }

}  // namespace

char ShapeCursor::letter() const { return pos_ < shape_.size() ? shape_[pos_] : 0; }

bool ShapeCursor::accept(Kind kind) {
  while (pos_ < shape_.size()) {
    char letter = shape_[pos_];
    char mod = pos_ + 1 < shape_.size() ? shape_[pos_ + 1] : 0;
    bool optional = is_modifier(mod);
    auto advance = [&] {
      pos_ += optional ? 2 : 1;
      while (pos_ < shape_.size() && is_group_mark(shape_[pos_])) ++pos_;
      matched_star_ = false;
    };
    if (letter_accepts(letter, kind)) {
      if (mod == '*') {
        matched_star_ = true;
      } else {
        advance();
      }
      return true;
    }
    if (!optional) return false;
    advance();
  }
  return false;
}

bool ShapeCursor::complete() const {
  size_t p = pos_;
  while (p < shape_.size()) {
    if (is_group_mark(shape_[p])) {
      ++p;
      continue;
    }
    if (p + 1 >= shape_.size() || !is_modifier(shape_[p + 1])) return false;
    p += 2;
  }
  return true;
}

std::string_view letter_description(char letter) {
  switch (letter) {
    case 'C': return "a class expression";
    case 'c': return "a class";
    case 'O': return "an object property expression";
    case 'p': return "an object property";
    case 'P': return "an object property expression or chain";
    case 'D': return "a data property";
    case 'A': return "an annotation property";
    case 'R': return "a data range";
    case 't': return "a datatype";
    case 'I': return "an individual";
    case 'L': return "a literal";
    case 'N': return "a non-negative integer";
    case 'U': return "an IRI";
    case 'E': return "an entity";
    case 'S': return "an IRI or anonymous individual";
    case 'V': return "an IRI, anonymous individual or literal";
    case 'X': return "a variable or individual";
    case 'Y': return "a variable or literal";
    case 'F': return "a facet restriction";
    case 'W': return "a rule atom";
    case 'b': return "Body";
    case 'h': return "Head";
    case 'a': return "an annotation";
    default: return "nothing more";
  }
}

NodeId assemble_node(Ontology& ontology, Kind kind, uint32_t number, std::span<const uint32_t> operands,
                     NodeId annotations) {
  uint32_t buffer[4];
  if (is_cardinality(kind)) {
    bool object = kind == Kind::ObjectMinCardinality || kind == Kind::ObjectMaxCardinality ||
                  kind == Kind::ObjectExactCardinality;
    buffer[0] = number;
    buffer[1] = operands[0];
    if (operands.size() > 1) {
      buffer[2] = operands[1];
    } else {
      buffer[2] = object ? ontology.make_leaf(Kind::Class, ontology.intern_iri(kOwlThing)).value
                         : ontology.make_leaf(Kind::Datatype, ontology.intern_iri(kRdfsLiteral)).value;
    }
    return ontology.make(kind, std::span<const uint32_t>(buffer, 3));
  }
  switch (kind) {
    case Kind::Annotation:
      buffer[0] = operands[0];
      buffer[1] = operands[1];
      buffer[2] = annotations.value;
      return ontology.make(kind, std::span<const uint32_t>(buffer, 3));
    case Kind::OntologyId:
      buffer[0] = operands.size() > 0 ? operands[0] : 0;
      buffer[1] = operands.size() > 1 ? operands[1] : 0;
      return ontology.make(kind, std::span<const uint32_t>(buffer, 2));
    default:
      return ontology.make(kind, operands);
  }
}

}  // namespace trelvanic_owl
