#include "core/swrl.h"

namespace trelvanic_core {

SwrlAtom SwrlAtom::class_atom(EntityId cls, SwrlIArg arg) {
  SwrlAtom a;
  a.kind = SwrlAtomKind::Class;
  a.predicate = cls;
  a.first = std::move(arg);
  return a;
}

SwrlAtom SwrlAtom::object_property(EntityId p, SwrlIArg subject, SwrlIArg object) {
  SwrlAtom a;
  a.kind = SwrlAtomKind::ObjectProperty;
  a.predicate = p;
  a.first = std::move(subject);
  a.second = std::move(object);
  return a;
}

SwrlAtom SwrlAtom::data_property(EntityId p, SwrlIArg subject, SwrlDArg value) {
  SwrlAtom a;
  a.kind = SwrlAtomKind::DataProperty;
  a.predicate = p;
  a.first = std::move(subject);
  a.value = std::move(value);
  return a;
}

SwrlAtom SwrlAtom::same_individual(SwrlIArg x, SwrlIArg y) {
  SwrlAtom a;
  a.kind = SwrlAtomKind::SameIndividual;
  a.first = std::move(x);
  a.second = std::move(y);
  return a;
}

SwrlAtom SwrlAtom::different_individuals(SwrlIArg x, SwrlIArg y) {
  SwrlAtom a = same_individual(std::move(x), std::move(y));
  a.kind = SwrlAtomKind::DifferentIndividuals;
  return a;
}

SwrlAtom SwrlAtom::data_range(DeId range, SwrlDArg arg) {
  SwrlAtom a;
  a.kind = SwrlAtomKind::DataRange;
  a.range = range;
  a.value = std::move(arg);
  return a;
}

}  // namespace trelvanic_core
