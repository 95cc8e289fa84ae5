// Class expressions, data ranges, property expressions, individuals,
// literals and lists of the RDF-to-OWL mapping.
//
// Blank nodes are translated on demand when an axiom refers to them and
// memoised, so a shared node is translated once. The walk recurses along
// the expression's nesting with a depth limit (kMaxExpressionDepth) and an
// in-progress set, so deep or cyclic input is refused, never followed.
#include <charconv>

#include <fmt/format.h>

#include "rdf/detail/mapper.h"
#include "rdf/vocab.h"

namespace trelvanic_rdf::detail {

namespace {

// Count of the constructors a node carries (a well-formed node has one).
int class_constructor_count(const Shape& s) {
  return (s.intersection_of.count > 0) + (s.union_of.count > 0) + (s.complement_of.count > 0) +
         (s.one_of.count > 0) + (s.on_property.count > 0) + (s.on_properties.count > 0);
}

int range_constructor_count(const Shape& s) {
  return (s.intersection_of.count > 0) + (s.union_of.count > 0) +
         (s.datatype_complement_of.count > 0) + (s.one_of.count > 0) + (s.on_datatype.count > 0);
}

std::optional<std::uint32_t> parse_count(const TermTable& terms, TermId lit) {
  if (!terms.is_literal(lit)) return std::nullopt;
  // xsd:nonNegativeInteger: white space collapsed, an optional '+'.
  std::string_view text = terms.text(lit);
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\n' ||
                           text.front() == '\r')) {
    text.remove_prefix(1);
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\n' ||
                           text.back() == '\r')) {
    text.remove_suffix(1);
  }
  if (text.starts_with('+')) text.remove_prefix(1);
  std::uint32_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc{} || end != text.data() + text.size() || text.empty()) return std::nullopt;
  return value;
}

}  // namespace

Shape Mapper::shape_of(TermId x) const {
  Shape s;
  for (std::uint32_t pos : graph_.by_subject(x)) {
    const TripleIds& t = graph_.triples()[pos];
    Shape::Slot* slot = nullptr;
    switch (t.predicate.value) {
      case vocab::kRdfType.value:
        if (t.object == vocab::kOwlClass) {
          s.typed_class = true;
        } else if (t.object == vocab::kOwlRestriction) {
          s.typed_restriction = true;
        } else if (t.object == vocab::kRdfsDatatype || t.object == vocab::kOwlDataRange) {
          s.typed_datatype = true;
        } else {
          continue;
        }
        s.type_triples.push_back(pos);
        continue;
      case vocab::kOwlIntersectionOf.value: slot = &s.intersection_of; break;
      case vocab::kOwlUnionOf.value: slot = &s.union_of; break;
      case vocab::kOwlComplementOf.value: slot = &s.complement_of; break;
      case vocab::kOwlOneOf.value: slot = &s.one_of; break;
      case vocab::kOwlOnProperty.value: slot = &s.on_property; break;
      case vocab::kOwlOnProperties.value: slot = &s.on_properties; break;
      case vocab::kOwlSomeValuesFrom.value: slot = &s.some_values_from; break;
      case vocab::kOwlAllValuesFrom.value: slot = &s.all_values_from; break;
      case vocab::kOwlHasValue.value: slot = &s.has_value; break;
      case vocab::kOwlHasSelf.value: slot = &s.has_self; break;
      case vocab::kOwlMinCardinality.value: slot = &s.min_card; break;
      case vocab::kOwlMaxCardinality.value: slot = &s.max_card; break;
      case vocab::kOwlCardinality.value: slot = &s.card; break;
      case vocab::kOwlMinQualifiedCardinality.value: slot = &s.min_qcard; break;
      case vocab::kOwlMaxQualifiedCardinality.value: slot = &s.max_qcard; break;
      case vocab::kOwlQualifiedCardinality.value: slot = &s.qcard; break;
      case vocab::kOwlOnClass.value: slot = &s.on_class; break;
      case vocab::kOwlOnDataRange.value: slot = &s.on_data_range; break;
      case vocab::kOwlDatatypeComplementOf.value: slot = &s.datatype_complement_of; break;
      case vocab::kOwlOnDatatype.value: slot = &s.on_datatype; break;
      case vocab::kOwlWithRestrictions.value: slot = &s.with_restrictions; break;
      case vocab::kOwlInverseOf.value: slot = &s.inverse_of; break;
      default: continue;
    }
    slot->object = t.object;
    slot->pos = pos;
    if (slot->count < 255) ++slot->count;
  }
  return s;
}

bool Mapper::fail(TermId x, std::string_view reason) {
  if (failed_.insert(x).second && !reason.empty()) {
    problem(fmt::format("cannot map {}: {}", terms().display(x), reason));
  }
  return false;
}

std::optional<RdfList> Mapper::list(TermId head) {
  auto l = read_rdf_list(graph_, head);
  if (!l) {
    problem(l.error());
    return std::nullopt;
  }
  return std::move(*l);
}

bool Mapper::is_data_property(TermId p) const {
  const std::uint8_t k = kinds(p);
  return (k & kDataPropertyKind) != 0 && (k & kObjectPropertyKind) == 0;
}

bool Mapper::looks_like_data_range(TermId x) {
  if (terms().is_iri(x)) return (kinds(x) & kDatatypeKind) != 0 && (kinds(x) & kClassKind) == 0;
  if (!terms().is_blank(x)) return false;
  const Shape s = shape_of(x);
  if (s.typed_datatype || s.datatype_complement_of.count > 0 || s.on_datatype.count > 0) return true;
  if (s.typed_class || s.typed_restriction) return false;
  if (s.one_of.count == 1) {
    auto first = graph_.object(s.one_of.object, vocab::kRdfFirst);
    return first && terms().is_literal(first);
  }
  for (const Shape::Slot* slot : {&s.intersection_of, &s.union_of}) {
    if (slot->count != 1) continue;
    auto first = graph_.object(slot->object, vocab::kRdfFirst);
    if (first && terms().is_iri(first)) return looks_like_data_range(first);
  }
  return false;
}

std::optional<NodeRef> Mapper::class_expression(TermId x) { return class_expression_at(x, 0); }
std::optional<NodeRef> Mapper::data_range(TermId x) { return data_range_at(x, 0); }

template <class Body>
std::optional<NodeRef> Mapper::guarded(TermId x, std::size_t depth,
                                       absl::flat_hash_map<TermId, NodeRef>& memo, Body body) {
  if (auto it = memo.find(x); it != memo.end()) return it->second;
  if (failed_.contains(x)) return std::nullopt;
  if (depth >= kMaxExpressionDepth) {
    fail(x, fmt::format("expression nested deeper than {} levels", kMaxExpressionDepth));
    return std::nullopt;
  }
  if (!in_progress_.insert(x).second) {
    fail(x, "the expression contains itself");
    return std::nullopt;
  }
  const Shape s = shape_of(x);
  const std::optional<NodeRef> result = body(s);
  in_progress_.erase(x);
  if (!result) {
    fail(x, "");
    return std::nullopt;
  }
  for (std::uint32_t pos : s.type_triples) use(pos);
  memo.emplace(x, *result);
  return result;
}

std::optional<NodeRef> Mapper::class_expression_at(TermId x, std::size_t depth) {
  if (terms().is_iri(x)) return entity(Form::Class, x);
  if (!terms().is_blank(x)) {
    fail(x, "a literal is not a class expression");
    return std::nullopt;
  }
  return guarded(x, depth, class_memo_, [&](const Shape& s) -> std::optional<NodeRef> {
    std::optional<NodeRef> result;
    if (s.typed_datatype) {
      fail(x, "a data range where a class expression is expected");
    } else if (class_constructor_count(s) != 1) {
      fail(x, class_constructor_count(s) == 0 ? "not a class expression"
                                              : "more than one class constructor on one node");
    } else if (s.on_property.count > 0 || s.on_properties.count > 0) {
      result = restriction(x, s, depth);
    } else if (s.intersection_of.count + s.union_of.count + s.complement_of.count +
                   s.one_of.count != 1) {
      fail(x, "a class constructor given twice");
    } else {
      const Shape::Slot& slot = s.complement_of.count    ? s.complement_of
                                : s.one_of.count         ? s.one_of
                                : s.intersection_of.count ? s.intersection_of
                                                          : s.union_of;
      result = class_constructor(graph_.triples()[slot.pos].predicate, slot.object, depth);
      if (result) use(slot.pos);
    }
    return result;
  });
}

std::optional<NodeRef> Mapper::class_constructor(TermId pred, TermId object, std::size_t depth) {
  auto sub = [&](TermId item) { return class_expression_at(item, depth + 1); };
  switch (pred.value) {
    case vocab::kOwlComplementOf.value:
      if (auto c = sub(object)) return draft_.node(Form::ObjectComplementOf, {*c});
      return std::nullopt;
    case vocab::kOwlOneOf.value:
      if (auto items = map_list(object, [&](TermId i) { return individual(i); })) {
        return draft_.node(Form::ObjectOneOf, *items);
      }
      return std::nullopt;
    case vocab::kOwlIntersectionOf.value:
    case vocab::kOwlUnionOf.value:
      if (auto ops = map_list(object, sub)) {
        return draft_.node(pred == vocab::kOwlIntersectionOf ? Form::ObjectIntersectionOf : Form::ObjectUnionOf,
                           *ops);
      }
      return std::nullopt;
    default: return std::nullopt;
  }
}

std::optional<NodeRef> Mapper::range_constructor(TermId pred, TermId object, std::size_t depth) {
  auto sub = [&](TermId item) { return data_range_at(item, depth + 1); };
  switch (pred.value) {
    case vocab::kOwlOneOf.value:
      if (auto ops = map_list(object, [&](TermId i) { return literal(i); })) {
        return draft_.node(Form::DataOneOf, *ops);
      }
      return std::nullopt;
    case vocab::kOwlIntersectionOf.value:
    case vocab::kOwlUnionOf.value:
      if (auto ops = map_list(object, sub)) {
        return draft_.node(pred == vocab::kOwlIntersectionOf ? Form::DataIntersectionOf : Form::DataUnionOf, *ops);
      }
      return std::nullopt;
    default: return std::nullopt;
  }
}

std::optional<NodeRef> Mapper::restriction(TermId x, const Shape& s, std::size_t depth) {
  if (s.on_properties.count > 0) {
    fail(x, "restrictions on several data properties (owl:onProperties) are not supported");
    return std::nullopt;
  }
  if (s.on_property.count != 1) {
    fail(x, "owl:onProperty given twice");
    return std::nullopt;
  }
  const Shape::Slot* forms[] = {&s.some_values_from, &s.all_values_from, &s.has_value,
                                &s.has_self,         &s.min_card,        &s.max_card,
                                &s.card,             &s.min_qcard,       &s.max_qcard,
                                &s.qcard};
  int present = 0;
  const Shape::Slot* form = nullptr;
  for (const Shape::Slot* f : forms) {
    if (f->count > 0) {
      present += f->count;
      form = f;
    }
  }
  const bool qualified = form == &s.min_qcard || form == &s.max_qcard || form == &s.qcard;
  const int fillers = s.on_class.count + s.on_data_range.count;
  if (present != 1 || (qualified ? fillers != 1 : fillers != 0)) {
    fail(x, "a restriction needs exactly one kind of restriction and filler");
    return std::nullopt;
  }
  const TermId p = s.on_property.object;
  const TermId v = form->object;
  bool data = false;
  if (form == &s.some_values_from || form == &s.all_values_from) {
    data = is_data_property(p) ||
           ((kinds(p) & kObjectPropertyKind) == 0 && looks_like_data_range(v));
  } else if (form == &s.has_value) {
    data = terms().is_literal(v);
  } else if (qualified) {
    data = s.on_data_range.count == 1;
  } else if (form != &s.has_self) {
    data = is_data_property(p);
  }
  std::optional<NodeRef> prop = data ? data_property(p) : object_property_expression(p);
  if (!prop) {
    fail(x, "its property is not a property expression");
    return std::nullopt;
  }
  std::optional<NodeRef> out;
  auto filler = [&](TermId f) {
    return data ? data_range_at(f, depth + 1) : class_expression_at(f, depth + 1);
  };
  if (form == &s.some_values_from || form == &s.all_values_from) {
    if (auto f = filler(v)) {
      const bool some = form == &s.some_values_from;
      out = draft_.node(data ? (some ? Form::DataSomeValuesFrom : Form::DataAllValuesFrom)
                             : (some ? Form::ObjectSomeValuesFrom : Form::ObjectAllValuesFrom),
                        {*prop, *f});
    }
  } else if (form == &s.has_value) {
    if (auto value = data ? literal(v) : individual(v)) {
      out = draft_.node(data ? Form::DataHasValue : Form::ObjectHasValue, {*prop, *value});
    }
  } else if (form == &s.has_self) {
    const std::string_view flag = terms().is_literal(v) ? terms().text(v) : "";
    if (flag == "true" || flag == "1") out = draft_.node(Form::ObjectHasSelf, {*prop});
    else fail(x, "owl:hasSelf needs the literal true");
  } else {
    const std::optional<std::uint32_t> n = parse_count(terms(), v);
    if (!n) {
      fail(x, "a cardinality must be a non-negative integer literal");
      return std::nullopt;
    }
    const bool min = form == &s.min_card || form == &s.min_qcard;
    const bool max = form == &s.max_card || form == &s.max_qcard;
    const Form f = data ? (min ? Form::DataMinCardinality
                               : max ? Form::DataMaxCardinality : Form::DataExactCardinality)
                        : (min ? Form::ObjectMinCardinality
                               : max ? Form::ObjectMaxCardinality : Form::ObjectExactCardinality);
    if (!qualified) {
      out = draft_.node(f, {*prop}, *n);
    } else {
      const Shape::Slot& slot = data ? s.on_data_range : s.on_class;
      if (auto q = filler(slot.object)) {
        use(slot.pos);
        out = draft_.node(f, {*prop, *q}, *n);
      }
    }
  }
  if (out) {
    use(s.on_property.pos);
    use(form->pos);
  }
  return out;
}

std::optional<NodeRef> Mapper::data_range_at(TermId x, std::size_t depth) {
  if (terms().is_iri(x)) return entity(Form::Datatype, x);
  if (!terms().is_blank(x)) {
    fail(x, "a literal is not a data range");
    return std::nullopt;
  }
  return guarded(x, depth, range_memo_, [&](const Shape& s) -> std::optional<NodeRef> {
    auto sub = [&](TermId item) { return data_range_at(item, depth + 1); };
    std::optional<NodeRef> result;
    const int n = s.intersection_of.count + s.union_of.count + s.datatype_complement_of.count +
                  s.one_of.count + s.on_datatype.count;
    if (range_constructor_count(s) != 1 || n != 1 || s.typed_class || s.typed_restriction) {
      fail(x, "not a data range");
    } else if (s.datatype_complement_of.count == 1) {
      if (auto r = sub(s.datatype_complement_of.object)) {
        use(s.datatype_complement_of.pos);
        result = draft_.node(Form::DataComplementOf, {*r});
      }
    } else if (s.on_datatype.count == 1) {
      result = datatype_restriction(x, s);
    } else {
      const Shape::Slot& slot = s.one_of.count ? s.one_of : s.intersection_of.count ? s.intersection_of : s.union_of;
      result = range_constructor(graph_.triples()[slot.pos].predicate, slot.object, depth);
      if (result) {
        use(slot.pos);
      } else if (&slot == &s.one_of) {
        fail(x, "owl:oneOf of a data range lists a non-literal");
      }
    }
    return result;
  });
}

std::optional<NodeRef> Mapper::datatype_restriction(TermId x, const Shape& s) {
  auto facets = s.with_restrictions.count == 1 ? list(s.with_restrictions.object) : std::nullopt;
  if (!terms().is_iri(s.on_datatype.object) || !facets) {
    fail(x, "a datatype restriction needs one datatype IRI and one facet list");
    return std::nullopt;
  }
  std::vector<NodeRef> ops{entity(Form::Datatype, s.on_datatype.object)};
  std::vector<std::uint32_t> facet_triples;
  for (TermId item : facets->items) {
    // Each facet is a blank node with one triple: (node, facet IRI, literal).
    const auto triples = graph_.by_subject(item);
    if (!terms().is_blank(item) || triples.size() != 1) break;
    const TripleIds& t = graph_.triples()[triples[0]];
    auto value = literal(t.object);
    if (!value) break;
    ops.push_back(draft_.node(Form::FacetRestriction,
                              {draft_.leaf(Form::Iri, terms().text(t.predicate)), *value}));
    facet_triples.push_back(triples[0]);
  }
  if (ops.size() != facets->items.size() + 1) {
    fail(x, "a facet must be a node with one facet and a literal");
    return std::nullopt;
  }
  use_list(*facets);
  for (std::uint32_t pos : facet_triples) use(pos);
  use(s.on_datatype.pos);
  use(s.with_restrictions.pos);
  return draft_.node(Form::DatatypeRestriction, ops);
}

std::optional<NodeRef> Mapper::object_property_expression(TermId x) {
  if (terms().is_iri(x)) return entity(Form::ObjectProperty, x);
  if (!terms().is_blank(x)) return std::nullopt;
  const auto triples = graph_.by_subject(x);
  TermId inner{};
  std::uint32_t at = 0;
  int count = 0;
  for (std::uint32_t pos : triples) {
    if (graph_.triples()[pos].predicate == vocab::kOwlInverseOf) {
      inner = graph_.triples()[pos].object;
      at = pos;
      ++count;
    }
  }
  if (count != 1 || !terms().is_iri(inner)) {
    fail(x, "not an object property expression");
    return std::nullopt;
  }
  use(at);
  return draft_.node(Form::ObjectInverseOf, {entity(Form::ObjectProperty, inner)});
}

std::optional<NodeRef> Mapper::data_property(TermId x) {
  if (!terms().is_iri(x)) return std::nullopt;
  return entity(Form::DataProperty, x);
}

std::optional<NodeRef> Mapper::individual(TermId x) {
  if (terms().is_iri(x)) return entity(Form::NamedIndividual, x);
  if (terms().is_blank(x)) return draft_.leaf(Form::AnonymousIndividual, terms().text(x));
  return std::nullopt;
}

std::optional<NodeRef> Mapper::literal(TermId x) {
  if (!terms().is_literal(x)) return std::nullopt;
  const std::string_view lang = terms().lang(x);
  const TermId dt = terms().datatype(x);
  return draft_.literal(terms().text(x), lang.empty() && dt ? terms().text(dt) : "", lang);
}

}  // namespace trelvanic_rdf::detail
