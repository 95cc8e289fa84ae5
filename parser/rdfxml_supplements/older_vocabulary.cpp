#include "parser/rdfxml_supplements/older_vocabulary.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include <absl/container/flat_hash_set.h>

#include "rdf/vocab.h"

namespace trelvanic_parser {

namespace {

using trelvanic_rdf::Graph;
using trelvanic_rdf::TermId;
using trelvanic_rdf::TripleIds;
namespace vocab = trelvanic_rdf::vocab;

constexpr std::string_view kOwl = TRELVANIC_OWL_NS;
constexpr std::string_view kXsd = TRELVANIC_XSD_NS;

constexpr std::array<std::string_view, 10> kFacets = {
    "minInclusive", "maxInclusive", "minExclusive", "maxExclusive", "length",
    "minLength",    "maxLength",    "pattern",      "totalDigits",  "fractionDigits",
};

// The unqualified cardinality predicates and their qualified forms.
constexpr std::array<std::pair<TermId, TermId>, 3> kQualified = {{
    {vocab::kOwlMinCardinality, vocab::kOwlMinQualifiedCardinality},
    {vocab::kOwlMaxCardinality, vocab::kOwlMaxQualifiedCardinality},
    {vocab::kOwlCardinality, vocab::kOwlQualifiedCardinality},
}};

class Finder {
 public:
  explicit Finder(Graph& graph) : graph_(graph) {}

  VocabularyRewrite run() {
    restriction_types();
    qualified_cardinalities();
    renamed_predicates();
    property_chains();
    facet_restrictions();
    negative_assertions();
    return std::move(out_);
  }

 private:
  std::optional<TermId> owl(std::string_view local) const {
    return graph_.terms().find_iri(std::string(kOwl) + std::string(local));
  }
  const TripleIds& triple(std::uint32_t pos) const { return graph_.triples()[pos]; }
  void remove(std::uint32_t pos) {
    if (removed_.insert(pos).second) out_.removed.push_back(pos);
  }
  void add(TermId s, TermId p, TermId o) { out_.added.push_back(TripleIds{s, p, o}); }
  // The position of the one triple (s p *); none when there is no such
  // triple or more than one.
  std::optional<std::uint32_t> single(TermId s, TermId p) const {
    std::optional<std::uint32_t> found;
    for (std::uint32_t pos : graph_.by_subject(s)) {
      if (triple(pos).predicate != p) continue;
      if (found) return std::nullopt;
      found = pos;
    }
    return found;
  }
  // The positions of the rdf:type triples (* rdf:type type).
  std::vector<std::uint32_t> typed(TermId type) const {
    std::vector<std::uint32_t> out;
    for (std::uint32_t pos : graph_.by_predicate(vocab::kRdfType)) {
      if (triple(pos).object == type) out.push_back(pos);
    }
    return out;
  }
  void retype(std::uint32_t pos, TermId type) {
    remove(pos);
    add(triple(pos).subject, vocab::kRdfType, type);
  }
  void repredicate(std::uint32_t pos, TermId predicate) {
    remove(pos);
    add(triple(pos).subject, predicate, triple(pos).object);
  }

  // owl:SelfRestriction, owl:ObjectRestriction and owl:DataRestriction.
  void restriction_types() {
    if (auto self = owl("SelfRestriction")) {
      const TermId yes = graph_.terms().literal("true", vocab::kXsdBoolean);
      for (std::uint32_t pos : typed(*self)) {
        const TermId x = triple(pos).subject;
        if (!single(x, vocab::kOwlOnProperty) || graph_.count(x, vocab::kOwlHasSelf) != 0) continue;
        retype(pos, vocab::kOwlRestriction);
        add(x, vocab::kOwlHasSelf, yes);
        ++out_.statements;
      }
    }
    for (std::string_view local : {"ObjectRestriction", "DataRestriction"}) {
      if (auto type = owl(local)) {
        for (std::uint32_t pos : typed(*type)) {
          retype(pos, vocab::kOwlRestriction);
          ++out_.statements;
        }
      }
    }
  }

  // An unqualified cardinality beside owl:onClass or owl:onDataRange.
  void qualified_cardinalities() {
    for (TermId on : {vocab::kOwlOnClass, vocab::kOwlOnDataRange}) {
      for (std::uint32_t pos : graph_.by_predicate(on)) {
        const TermId x = triple(pos).subject;
        if (graph_.count(x, on) != 1) continue;
        std::optional<std::uint32_t> card;
        std::size_t cards = 0;
        TermId qualified;
        for (const auto& [plain, q] : kQualified) {
          cards += graph_.count(x, plain) + graph_.count(x, q);
          if (auto at = single(x, plain)) {
            card = at;
            qualified = q;
          }
        }
        if (cards != 1 || !card) continue;
        repredicate(*card, qualified);
        ++out_.statements;
      }
    }
  }

  void renamed_predicates() {
    if (auto anti = owl("AntisymmetricProperty")) {
      for (std::uint32_t pos : typed(*anti)) {
        retype(pos, vocab::kOwlAsymmetricProperty);
        ++out_.statements;
      }
    }
    for (std::string_view local : {"disjointObjectProperties", "disjointDataProperties"}) {
      if (auto p = owl(local)) {
        for (std::uint32_t pos : graph_.by_predicate(*p)) {
          repredicate(pos, vocab::kOwlPropertyDisjointWith);
          ++out_.statements;
        }
      }
    }
    if (auto p = owl("dataComplementOf")) {
      for (std::uint32_t pos : graph_.by_predicate(*p)) {
        const TermId x = triple(pos).subject;
        if (!graph_.terms().is_blank(x)) continue;
        repredicate(pos, vocab::kOwlDatatypeComplementOf);
        for (std::uint32_t t : typed(vocab::kOwlDataRange)) {
          if (triple(t).subject == x) retype(t, vocab::kRdfsDatatype);
        }
        ++out_.statements;
      }
    }
  }

  // A blank list node that is the subject of rdfs:subPropertyOf.
  void property_chains() {
    for (std::uint32_t pos : graph_.by_predicate(vocab::kRdfsSubPropertyOf)) {
      const TermId list = triple(pos).subject;
      if (!graph_.terms().is_blank(list) || !single(list, vocab::kRdfFirst)) continue;
      remove(pos);
      add(triple(pos).object, vocab::kOwlPropertyChainAxiom, list);
      // The cells' rdf:type rdf:List triples say nothing more.
      absl::flat_hash_set<std::uint32_t> seen;
      for (TermId cell = list; cell && graph_.terms().is_blank(cell) && seen.insert(cell.value).second;
           cell = graph_.object(cell, vocab::kRdfRest)) {
        for (std::uint32_t t : graph_.by_subject(cell)) {
          if (triple(t).predicate == vocab::kRdfType && triple(t).object == vocab::kRdfList) remove(t);
        }
      }
      ++out_.statements;
    }
  }

  // The facet predicate's xsd IRI, for a facet in the owl or the xsd
  // namespace.
  std::optional<TermId> facet_of(TermId predicate) {
    if (!graph_.terms().is_iri(predicate)) return std::nullopt;
    const std::string_view text = graph_.terms().text(predicate);
    for (std::string_view ns : {kOwl, kXsd}) {
      if (!text.starts_with(ns)) continue;
      for (std::string_view facet : kFacets) {
        if (text.substr(ns.size()) == facet) return graph_.terms().iri(std::string(kXsd) + std::string(facet));
      }
    }
    return std::nullopt;
  }

  // The facets of a DataRange node over owl:onDataRange: (facet, value,
  // position) for each facet triple, and the positions of its other
  // triples; none when the node holds anything else.
  struct FacetNode {
    std::vector<std::pair<TermId, TermId>> facets;
    std::vector<std::uint32_t> positions;
    TermId base;
  };
  std::optional<FacetNode> facet_node(TermId x) {
    if (graph_.count(x, vocab::kOwlOnDataRange) != 1) return std::nullopt;
    FacetNode node;
    for (std::uint32_t pos : graph_.by_subject(x)) {
      const TripleIds& t = triple(pos);
      if (t.predicate == vocab::kRdfType && (t.object == vocab::kOwlDataRange || t.object == vocab::kRdfsDatatype)) {
        node.positions.push_back(pos);
      } else if (t.predicate == vocab::kOwlOnDataRange && !node.base) {
        node.base = t.object;
        node.positions.push_back(pos);
      } else if (auto facet = facet_of(t.predicate); facet && graph_.terms().is_literal(t.object)) {
        node.facets.emplace_back(*facet, t.object);
        node.positions.push_back(pos);
      } else if (graph_.terms().is_blank(x)) {
        return std::nullopt;  // a blank node is the restriction and nothing else
      }
    }
    if (!node.base || node.facets.empty()) return std::nullopt;
    return node;
  }

  std::size_t references(TermId x) {
    if (references_.empty()) {
      references_.assign(graph_.terms().size(), 0);
      for (const TripleIds& t : graph_.triples()) ++references_[t.object.value];
    }
    return x.value < references_.size() ? references_[x.value] : 0;
  }

  void facet_restrictions() {
    absl::flat_hash_set<std::uint32_t> subjects;
    for (std::uint32_t pos : graph_.by_predicate(vocab::kOwlOnDataRange)) subjects.insert(triple(pos).subject.value);
    std::vector<TermId> order;
    for (std::uint32_t pos : graph_.by_predicate(vocab::kOwlOnDataRange)) {
      const TermId x = triple(pos).subject;
      if (subjects.erase(x.value) != 0) order.push_back(x);
    }
    // A blank node of this form that is the base of another one, and used
    // nowhere else, is taken in by that one.
    absl::flat_hash_set<std::uint32_t> inner;
    for (TermId x : order) {
      if (auto node = facet_node(x); node && graph_.terms().is_blank(node->base) && references(node->base) == 1) {
        inner.insert(node->base.value);
      }
    }
    for (TermId x : order) {
      if (inner.contains(x.value)) continue;
      auto node = facet_node(x);
      if (!node) continue;
      // A blank base of the same form, used only here, adds its facets.
      std::vector<std::uint32_t> positions = node->positions;
      std::vector<std::pair<TermId, TermId>> facets = node->facets;
      TermId base = node->base;
      absl::flat_hash_set<std::uint32_t> chain{x.value};
      bool usable = true;
      while (graph_.terms().is_blank(base)) {
        auto below = references(base) == 1 && chain.insert(base.value).second ? facet_node(base) : std::nullopt;
        if (!below) {
          usable = false;
          break;
        }
        positions.insert(positions.end(), below->positions.begin(), below->positions.end());
        facets.insert(facets.end(), below->facets.begin(), below->facets.end());
        base = below->base;
      }
      if (!usable || !graph_.terms().is_iri(base)) continue;
      for (std::uint32_t pos : positions) remove(pos);
      TermId restriction = x;
      if (!graph_.terms().is_blank(x)) {
        restriction = graph_.terms().fresh_blank();
        add(x, vocab::kRdfType, vocab::kRdfsDatatype);
        add(x, vocab::kOwlEquivalentClass, restriction);
      }
      add(restriction, vocab::kRdfType, vocab::kRdfsDatatype);
      add(restriction, vocab::kOwlOnDatatype, base);
      TermId next = vocab::kRdfNil;
      for (auto it = facets.rbegin(); it != facets.rend(); ++it) {
        const TermId facet = graph_.terms().fresh_blank();
        add(facet, it->first, it->second);
        const TermId cell = graph_.terms().fresh_blank();
        add(cell, vocab::kRdfFirst, facet);
        add(cell, vocab::kRdfRest, next);
        next = cell;
      }
      add(restriction, vocab::kOwlWithRestrictions, next);
      ++out_.statements;
    }
  }

  // owl:NegativeObjectPropertyAssertion and owl:NegativeDataPropertyAssertion
  // over rdf:subject, rdf:predicate and rdf:object.
  void negative_assertions() {
    for (const auto& [local, data] : {std::pair<std::string_view, bool>{"NegativeObjectPropertyAssertion", false},
                                      std::pair<std::string_view, bool>{"NegativeDataPropertyAssertion", true}}) {
      auto type = owl(local);
      if (!type) continue;
      for (std::uint32_t pos : typed(*type)) {
        const TermId x = triple(pos).subject;
        if (!graph_.terms().is_blank(x)) continue;
        auto s = single(x, vocab::kRdfSubject);
        auto p = single(x, vocab::kRdfPredicate);
        auto o = single(x, vocab::kRdfObject);
        if (!s || !p || !o || graph_.count(x, vocab::kRdfType) != 1) continue;
        const TermId target = triple(*o).object;
        if (graph_.terms().is_literal(target) != data || graph_.terms().is_literal(triple(*s).object)) continue;
        for (std::uint32_t at : {pos, *s, *p, *o}) remove(at);
        add(x, vocab::kRdfType, vocab::kOwlNegativePropertyAssertion);
        add(x, vocab::kOwlSourceIndividual, triple(*s).object);
        add(x, vocab::kOwlAssertionProperty, triple(*p).object);
        add(x, data ? vocab::kOwlTargetValue : vocab::kOwlTargetIndividual, target);
        ++out_.statements;
      }
    }
  }

  Graph& graph_;
  VocabularyRewrite out_;
  absl::flat_hash_set<std::uint32_t> removed_;
  std::vector<std::uint32_t> references_;
};

// A local name of a term of each older form: the terms of its own, the
// qualifier beside an unqualified cardinality, the list of a chain.
constexpr std::string_view kOlderHints[] = {
    "SelfRestriction", "ObjectRestriction",       "DataRestriction",  "AntisymmetricProperty",
    "disjointObjectProperties", "disjointDataProperties", "dataComplementOf", "NegativeObjectPropertyAssertion",
    "NegativeDataPropertyAssertion", "onClass", "onDataRange", "first",
};

}  // namespace

bool may_hold_older_vocabulary(std::string_view text) {
  for (std::string_view hint : kOlderHints) {
    if (text.find(hint) != std::string_view::npos) return true;
  }
  return false;
}

VocabularyRewrite find_older_vocabulary(Graph& graph) {
  if (!graph.indexed()) graph.build_indexes();
  return Finder(graph).run();
}

Graph apply_vocabulary_rewrite(Graph&& graph, const VocabularyRewrite& rewrite) {
  std::vector<bool> removed(graph.size(), false);
  for (std::uint32_t pos : rewrite.removed) removed[pos] = true;
  Graph out;
  out.reserve(graph.size() + rewrite.added.size(), 0);  // the terms come with the table
  for (std::size_t i = 0; i < graph.size(); ++i) {
    if (!removed[i]) {
      const TripleIds& t = graph.triples()[i];
      out.add(t.subject, t.predicate, t.object);
    }
  }
  for (const TripleIds& t : rewrite.added) out.add(t.subject, t.predicate, t.object);
  out.terms() = std::move(graph.terms());
  out.build_indexes();
  return out;
}

}  // namespace trelvanic_parser
