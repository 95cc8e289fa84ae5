// The SWRL rule model: rules as body and head lists of atoms over entity
// ids, variables and literals. Plain values; the SWRL mapper builds them, an
// ontology keeps them in its rule list, the SWRL engine and snapshots read
// them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "core/ids.h"

namespace trelvanic_core {

struct SwrlVariable {
  std::string name;
  friend bool operator==(const SwrlVariable&, const SwrlVariable&) = default;
};

struct SwrlLiteral {
  std::string lexical;
  std::optional<EntityId> datatype;
  friend bool operator==(const SwrlLiteral&, const SwrlLiteral&) = default;
};

// Individual argument: a named individual or a variable (in this order).
using SwrlIArg = std::variant<EntityId, SwrlVariable>;
// Data argument: a literal or a variable (in this order).
using SwrlDArg = std::variant<SwrlLiteral, SwrlVariable>;

enum class SwrlAtomKind : uint8_t { Class, ObjectProperty, DataProperty, SameIndividual, DifferentIndividuals, DataRange };

struct SwrlAtom {
  SwrlAtomKind kind = SwrlAtomKind::Class;
  EntityId predicate;  // Class: the class; ObjectProperty/DataProperty: the property
  DeId range;          // DataRange: the data range in the DL store
  SwrlIArg first;      // Class: arg; properties: subject; Same/Different: first
  SwrlIArg second;     // ObjectProperty: object; Same/Different: second
  SwrlDArg value;      // DataProperty: value; DataRange: arg

  static SwrlAtom class_atom(EntityId cls, SwrlIArg arg);
  static SwrlAtom object_property(EntityId p, SwrlIArg subject, SwrlIArg object);
  static SwrlAtom data_property(EntityId p, SwrlIArg subject, SwrlDArg value);
  static SwrlAtom same_individual(SwrlIArg a, SwrlIArg b);
  static SwrlAtom different_individuals(SwrlIArg a, SwrlIArg b);
  static SwrlAtom data_range(DeId range, SwrlDArg arg);

  friend bool operator==(const SwrlAtom&, const SwrlAtom&) = default;
};

struct SwrlRule {
  std::vector<SwrlAtom> body;
  std::vector<SwrlAtom> head;
  friend bool operator==(const SwrlRule&, const SwrlRule&) = default;
};

}  // namespace trelvanic_core
