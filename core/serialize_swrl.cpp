#include "core/serialize_swrl.h"

#include <optional>
#include <string>

#include <fmt/format.h>

#include "json/record.h"

namespace trelvanic_core {
namespace {

namespace js = trelvanic_json;
using VS = js::VariantShape;

constexpr std::string_view kAtomNames[] = {"Class",          "ObjectProperty",       "DataProperty",
                                           "SameIndividual", "DifferentIndividuals", "DataRange"};
constexpr VS kAtomShapes[] = {VS::Struct, VS::Struct, VS::Struct, VS::Tuple, VS::Tuple, VS::Struct};
constexpr std::string_view kIArgNames[] = {"Individual", "Variable"};
constexpr VS kIArgShapes[] = {VS::Newtype, VS::Newtype};
constexpr std::string_view kDArgNames[] = {"Literal", "Variable"};
constexpr VS kDArgShapes[] = {VS::Struct, VS::Newtype};

constexpr std::string_view kRuleFields[] = {"body", "head"};
constexpr js::RecordShape kRule{"struct SwrlRule", "struct SwrlRule with 2 elements", kRuleFields,
                                js::UnknownFields::Skip};
constexpr std::string_view kClassFields[] = {"class", "arg"};
constexpr js::RecordShape kClassAtom{"struct variant SwrlAtom::Class", "struct variant SwrlAtom::Class with 2 elements",
                                     kClassFields, js::UnknownFields::Skip};
constexpr std::string_view kObjectFields[] = {"property", "subject", "object"};
constexpr js::RecordShape kObjectAtom{"struct variant SwrlAtom::ObjectProperty",
                                      "struct variant SwrlAtom::ObjectProperty with 3 elements", kObjectFields,
                                      js::UnknownFields::Skip};
constexpr std::string_view kDataFields[] = {"property", "subject", "value"};
constexpr js::RecordShape kDataAtom{"struct variant SwrlAtom::DataProperty",
                                    "struct variant SwrlAtom::DataProperty with 3 elements", kDataFields,
                                    js::UnknownFields::Skip};
constexpr std::string_view kRangeFields[] = {"range", "arg"};
constexpr js::RecordShape kRangeAtom{"struct variant SwrlAtom::DataRange",
                                     "struct variant SwrlAtom::DataRange with 2 elements", kRangeFields,
                                     js::UnknownFields::Skip};
constexpr std::string_view kLiteralFields[] = {"lexical", "datatype"};
constexpr js::RecordShape kLiteral{"struct variant SwrlDArg::Literal",
                                   "struct variant SwrlDArg::Literal with 2 elements", kLiteralFields,
                                   js::UnknownFields::Skip, 0b10};

// {"Variable": name}, or the other form of the argument written by `other`.
template <class Arg, class Other>
void write_arg(js::Writer& w, const Arg& arg, Other&& other) {
  w.begin_object();
  if (const auto* v = std::get_if<SwrlVariable>(&arg)) {
    w.key("Variable");
    w.string(v->name);
  } else {
    other();
  }
  w.end_object();
}

void write_iarg(js::Writer& w, const SwrlIArg& arg) {
  write_arg(w, arg, [&] {
    w.key("Individual");
    w.u64(std::get<EntityId>(arg).value);
  });
}

void write_darg(js::Writer& w, const SwrlDArg& arg) {
  write_arg(w, arg, [&] {
    const SwrlLiteral& lit = std::get<SwrlLiteral>(arg);
    w.key("Literal");
    w.begin_object();
    w.key("lexical");
    w.string(lit.lexical);
    w.key("datatype");
    if (lit.datatype) {
      w.u64(lit.datatype->value);
    } else {
      w.null();
    }
    w.end_object();
  });
}

void write_atom(js::Writer& w, const SwrlAtom& a) {
  w.begin_object();
  w.key(kAtomNames[static_cast<size_t>(a.kind)]);
  if (a.kind == SwrlAtomKind::SameIndividual || a.kind == SwrlAtomKind::DifferentIndividuals) {
    w.begin_array();
    write_iarg(w, a.first);
    write_iarg(w, a.second);
    w.end_array();
    w.end_object();
    return;
  }
  // The struct atoms: the id field first, then the arguments.
  w.begin_object();
  const bool range = a.kind == SwrlAtomKind::DataRange;
  w.key(a.kind == SwrlAtomKind::Class ? "class" : range ? "range" : "property");
  w.u64(range ? a.range.value : a.predicate.value);
  if (a.kind == SwrlAtomKind::Class || range) {
    w.key("arg");
  } else {
    w.key("subject");
    write_iarg(w, a.first);
    w.key(a.kind == SwrlAtomKind::ObjectProperty ? "object" : "value");
  }
  if (a.kind == SwrlAtomKind::Class) {
    write_iarg(w, a.first);
  } else if (a.kind == SwrlAtomKind::ObjectProperty) {
    write_iarg(w, a.second);
  } else {
    write_darg(w, a.value);
  }
  w.end_object();
  w.end_object();
}

js::Result<SwrlIArg> read_iarg(js::Reader& r) {
  SwrlIArg out;
  TRELVANIC_JSON_TRY(js::read_union(r, js::UnionShape{kIArgNames, kIArgShapes}, [&](size_t v) -> js::Result<void> {
    if (v == 0) {
      out = EntityId(TRELVANIC_JSON_TRY(r.read_u32()));
    } else {
      out = SwrlVariable{TRELVANIC_JSON_TRY(r.read_string())};
    }
    return {};
  }));
  return out;
}

js::Result<SwrlDArg> read_darg(js::Reader& r) {
  SwrlDArg out;
  TRELVANIC_JSON_TRY(js::read_union(r, js::UnionShape{kDArgNames, kDArgShapes}, [&](size_t v) -> js::Result<void> {
    if (v == 1) {
      out = SwrlVariable{TRELVANIC_JSON_TRY(r.read_string())};
      return {};
    }
    SwrlLiteral lit;
    TRELVANIC_JSON_TRY(js::read_record(r, kLiteral, [&](size_t f) -> js::Result<void> {
      if (f == 0) {
        lit.lexical = TRELVANIC_JSON_TRY(r.read_string());
      } else {
        lit.datatype = EntityId(TRELVANIC_JSON_TRY(r.read_u32()));
      }
      return {};
    }));
    out = std::move(lit);
    return {};
  }));
  return out;
}

js::Result<SwrlAtom> read_atom(js::Reader& r) {
  uint32_t id = 0;
  SwrlIArg first, second;
  SwrlDArg value;
  auto field = [&](size_t f, bool data) -> js::Result<void> {
    // Field 0 is the id, then individual arguments; field 2 of a data
    // property atom is its data argument.
    if (f == 0) {
      id = TRELVANIC_JSON_TRY(r.read_u32());
    } else if (data && f == 2) {
      value = TRELVANIC_JSON_TRY(read_darg(r));
    } else if (f == 1) {
      first = TRELVANIC_JSON_TRY(read_iarg(r));
    } else {
      second = TRELVANIC_JSON_TRY(read_iarg(r));
    }
    return {};
  };
  const size_t variant = TRELVANIC_JSON_TRY(
      js::read_union(r, js::UnionShape{kAtomNames, kAtomShapes}, [&](size_t v) -> js::Result<void> {
        switch (static_cast<SwrlAtomKind>(v)) {
          case SwrlAtomKind::Class:
            return js::read_record(r, kClassAtom, [&](size_t f) { return field(f, false); });
          case SwrlAtomKind::ObjectProperty:
            return js::read_record(r, kObjectAtom, [&](size_t f) { return field(f, false); });
          case SwrlAtomKind::DataProperty:
            return js::read_record(r, kDataAtom, [&](size_t f) { return field(f, true); });
          case SwrlAtomKind::DataRange:
            return js::read_record(r, kRangeAtom, [&](size_t f) -> js::Result<void> {
              if (f == 0) return field(0, false);
              value = TRELVANIC_JSON_TRY(read_darg(r));
              return {};
            });
          case SwrlAtomKind::SameIndividual:
          case SwrlAtomKind::DifferentIndividuals: {
            const std::string type = fmt::format("tuple variant SwrlAtom::{}", kAtomNames[v]);
            const std::string length = type + " with 2 elements";
            return js::read_tuple(r, type, length, 2, [&](size_t i) -> js::Result<void> {
              (i == 0 ? first : second) = TRELVANIC_JSON_TRY(read_iarg(r));
              return {};
            });
          }
        }
        return {};
      }));
  switch (static_cast<SwrlAtomKind>(variant)) {
    case SwrlAtomKind::Class: return SwrlAtom::class_atom(EntityId(id), std::move(first));
    case SwrlAtomKind::ObjectProperty:
      return SwrlAtom::object_property(EntityId(id), std::move(first), std::move(second));
    case SwrlAtomKind::DataProperty: return SwrlAtom::data_property(EntityId(id), std::move(first), std::move(value));
    case SwrlAtomKind::SameIndividual: return SwrlAtom::same_individual(std::move(first), std::move(second));
    case SwrlAtomKind::DifferentIndividuals:
      return SwrlAtom::different_individuals(std::move(first), std::move(second));
    case SwrlAtomKind::DataRange: return SwrlAtom::data_range(DeId(id), std::move(value));
  }
  return SwrlAtom{};
}

js::Result<void> read_atoms(js::Reader& r, std::vector<SwrlAtom>& out) {
  return js::read_seq(r, [&](size_t) -> js::Result<void> {
    out.push_back(TRELVANIC_JSON_TRY(read_atom(r)));
    return {};
  });
}

// The first out-of-range id of an atom, as (what, id).
std::optional<std::pair<std::string_view, uint32_t>> first_bad_id(const SwrlAtom& a, size_t entities, size_t ranges) {
  std::optional<std::pair<std::string_view, uint32_t>> bad;
  auto entity = [&](EntityId e) {
    if (!bad && e.value >= entities) bad = {"entity", e.value};
  };
  auto iarg = [&](const SwrlIArg& x) {
    if (const auto* e = std::get_if<EntityId>(&x)) entity(*e);
  };
  auto darg = [&](const SwrlDArg& x) {
    if (const auto* lit = std::get_if<SwrlLiteral>(&x); lit && lit->datatype) entity(*lit->datatype);
  };
  switch (a.kind) {
    case SwrlAtomKind::Class: entity(a.predicate); iarg(a.first); break;
    case SwrlAtomKind::ObjectProperty: entity(a.predicate); iarg(a.first); iarg(a.second); break;
    case SwrlAtomKind::DataProperty: entity(a.predicate); iarg(a.first); darg(a.value); break;
    case SwrlAtomKind::SameIndividual:
    case SwrlAtomKind::DifferentIndividuals: iarg(a.first); iarg(a.second); break;
    case SwrlAtomKind::DataRange:
      if (a.range.value >= ranges) bad = {"data range", a.range.value};
      darg(a.value);
      break;
  }
  return bad;
}

}  // namespace

void write_swrl_rule(js::Writer& w, const SwrlRule& rule) {
  w.begin_object();
  w.key("body");
  w.begin_array();
  for (const SwrlAtom& a : rule.body) write_atom(w, a);
  w.end_array();
  w.key("head");
  w.begin_array();
  for (const SwrlAtom& a : rule.head) write_atom(w, a);
  w.end_array();
  w.end_object();
}

js::Result<SwrlRule> read_swrl_rule(js::Reader& r) {
  SwrlRule rule;
  TRELVANIC_JSON_TRY(js::read_record(
      r, kRule, [&](size_t f) -> js::Result<void> { return read_atoms(r, f == 0 ? rule.body : rule.head); }));
  return rule;
}

js::Result<std::vector<SwrlRule>> read_swrl_rules(js::Reader& r) {
  std::vector<SwrlRule> rules;
  TRELVANIC_JSON_TRY(js::read_seq(r, [&](size_t) -> js::Result<void> {
    rules.push_back(TRELVANIC_JSON_TRY(read_swrl_rule(r)));
    return {};
  }));
  return rules;
}

Result<void> check_swrl_rule_ids(std::span<const SwrlRule> rules, size_t entity_count, size_t data_range_count) {
  for (size_t k = 0; k < rules.size(); ++k) {
    for (const auto* atoms : {&rules[k].body, &rules[k].head}) {
      for (const SwrlAtom& a : *atoms) {
        if (auto bad = first_bad_id(a, entity_count, data_range_count)) {
          const size_t count = bad->first == "entity" ? entity_count : data_range_count;
          return std::unexpected(Error::serialization(fmt::format("swrl_rules[{}] refers to {} {}, past the {} {}", k,
                                                                  bad->first, bad->second, count,
                                                                  bad->first == "entity" ? "entities" : "data ranges")));
        }
      }
    }
  }
  return {};
}

}  // namespace trelvanic_core
