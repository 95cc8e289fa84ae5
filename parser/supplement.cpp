#include "parser/supplement.h"

#include <optional>
#include <utility>
#include <variant>
#include <vector>

#include <fmt/format.h>

#include "core/axiom.h"
#include "core/entity_kind.h"
#include "core/swrl.h"
#include "parser/load.h"
#include "parser/map.h"
#include "parser/read.h"
#include "parser/readers.h"

namespace trelvanic_parser {

namespace {

using trelvanic_core::EntityId;
using trelvanic_core::EntityKind;
using trelvanic_core::Ontology;

// Registration of the IRIs are already validated in the source.
constexpr size_t kMaxIriLen = 8192;

// Per source entity: its target id, or none when it was left out.
using EntityMapping = std::vector<std::optional<EntityId>>;

Result<EntityMapping> register_source_entities(Ontology& target, const Ontology& source,
                                               trelvanic_core::ParseMeta& meta, bool strict) {
  EntityMapping mapping(source.entity_count());
  const auto records = source.entities().records();
  for (uint32_t i = 0; i < records.size(); ++i) {
    auto iri = source.resolve_iri(records[i].iri);
    if (!iri) return std::unexpected(Error::core(std::move(iri).error()));
    EntityKind fresh = records[i].kind;
    if (auto existing = target.lookup_entity(*iri)) {
      EntityKind stored = target.entities().kind(*existing);
      if (!trelvanic_core::merge_punning(stored, fresh)) {
        std::string text = fmt::format("import entity kind conflict for {}: {} vs {}", *iri,
                                       trelvanic_core::entity_kind_name(stored),
                                       trelvanic_core::entity_kind_name(fresh));
        if (strict) return std::unexpected(Error::parse(std::move(text)));
        meta.warn(std::move(text));
        continue;
      }
    }
    auto id = target.entity_id_as_written(*iri, fresh, kMaxIriLen);
    if (!id) return std::unexpected(Error::core(std::move(id).error()));
    mapping[i] = *id;
  }
  return mapping;
}

std::optional<EntityId> translate(const EntityMapping& mapping, EntityId id) {
  if (id.value >= mapping.size()) return std::nullopt;
  return mapping[id.value];
}

// The axiom over target ids, or none when one of its entities was left out.
std::optional<trelvanic_core::Axiom> translate_axiom(const EntityMapping& mapping,
                                                     const trelvanic_core::AxiomView& view) {
  trelvanic_core::Axiom axiom = view.to_axiom();
  bool complete = true;
  auto map_id = [&](EntityId id) {
    auto to = translate(mapping, id);
    if (!to) complete = false;
    return to.value_or(id);
  };
  using trelvanic_core::Axiom;
  using trelvanic_core::AxiomKind;
  if (trelvanic_core::axiom_kind_is_nary(view.kind())) {
    std::vector<EntityId> ops;
    ops.reserve(view.operands().size());
    for (EntityId e : view.operands()) ops.push_back(map_id(e));
    switch (view.kind()) {
      case AxiomKind::EquivalentClasses: axiom = Axiom::equivalent_classes(std::move(ops)); break;
      case AxiomKind::DisjointClasses: axiom = Axiom::disjoint_classes(std::move(ops)); break;
      case AxiomKind::EquivalentObjectProperties: axiom = Axiom::equivalent_object_properties(std::move(ops)); break;
      case AxiomKind::SameIndividual: axiom = Axiom::same_individual(std::move(ops)); break;
      default: axiom = Axiom::different_individuals(std::move(ops)); break;
    }
  } else {
    const EntityId a = map_id(view.id(0));
    const int arity = trelvanic_core::axiom_kind_arity(view.kind());
    const EntityId b = arity > 1 ? map_id(view.id(1)) : EntityId();
    const EntityId c = arity > 2 ? map_id(view.id(2)) : EntityId();
    const auto literal = [&] {
      return trelvanic_core::DataLiteral{std::string(view.literal().lexical), std::string(view.literal().datatype)};
    };
    switch (view.kind()) {
      case AxiomKind::SubClassOf: axiom = Axiom::sub_class_of(a, b); break;
      case AxiomKind::ObjectPropertyDomain: axiom = Axiom::object_property_domain(a, b); break;
      case AxiomKind::ObjectPropertyRange: axiom = Axiom::object_property_range(a, b); break;
      case AxiomKind::SubObjectPropertyOf: axiom = Axiom::sub_object_property_of(a, b); break;
      case AxiomKind::InverseObjectProperties: axiom = Axiom::inverse_object_properties(a, b); break;
      case AxiomKind::SubClassOfExistential: axiom = Axiom::sub_class_of_existential(a, b, c); break;
      case AxiomKind::ClassAssertion: axiom = Axiom::class_assertion(a, b); break;
      case AxiomKind::ObjectPropertyAssertion: axiom = Axiom::object_property_assertion(a, b, c); break;
      case AxiomKind::NegativeObjectPropertyAssertion:
        axiom = Axiom::negative_object_property_assertion(a, b, c);
        break;
      case AxiomKind::DataPropertyAssertion: axiom = Axiom::data_property_assertion(a, b, literal()); break;
      case AxiomKind::NegativeDataPropertyAssertion:
        axiom = Axiom::negative_data_property_assertion(a, b, literal());
        break;
      default: axiom = Axiom::property_characteristic(view.kind(), a); break;  // the seven characteristics
    }
  }
  if (!complete) return std::nullopt;
  return axiom;
}

std::optional<trelvanic_core::SwrlIArg> translate_iarg(const EntityMapping& mapping,
                                                       const trelvanic_core::SwrlIArg& arg) {
  if (const auto* id = std::get_if<EntityId>(&arg)) {
    auto to = translate(mapping, *id);
    if (!to) return std::nullopt;
    return trelvanic_core::SwrlIArg(*to);
  }
  return arg;
}

std::optional<trelvanic_core::SwrlDArg> translate_darg(const EntityMapping& mapping,
                                                       const trelvanic_core::SwrlDArg& arg) {
  if (const auto* lit = std::get_if<trelvanic_core::SwrlLiteral>(&arg); lit && lit->datatype) {
    auto to = translate(mapping, *lit->datatype);
    if (!to) return std::nullopt;
    return trelvanic_core::SwrlDArg(trelvanic_core::SwrlLiteral{lit->lexical, *to});
  }
  return arg;
}

// The rule over target ids; none when an entity was left out or an atom
// names a data range (whose expression lives in the source's DL store).
std::optional<trelvanic_core::SwrlRule> translate_rule(const EntityMapping& mapping,
                                                       const trelvanic_core::SwrlRule& rule) {
  trelvanic_core::SwrlRule out = rule;
  for (auto* atoms : {&out.body, &out.head}) {
    for (trelvanic_core::SwrlAtom& atom : *atoms) {
      if (atom.kind == trelvanic_core::SwrlAtomKind::DataRange) return std::nullopt;
      const bool has_predicate = atom.kind == trelvanic_core::SwrlAtomKind::Class ||
                                 atom.kind == trelvanic_core::SwrlAtomKind::ObjectProperty ||
                                 atom.kind == trelvanic_core::SwrlAtomKind::DataProperty;
      if (has_predicate) {
        auto p = translate(mapping, atom.predicate);
        if (!p) return std::nullopt;
        atom.predicate = *p;
      }
      auto first = translate_iarg(mapping, atom.first);
      auto second = translate_iarg(mapping, atom.second);
      auto value = translate_darg(mapping, atom.value);
      if (!first || !second || !value) return std::nullopt;
      atom.first = std::move(*first);
      atom.second = std::move(*second);
      atom.value = std::move(*value);
    }
  }
  return out;
}

}  // namespace

Result<void> merge_supplement_ontology(Ontology& target, const Ontology& source, trelvanic_core::ParseMeta& meta,
                                       bool strict) {
  auto mapping = register_source_entities(target, source, meta, strict);
  if (!mapping) return std::unexpected(std::move(mapping).error());

  std::optional<Error> failure;
  source.axioms().for_each_live([&](trelvanic_core::AxiomId, const trelvanic_core::AxiomView& view) {
    if (failure) return;
    auto axiom = translate_axiom(*mapping, view);
    if (!axiom) {  // over an entity left out with a warning
      ++meta.skipped_axiom_count;
      return;
    }
    if (auto added = target.add_axiom(std::move(*axiom)); !added) {
      if (strict) {
        failure = Error::core(std::move(added).error());
      } else {
        meta.warn(fmt::format("imported axiom skipped: {}", added.error().message()));
        ++meta.skipped_axiom_count;
      }
    }
  });
  if (failure) return std::unexpected(std::move(*failure));

  if (source.dl().axiom_count() > 0) {
    // Every source entity must have a counterpart by IRI in the target.
    const auto records = source.entities().records();
    for (uint32_t i = 0; i < records.size(); ++i) {
      auto iri = source.resolve_iri(records[i].iri);
      if (!iri || !target.lookup_entity(*iri)) {
        return std::unexpected(
            Error::parse(fmt::format("supplement entity {} missing after merge", debug_text(EntityId(i)))));
      }
    }
    // Entities left out over a kind conflict have no answer, so the DL axioms
    // are never re-expressed over an entity of another kind; the store import
    // is all or nothing, and a lenient merge then goes on without them.
    auto imported = target.dl_mut().import_axioms_from(source.dl(), [&](EntityId id) { return translate(*mapping, id); });
    if (!imported) {
      if (strict) return std::unexpected(Error::core(std::move(imported).error()));
      meta.warn(fmt::format("DL axioms of the merged ontology skipped: {}", imported.error().message()));
      meta.skipped_axiom_count += source.dl().axiom_count();
    }
  }

  for (const trelvanic_core::SwrlRule& rule : source.swrl_rules()) {
    if (auto translated = translate_rule(*mapping, rule)) {
      target.push_swrl_rule(std::move(*translated));
    } else {
      meta.warn("imported SWRL rule skipped: it names a data range or an entity left out of the merge");
      ++meta.skipped_axiom_count;
    }
  }

  if (const auto& source_meta = source.parse_meta()) {
    meta.constructs.insert(source_meta->constructs.begin(), source_meta->constructs.end());
    meta.profile_constructs.insert(source_meta->profile_constructs.begin(), source_meta->profile_constructs.end());
    meta.degenerate_different_individuals |= source_meta->degenerate_different_individuals;
    meta.unresolved_imports |= source_meta->unresolved_imports;
  }
  return {};
}

Result<Ontology> load_ofn_from_str_with_limits(std::string_view text, const LoadLimits& limits, uint32_t document) {
  if (text.size() > limits.max_file_bytes) {
    return std::unexpected(
        Error::parse(fmt::format("in-memory OFN size {} exceeds limit of {} bytes", text.size(), limits.max_file_bytes)));
  }
  TextSource source(text);
  auto model = read_owl_model(source, OntologyFormat::Functional, limits);
  if (!model) return std::unexpected(std::move(model).error());
  auto mapped = map_to_core(*model, limits, MapOptions{.document = document});
  if (!mapped) return std::unexpected(std::move(mapped).error());
  return finalize_parsed_ontology(std::move(mapped->ontology), std::move(mapped->meta), limits.strict, false);
}

}  // namespace trelvanic_parser
