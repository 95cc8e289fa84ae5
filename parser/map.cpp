#include "parser/map.h"

#include <algorithm>

#include <fmt/format.h>

#include "core/cancel.h"
#include "core/characteristic.h"
#include "core/limits.h"
#include "owl/utf8.h"
#include "parser/map_dl.h"

namespace trelvanic_parser {

using trelvanic_core::Axiom;
using trelvanic_core::AxiomKind;
using trelvanic_core::DlAxiom;
using trelvanic_core::EntityId;
using trelvanic_core::EntityKind;
using trelvanic_core::OwlConstruct;
using trelvanic_owl::Kind;
using trelvanic_owl::NodeId;
using trelvanic_owl::utf8_excerpt;  // IRIs and messages quoted in warnings

namespace {

constexpr uint16_t kind_bit(EntityKind k) { return static_cast<uint16_t>(1u << static_cast<unsigned>(k)); }

// Whether a stored pun already stands for `wanted`.
bool pun_covers(EntityKind stored, EntityKind wanted) {
  switch (stored) {
    case EntityKind::ClassIndividual:
      return wanted == EntityKind::Class || wanted == EntityKind::Individual;
    case EntityKind::ClassObjectProperty:
      return wanted == EntityKind::Class || wanted == EntityKind::ObjectProperty;
    case EntityKind::ObjectPropertyIndividual:
      return wanted == EntityKind::Individual || wanted == EntityKind::ObjectProperty;
    case EntityKind::Class:
    case EntityKind::Individual:
    case EntityKind::ObjectProperty:
    case EntityKind::DataProperty:
    case EntityKind::AnnotationProperty:
    case EntityKind::Datatype:
      return false;
  }
  return false;
}

// The profile construct of each told axiom form.
void note_told_constructs(Mapper& mapper, AxiomKind kind) {
  auto note = [&](OwlConstruct c) { mapper.note_profile(c); };
  switch (kind) {
    case AxiomKind::SubClassOf: return note(OwlConstruct::SubClassOfNamed);
    case AxiomKind::EquivalentClasses: return note(OwlConstruct::EquivalentClasses);
    case AxiomKind::DisjointClasses: return note(OwlConstruct::DisjointClasses);
    case AxiomKind::ObjectPropertyDomain: return note(OwlConstruct::ObjectPropertyDomain);
    case AxiomKind::ObjectPropertyRange: return note(OwlConstruct::ObjectPropertyRange);
    case AxiomKind::SubObjectPropertyOf: return note(OwlConstruct::SubObjectPropertyOf);
    case AxiomKind::InverseObjectProperties: return note(OwlConstruct::InverseObjectProperties);
    case AxiomKind::SubClassOfExistential:
      note(OwlConstruct::SubClassOfExistential);
      return note(OwlConstruct::ObjectSomeValuesFrom);
    TRELVANIC_CHARACTERISTIC_AXIOM_CASES return note(characteristic_row(*characteristic_of(kind)).construct);
    case AxiomKind::EquivalentObjectProperties: return note(OwlConstruct::EquivalentObjectProperties);
    case AxiomKind::ClassAssertion: return note(OwlConstruct::ClassAssertion);
    case AxiomKind::ObjectPropertyAssertion:
    case AxiomKind::NegativeObjectPropertyAssertion: return note(OwlConstruct::ObjectPropertyAssertion);
    case AxiomKind::DataPropertyAssertion:
    case AxiomKind::NegativeDataPropertyAssertion: return note(OwlConstruct::DataPropertyAssertion);
    case AxiomKind::SameIndividual:
    case AxiomKind::DifferentIndividuals: return note(OwlConstruct::IndividualEquality);
  }
}

}  // namespace

std::string anonymous_individual_iri(std::string_view label, uint32_t document) {
  if (document == 0) return fmt::format("file:/c/test.owl#_{}", label);
  return fmt::format("file:/c/{}/test.owl#_{}", document, label);
}

std::optional<std::vector<EntityId>> collect_resolved(std::span<const Operand> operands) {
  std::vector<EntityId> ids;
  ids.reserve(operands.size());
  for (const Operand& o : operands) {
    if (o.status != OperandStatus::Resolved) return std::nullopt;
    ids.push_back(o.id);
  }
  return ids;
}

bool any_failed(std::span<const Operand> operands) {
  return std::any_of(operands.begin(), operands.end(),
                     [](const Operand& o) { return o.status == OperandStatus::Failed; });
}

bool declaration_kinds_compatible(uint16_t kinds) {
  if (std::popcount(kinds) < 2) return true;
  std::optional<EntityKind> folded;
  for (int i = 0; i < trelvanic_core::kEntityKindCount; ++i) {
    if ((kinds & (1u << i)) == 0) continue;
    const auto k = static_cast<EntityKind>(i);
    if (!folded) {
      folded = k;
      continue;
    }
    folded = trelvanic_core::merge_punning(*folded, k);
    if (!folded) return false;
  }
  for (int i = 0; i < trelvanic_core::kEntityKindCount; ++i) {
    if ((kinds & (1u << i)) == 0) continue;
    const auto k = static_cast<EntityKind>(i);
    if (k != *folded && !pun_covers(*folded, k)) return false;
  }
  return true;
}

Mapper::Mapper(const trelvanic_owl::Ontology& model, trelvanic_core::Ontology& ontology,
               trelvanic_core::ParseMeta& meta, const IriSet& class_individual_iris, const LoadLimits& limits,
               MapOptions options)
    : model_(model),
      ontology_(ontology),
      meta_(meta),
      class_individual_iris_(class_individual_iris),
      limits_(limits),
      options_(options),
      cache_(model.node_count() + 1),
      nothing_class_(model.owl_nothing_class()) {
  for (uint32_t i = 0; i < cache_.size(); ++i) {
    cache_[i].kind = model.kind(NodeId(i));
    entity_nodes_ += trelvanic_owl::kind_role(cache_[i].kind) == trelvanic_owl::KindRole::Entity;
    class_nodes_ += cache_[i].kind == Kind::Class;
    composite_class_nodes_ += cache_[i].kind >= Kind::ObjectIntersectionOf && cache_[i].kind <= Kind::DataExactCardinality;
    if (cache_[i].kind == Kind::ObjectIntersectionOf)
      extra_intersection_operands_ += model.words(NodeId(i)).size() - 1;
  }
}

// ---- pushing

void Mapper::skip(std::string_view text) {
  ++meta_.skipped_axiom_count;
  warn(std::string(text));
}

bool Mapper::axiom_limit_reached() {
  // The queue holds at most pending_.size() axioms not yet in the store, so
  // below the limit with all of them counted is below it in any case.
  auto reached = [&](size_t queued) {
    return ontology_.axioms().live_count() + queued + ontology_.dl().axiom_count() >= limits_.max_axioms;
  };
  if (!reached(pending_.size())) return false;
  flush();
  return reached(0);
}

void Mapper::push_axiom(Axiom axiom) {
  if (axiom_limit_reached()) {
    skip(fmt::format("axiom limit {} reached; skipping further axioms", limits_.max_axioms));
    return;
  }
  note_told_constructs(*this, axiom.kind());
  pending_.push_back(std::move(axiom));
  constexpr size_t kBatch = 128;
  if (pending_.size() >= kBatch) flush();
}

void Mapper::flush() {
  if (pending_.empty()) return;
  const auto& store = ontology_.axioms();
  size_t live = store.live_count();
  uint32_t next = static_cast<uint32_t>(store.size());  // the id a new axiom gets
  auto stored = ontology_.add_axioms(pending_);
  pending_.clear();
  for (auto& r : stored) {
    if (!r) {
      skip(fmt::format("failed to store axiom: {}", utf8_excerpt(r.error().message())));
      continue;
    }
    if (r->value == next) {  // new: the store grew by one live axiom
      ++next;
      ++live;
    }
    if (meta_.mapped_axiom_count < live) ++meta_.mapped_axiom_count;
  }
}

void Mapper::push_dl_axiom(const DlAxiom& axiom) {
  if (axiom_limit_reached()) {
    skip(fmt::format("axiom limit {} reached; skipping further DL axioms", limits_.max_axioms));
    return;
  }
  // OWL 2 gives the list forms two operands at least; the readers take
  // shorter lists, which no stored axiom may hold.
  using DK = trelvanic_core::DlAxiomKind;
  switch (axiom.kind) {
    case DK::EquivalentClasses:
    case DK::DisjointClasses:
    case DK::EquivalentDataProperties:
    case DK::DisjointDataProperties:
    case DK::DisjointObjectProperties:
    case DK::SameIndividual:
    case DK::DifferentIndividuals:
      if (axiom.list.size() < 2)
        return skip(fmt::format("{} with fewer than two operands", trelvanic_core::dl_axiom_kind_name(axiom.kind)));
      break;
    default: break;
  }
  trelvanic_core::DlStore& dl = ontology_.dl_mut();
  note_dl_axiom_constructs(dl, axiom, meta_, noted_expressions_);
  dl.push_axiom(axiom);
}

// ---- registration

Result<EntityId> Mapper::register_entity(std::string_view iri, EntityKind kind) {
  auto limit_reached = [&]() -> std::optional<Error> {
    // Only a new entity can exceed the limit: names already registered
    // always resolve.
    if (ontology_.entity_count() >= limits_.max_entities)
      return Error::parse(fmt::format("entity limit {} exceeded", limits_.max_entities));
    return std::nullopt;
  };
  auto register_new = [&](EntityKind k) -> Result<EntityId> {
    if (auto e = limit_reached()) return std::unexpected(std::move(*e));
    auto id = ontology_.entity_id(iri, k);
    if (!id) return std::unexpected(Error::parse(id.error().message()));
    return *id;
  };

  if ((kind == EntityKind::Class || kind == EntityKind::Individual) && !class_individual_iris_.empty() &&
      class_individual_iris_.contains(iri)) {
    if (auto known = ontology_.lookup_entity(iri)) return *known;
    return register_new(EntityKind::ClassIndividual);
  }
  if (ontology_.entity_count() < limits_.max_entities) {
    // Below the limit the registry itself does what follows: a new IRI is
    // registered, a known one is merged by the same punning rules (a pun
    // covering the kind stays, two base kinds become their pun, every
    // other pair is a kind mismatch).
    auto id = ontology_.entity_id(iri, kind);
    if (!id) return std::unexpected(Error::parse(id.error().message()));
    return *id;
  }
  const std::optional<EntityId> known = ontology_.lookup_entity(iri);
  if (!known) return register_new(kind);
  auto record = ontology_.entity(*known);
  if (!record) return register_new(kind);
  const EntityKind stored = record->kind;
  if (stored == kind || pun_covers(stored, kind)) return *known;
  if (auto merged = trelvanic_core::merge_punning(stored, kind)) {
    if (*merged != stored) (void)ontology_.set_entity_kind(*known, *merged);
    return *known;
  }
  // No pun joins the two kinds: the core reports the mismatch.
  auto id = ontology_.entity_id(iri, kind);
  if (!id) return std::unexpected(Error::parse(id.error().message()));
  return *id;
}

std::optional<EntityId> Mapper::register_or_warn_class(std::string_view iri) {
  auto r = register_entity(iri, EntityKind::Class);
  if (r) return *r;
  warn(fmt::format("failed to register class {}: {}", utf8_excerpt(iri), utf8_excerpt(r.error().message())));
  return std::nullopt;
}

std::optional<EntityId> Mapper::register_or_warn_object_property(std::string_view iri) {
  auto r = register_entity(iri, EntityKind::ObjectProperty);
  if (r) return *r;
  warn(fmt::format("failed to register object property {}: {}", utf8_excerpt(iri), utf8_excerpt(r.error().message())));
  return std::nullopt;
}

std::optional<EntityId> Mapper::register_or_warn_entity(std::string_view iri, EntityKind kind) {
  auto r = register_entity(iri, kind);
  if (r) return *r;
  if (limits_.strict) ++meta_.skipped_axiom_count;
  warn(fmt::format("failed to register entity {}: {}", utf8_excerpt(iri), utf8_excerpt(r.error().message())));
  return std::nullopt;
}

Result<EntityId> Mapper::resolve_cached(NodeId entity, EntityKind kind) {
  NodeCache& cached = cache_[entity.value];
  // A stored kind only ever grows into a pun that covers it, so a name once
  // registered for `kind` resolves to the same entity with no effect.
  if (cached.entity != 0 && (cached.kinds & kind_bit(kind)) != 0) return EntityId(cached.entity - 1);
  auto r = register_entity(model_.iri_text(entity), kind);
  if (r) {
    cached.entity = r->value + 1;  // register_entity does not touch cache_
    cached.kinds |= kind_bit(kind);
  }
  return r;
}

std::optional<EntityId> Mapper::register_class(NodeId entity) {
  auto r = resolve_cached(entity, EntityKind::Class);
  if (r) return *r;
  warn(fmt::format("failed to register class {}: {}", utf8_excerpt(model_.iri_text(entity)), utf8_excerpt(r.error().message())));
  return std::nullopt;
}

std::optional<EntityId> Mapper::register_object_property(NodeId entity) {
  auto r = resolve_cached(entity, EntityKind::ObjectProperty);
  if (r) return *r;
  warn(
      fmt::format("failed to register object property {}: {}", utf8_excerpt(model_.iri_text(entity)), utf8_excerpt(r.error().message())));
  return std::nullopt;
}

std::optional<EntityId> Mapper::register_as(NodeId entity, EntityKind kind) {
  if (kind == EntityKind::Class) return register_class(entity);
  if (kind == EntityKind::ObjectProperty) return register_object_property(entity);
  return register_or_warn_entity(entity, kind);
}

std::optional<EntityId> Mapper::register_or_warn_entity(NodeId entity, EntityKind kind) {
  auto r = resolve_cached(entity, kind);
  if (r) return *r;
  if (limits_.strict) ++meta_.skipped_axiom_count;
  warn(fmt::format("failed to register entity {}: {}", utf8_excerpt(model_.iri_text(entity)), utf8_excerpt(r.error().message())));
  return std::nullopt;
}

std::optional<EntityId> Mapper::register_else_lookup(NodeId entity, EntityKind kind) {
  if (auto id = register_as(entity, kind)) return id;
  // Only an entity that can stand for `kind`: a DL expression over a name of
  // another kind (an object property in a data restriction) is one no store
  // may hold, and its snapshot would not read back.
  const std::optional<EntityId> known = ontology_.lookup_entity(model_.iri_text(entity));
  if (!known) return std::nullopt;
  auto record = ontology_.entity(*known);
  if (!record || !trelvanic_core::kind_satisfies(record->kind, kind)) return std::nullopt;
  return known;
}

Operand Mapper::class_status(NodeId ce) {
  if (node_kind(ce) != Kind::Class) return {};
  if (auto id = register_class(ce)) return {OperandStatus::Resolved, *id};
  return {OperandStatus::Failed, {}};
}

Operand Mapper::property_status(NodeId ope) {
  if (node_kind(ope) != Kind::ObjectProperty) return {};
  if (auto id = register_object_property(ope)) return {OperandStatus::Resolved, *id};
  return {OperandStatus::Failed, {}};
}

Operand Mapper::property_expression_status(NodeId ope, bool& inverse) {
  inverse = node_kind(ope) == Kind::ObjectInverseOf;
  if (!inverse) return property_status(ope);
  // Told of the named property, the axiom keeps the inverse in the
  // profile set (no inverse is inside OWL 2 EL).
  note_profile(trelvanic_core::OwlConstruct::InverseObjectProperties);
  return property_status(model_.operand(ope, 0));
}

std::optional<trelvanic_core::RoleExpr> Mapper::resolve_role(NodeId ope) {
  const bool inverse = node_kind(ope) == Kind::ObjectInverseOf;
  const NodeId named = inverse ? model_.operand(ope, 0) : ope;
  auto id = register_else_lookup(named, EntityKind::ObjectProperty);
  if (!id) return std::nullopt;
  return inverse ? trelvanic_core::RoleExpr::inverse(*id) : trelvanic_core::RoleExpr::atomic(*id);
}

// ---- driver

namespace {

EntityKind declared_kind(Kind k) {
  switch (k) {
    case Kind::Class: return EntityKind::Class;
    case Kind::ObjectProperty: return EntityKind::ObjectProperty;
    case Kind::AnnotationProperty: return EntityKind::AnnotationProperty;
    case Kind::DataProperty: return EntityKind::DataProperty;
    default: return EntityKind::Individual;  // NamedIndividual
  }
}

// Components that never become an axiom of the stores.
bool is_non_logical(Kind k) {
  static constexpr Kind kNonLogical[] = {Kind::OntologyId,          Kind::DocumentIri,
                                         Kind::Declaration,         Kind::Import,
                                         Kind::Annotation,          Kind::AnnotationAssertion,
                                         Kind::SubAnnotationPropertyOf, Kind::AnnotationPropertyDomain,
                                         Kind::AnnotationPropertyRange};
  return std::find(std::begin(kNonLogical), std::end(kNonLogical), k) != std::end(kNonLogical);
}

// "{Class, DataProperty}", kinds in code order.
std::string kinds_debug_text(uint16_t kinds) {
  std::string out = "{";
  for (int i = 0; i < trelvanic_core::kEntityKindCount; ++i) {
    if ((kinds & (1u << i)) == 0) continue;
    if (out.size() > 1) out += ", ";
    out += trelvanic_core::entity_kind_name(static_cast<EntityKind>(i));
  }
  return out + "}";
}

// Sorts `items` (each with a distinct `iri` and an `order_key` to fill) by
// IRI. IRIs of one file mostly share a long prefix and differ in a few bytes
// after it; those bytes, read big-endian into `order_key` (zero-padded: a
// shorter text sorts first), order most pairs by one integer comparison
// without reading the texts. Equal keys fall back to the texts.
template <class Item>
void sort_by_iri(std::vector<Item>& items) {
  if (items.size() < 2) return;
  size_t shared = items[0].iri.size();
  for (const Item& it : items) {
    const std::string_view first = items[0].iri;
    size_t i = 0;
    const size_t n = std::min(shared, it.iri.size());
    while (i < n && first[i] == it.iri[i]) ++i;
    shared = i;
  }
  for (Item& it : items) {
    uint64_t key = 0;
    for (size_t i = 0; i < 8; ++i) {
      const size_t at = shared + i;
      key = (key << 8) | (at < it.iri.size() ? static_cast<unsigned char>(it.iri[at]) : 0u);
    }
    it.order_key = key;
  }
  auto less = [](const Item& a, const Item& b) {
    if (a.order_key != b.order_key) return a.order_key < b.order_key;
    return a.iri < b.iri;
  };
  // Files commonly declare in IRI order already; then one pass checks it.
  if (!std::is_sorted(items.begin(), items.end(), less)) std::sort(items.begin(), items.end(), less);
}

}  // namespace

Result<MappedOntology> map_to_core(const trelvanic_owl::Ontology& model, const LoadLimits& limits,
                                   MapOptions options) {
  MappedOntology out;
  trelvanic_core::OntologyLimits installed;  // defaults, then the load's two counts
  installed.max_entities = limits.max_entities;
  installed.max_axioms = limits.max_axioms;
  out.ontology.set_limits(installed);

  // Declaration pass: the kinds declared per IRI and the last one. IRIs are
  // told apart by their model id (the model interns each text once); the
  // entities are then taken in IRI order, the order their ids follow.
  struct Declared {
    std::string_view iri;
    uint64_t order_key = 0;  // see sort_by_iri
    uint16_t kinds = 0;
    EntityKind last = EntityKind::Class;
    NodeId node;  // the entity node declared last (axioms use the same node)
  };
  std::vector<Declared> declared;
  // Model IRI id -> position in `declared` + 1 (0: not declared).
  std::vector<uint32_t> declared_at(model.string_count(), 0);
  std::vector<std::string> local_warnings;
  // The components of the first and last visiting passes, found on the way.
  std::vector<trelvanic_owl::Component> definitions, ranges;
  size_t logical = 0;  // components that may become axioms: the stores are sized for them
  for (const trelvanic_owl::Component& c : model.components()) {
    const Kind ck = model.kind(c.node);
    logical += !is_non_logical(ck);
    if (ck == Kind::DatatypeDefinition) definitions.push_back(c);
    if (ck == Kind::DataPropertyRange) ranges.push_back(c);
    if (ck != Kind::Declaration) continue;
    const NodeId entity = model.operand(c.node, 0);
    const Kind ek = model.kind(entity);
    if (ek == Kind::Datatype) continue;  // a datatype becomes an entity when used
    const EntityKind k = declared_kind(ek);
    const std::string_view iri = model.iri_text(entity);
    uint32_t& at = declared_at[model.iri_of(entity).value];
    const bool fresh = at == 0;
    if (fresh) {
      declared.push_back(Declared{iri});
      at = static_cast<uint32_t>(declared.size());
    }
    Declared& d = declared[at - 1];
    d.kinds |= kind_bit(k);
    const std::optional<EntityKind> previous = fresh ? std::nullopt : std::optional(d.last);
    d.last = k;
    d.node = entity;
    if (previous && *previous != k) {
      if (limits.strict && !declaration_kinds_compatible(d.kinds))
        return std::unexpected(
            Error::parse(fmt::format("incompatible declaration kinds for {}: {}", utf8_excerpt(iri), kinds_debug_text(d.kinds))));
      local_warnings.push_back(fmt::format("entity kind mismatch on declaration for {}: {} then {}; using last declaration",
                                           utf8_excerpt(iri), trelvanic_core::entity_kind_name(*previous),
                                           trelvanic_core::entity_kind_name(k)));
    }
  }
  sort_by_iri(declared);
  const uint16_t class_and_individual = kind_bit(EntityKind::Class) | kind_bit(EntityKind::Individual);
  IriSet class_individual_iris;
  for (const Declared& d : declared) {
    if (std::popcount(d.kinds) >= 2 && !declaration_kinds_compatible(d.kinds)) {
      if (limits.strict)
        return std::unexpected(
            Error::parse(fmt::format("incompatible declaration kinds for {}: {}", utf8_excerpt(d.iri), kinds_debug_text(d.kinds))));
      local_warnings.push_back(
          fmt::format("incompatible declaration kinds for {}: {}; using last declaration", utf8_excerpt(d.iri), kinds_debug_text(d.kinds)));
    }
    if ((d.kinds & class_and_individual) == class_and_individual) class_individual_iris.insert(std::string(d.iri));
  }
  for (std::string& w : local_warnings) out.meta.warn(std::move(w));
  // What the reader met but could not carry into the model.
  for (const trelvanic_owl::Ontology::SourceNote& note : model.source_notes()) {
    if (note.lost_axiom) ++out.meta.skipped_axiom_count;
    out.meta.warn(note.text);
  }
  out.meta.skipped_axiom_count += model.unnoted_lost_axioms();

  Mapper mapper(model, out.ontology, out.meta, class_individual_iris, limits, options);
  out.ontology.reserve(mapper.entity_node_count(), logical + mapper.split_axiom_estimate());
  out.ontology.dl_mut().reserve_ces(mapper.class_expression_estimate());
  constexpr size_t kRegisterAhead = 16;
  for (size_t i = 0; i < declared.size(); ++i) {
    if (i + kRegisterAhead < declared.size()) out.ontology.prefetch_entity(declared[i + kRegisterAhead].iri);
    const Declared& d = declared[i];
    const EntityKind k =
        (d.kinds & class_and_individual) == class_and_individual ? EntityKind::ClassIndividual : d.last;
    (void)mapper.register_or_warn_entity(d.node, k);
  }

  // Three visiting passes; declarations are not visited.
  for (const trelvanic_owl::Component& c : definitions) mapper.visit(c);
  const auto components = model.components();
  // Loads started ahead of the visits: the operands' slots (and model
  // entries) of the component 16 ahead, then the DL store's slots of the
  // expressions of the component 8 ahead, which read those operands.
  constexpr size_t kStep = 8;
  trelvanic_core::CancelPoll cancelled;
  for (size_t i = 0; i < components.size(); ++i) {
    if (cancelled()) return std::unexpected(Error::parse("cancelled"));
    if (i + 2 * kStep < components.size()) mapper.prefetch_operands(components[i + 2 * kStep]);
    if (i + kStep < components.size()) mapper.prefetch_expressions(components[i + kStep]);
    const Kind k = mapper.node_kind(components[i].node);
    if (k != Kind::Declaration && k != Kind::DatatypeDefinition && k != Kind::DataPropertyRange) mapper.visit(components[i]);
  }
  for (const trelvanic_owl::Component& c : ranges) mapper.visit(c);
  mapper.flush();
  out.meta.mapped_axiom_count += mapper.dl_only_mapped();

  out.meta.logical_axiom_count = out.meta.mapped_axiom_count + out.meta.skipped_axiom_count;
  return out;
}

}  // namespace trelvanic_parser
