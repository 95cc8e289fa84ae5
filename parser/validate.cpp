#include "parser/validate.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include <absl/container/flat_hash_map.h>
#include <fmt/format.h>

#include "core/dl.h"
#include "core/dl_expr.h"

namespace trelvanic_parser {

namespace {

using trelvanic_core::CeId;
using trelvanic_core::CeKind;
using trelvanic_core::DeId;
using trelvanic_core::DeKind;
using trelvanic_core::DlAxiomKind;
using trelvanic_core::EntityId;
using trelvanic_core::Ontology;

constexpr std::string_view kXsd = "http://www.w3.org/2001/XMLSchema#";

using Int128 = __int128;

constexpr Int128 pow2(int n) { return static_cast<Int128>(1) << n; }

// The XML Schema integer types and their value ranges; a missing bound is
// unbounded.
struct IntegerType {
  std::string_view local;
  std::optional<Int128> min;
  std::optional<Int128> max;
};

constexpr std::array<IntegerType, 13> kIntegerTypes = {{
    {"integer", std::nullopt, std::nullopt},
    {"nonNegativeInteger", 0, std::nullopt},
    {"positiveInteger", 1, std::nullopt},
    {"nonPositiveInteger", std::nullopt, 0},
    {"negativeInteger", std::nullopt, -1},
    {"long", -pow2(63), pow2(63) - 1},
    {"int", -pow2(31), pow2(31) - 1},
    {"short", -pow2(15), pow2(15) - 1},
    {"byte", -pow2(7), pow2(7) - 1},
    {"unsignedLong", 0, pow2(64) - 1},
    {"unsignedInt", 0, pow2(32) - 1},
    {"unsignedShort", 0, pow2(16) - 1},
    {"unsignedByte", 0, pow2(8) - 1},
}};

const IntegerType* integer_type(std::string_view datatype) {
  if (!datatype.starts_with(kXsd)) return nullptr;
  datatype.remove_prefix(kXsd.size());
  for (const IntegerType& t : kIntegerTypes) {
    if (t.local == datatype) return &t;
  }
  return nullptr;
}

// Whether `lexical` is an integer literal of type `t`: an optional sign and
// at least one ASCII digit, nothing else, and its value within t's range.
bool integer_literal_valid(const IntegerType& t, std::string_view lexical) {
  bool negative = false;
  if (!lexical.empty() && (lexical[0] == '+' || lexical[0] == '-')) {
    negative = lexical[0] == '-';
    lexical.remove_prefix(1);
  }
  if (lexical.empty()) return false;
  if (!std::all_of(lexical.begin(), lexical.end(), [](char c) { return c >= '0' && c <= '9'; })) return false;
  while (lexical.size() > 1 && lexical[0] == '0') lexical.remove_prefix(1);
  const bool zero = lexical == "0";
  if (!t.min && !t.max) return true;
  // Magnitudes of more than 38 digits exceed every finite bound here.
  if (lexical.size() > 38) {
    return negative ? !t.min : !t.max;
  }
  Int128 magnitude = 0;
  for (char c : lexical) magnitude = magnitude * 10 + (c - '0');
  const Int128 value = negative && !zero ? -magnitude : magnitude;
  if (t.min && value < *t.min) return false;
  if (t.max && value > *t.max) return false;
  return true;
}

Error dangling_ce(CeId c) {
  return Error::parse(fmt::format("dangling DL class expression reference: {}", debug_text(c)));
}
Error dangling_de(DeId d) {
  return Error::parse(fmt::format("dangling DL data expression reference: {}", debug_text(d)));
}

// Walks class and data expressions with explicit stacks, visiting each
// expression once per walker, so shared subexpressions cost nothing more and
// deep nesting cannot overflow the C stack.
class ExpressionWalker {
 public:
  explicit ExpressionWalker(const Ontology& ontology)
      : ontology_(ontology),
        dl_(ontology.dl()),
        ce_done_(dl_.ce_count(), false),
        de_done_(dl_.de_count(), false) {}

  Result<void> class_expression(CeId root) {
    std::vector<CeId> stack{root};
    while (!stack.empty()) {
      const CeId c = stack.back();
      stack.pop_back();
      if (!dl_.has_ce(c)) return std::unexpected(dangling_ce(c));
      if (ce_done_[c.value]) continue;
      ce_done_[c.value] = true;
      const auto view = dl_.ce(c);
      switch (view.kind) {
        case CeKind::Not:
          stack.push_back(view.operand());
          break;
        case CeKind::And:
        case CeKind::Or: {
          const auto ops = view.operands();
          for (size_t i = ops.size(); i-- > 0;) stack.push_back(ops[i]);
          break;
        }
        case CeKind::DataAll:
        case CeKind::DataSome:
          if (auto r = data_expression(*view.range()); !r) return r;
          break;
        case CeKind::DataHasValue:
          if (auto r = data_expression(view.value()); !r) return r;
          break;
        case CeKind::Top:
        case CeKind::Bottom:
        case CeKind::Atomic:
        case CeKind::Some:
        case CeKind::All:
        case CeKind::OneOf:
        case CeKind::HasValue:
        case CeKind::HasSelf:
        case CeKind::MinCardinality:
        case CeKind::MaxCardinality:
        case CeKind::ExactCardinality:
        case CeKind::DataMinCardinality:
        case CeKind::DataMaxCardinality:
        case CeKind::DataExactCardinality:
          break;
      }
    }
    return {};
  }

  Result<void> data_expression(DeId root) {
    std::vector<DeId> stack{root};
    while (!stack.empty()) {
      const DeId d = stack.back();
      stack.pop_back();
      if (!dl_.has_de(d)) return std::unexpected(dangling_de(d));
      if (de_done_[d.value]) continue;
      de_done_[d.value] = true;
      const auto view = dl_.de(d);
      switch (view.kind) {
        case DeKind::Top:
        case DeKind::Datatype:
          break;
        case DeKind::Facet:
          stack.push_back(view.base());
          break;
        case DeKind::Not:
          stack.push_back(view.operand());
          break;
        case DeKind::And:
        case DeKind::Or: {
          const auto ops = view.operands();
          for (size_t i = ops.size(); i-- > 0;) stack.push_back(ops[i]);
          break;
        }
        case DeKind::Literal:
          if (auto r = validate_literal_lexical(datatype_iri(ontology_, view.datatype()), view.lexical()); !r) {
            return r;
          }
          break;
      }
    }
    return {};
  }

 private:
  const Ontology& ontology_;
  const trelvanic_core::DlStore& dl_;
  std::vector<bool> ce_done_;
  std::vector<bool> de_done_;
};

template <class Ids>
Result<void> check_individual_mix(const Ontology& ontology, const Ids& individuals) {
  bool blank = false;
  bool named = false;
  for (EntityId id : individuals) {
    (is_blank_individual(ontology, id) ? blank : named) = true;
  }
  if (blank && named) return std::unexpected(Error::parse("same/different individuals cannot mix named and blank nodes"));
  return {};
}

}  // namespace

std::string quote_lexical(std::string_view lexical) {
  std::string out = "\"";
  for (char ch : lexical) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default:
        if (c < 0x20 || c == 0x7f) {
          out += fmt::format("\\u{{{:x}}}", c);
        } else {
          out += ch;
        }
    }
  }
  out += '"';
  return out;
}

Result<void> validate_literal_lexical(std::string_view datatype, std::string_view lexical) {
  const IntegerType* type = integer_type(datatype);
  if (type == nullptr || integer_literal_valid(*type, lexical)) return {};
  const char* what = type->local == "short" ? "short" : "integer";
  return std::unexpected(Error::parse(fmt::format("invalid xsd:{} literal {}", what, quote_lexical(lexical))));
}

std::string datatype_iri(const Ontology& ontology, EntityId id) {
  auto iri = ontology.entity_iri(id);
  return iri ? std::string(*iri) : std::string();
}

bool is_blank_individual_iri(std::string_view iri) {
  constexpr std::string_view kRoot = "file:/c/";
  constexpr std::string_view kFile = "test.owl#_";
  if (!iri.starts_with(kRoot)) return false;
  iri.remove_prefix(kRoot.size());
  if (iri.starts_with(kFile)) return true;
  // A further document: "{n}/test.owl#_", n in decimal.
  size_t digits = 0;
  while (digits < iri.size() && iri[digits] >= '0' && iri[digits] <= '9') ++digits;
  if (digits == 0 || digits >= iri.size() || iri[digits] != '/') return false;
  return iri.substr(digits + 1).starts_with(kFile);
}

bool is_blank_individual(const Ontology& ontology, EntityId id) {
  auto iri = ontology.entity_iri(id);
  return iri && is_blank_individual_iri(*iri);
}

Result<void> validate_data_expr(const Ontology& ontology, DeId d) {
  return ExpressionWalker(ontology).data_expression(d);
}

Result<void> validate_ce_data(const Ontology& ontology, CeId c) {
  return ExpressionWalker(ontology).class_expression(c);
}

Result<void> validate_ontology_datatypes(const Ontology& ontology) {
  const auto& dl = ontology.dl();
  ExpressionWalker walker(ontology);
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    const auto axiom = dl.axiom(i);
    switch (axiom.kind) {
      case DlAxiomKind::SubClassOf:
        if (auto r = walker.class_expression(axiom.sub()); !r) return r;
        if (auto r = walker.class_expression(axiom.sup()); !r) return r;
        break;
      case DlAxiomKind::DatatypeDefinition:
        if (auto r = walker.data_expression(axiom.data_range()); !r) return r;
        break;
      case DlAxiomKind::SameIndividual:
      case DlAxiomKind::DifferentIndividuals:
        if (auto r = check_individual_mix(ontology, axiom.entities()); !r) return r;
        break;
      default:
        break;
    }
  }
  std::optional<Error> failure;
  ontology.axioms().for_each_live([&](trelvanic_core::AxiomId, const trelvanic_core::AxiomView& a) {
    if (failure) return;
    if (a.kind() != trelvanic_core::AxiomKind::SameIndividual &&
        a.kind() != trelvanic_core::AxiomKind::DifferentIndividuals) {
      return;
    }
    if (auto r = check_individual_mix(ontology, a.operands()); !r) failure = std::move(r).error();
  });
  if (failure) return std::unexpected(std::move(*failure));
  return {};
}

Result<void> validate_blank_object_property_graph(const Ontology& ontology) {
  // Dense node numbers for the blank individuals met, edges in CSR form.
  absl::flat_hash_map<EntityId, uint32_t> node_of;
  std::vector<std::pair<uint32_t, uint32_t>> edges;
  auto node = [&](EntityId id) {
    auto [it, inserted] = node_of.try_emplace(id, static_cast<uint32_t>(node_of.size()));
    return it->second;
  };
  auto add_edge = [&](EntityId s, EntityId o) {
    if (!is_blank_individual(ontology, s) || !is_blank_individual(ontology, o)) return;
    const uint32_t from = node(s);
    edges.emplace_back(from, node(o));
  };
  const auto& dl = ontology.dl();
  for (size_t i = 0; i < dl.axiom_count(); ++i) {
    const auto axiom = dl.axiom(i);
    if (axiom.kind == DlAxiomKind::ObjectPropertyAssertion) add_edge(axiom.subject(), axiom.object());
  }
  ontology.axioms().for_each_live([&](trelvanic_core::AxiomId, const trelvanic_core::AxiomView& a) {
    if (a.kind() == trelvanic_core::AxiomKind::ObjectPropertyAssertion) add_edge(a.subject(), a.object());
  });
  if (edges.empty()) return {};

  const size_t n = node_of.size();
  std::vector<uint32_t> first(n + 1, 0);
  for (auto [from, to] : edges) ++first[from + 1];
  for (size_t i = 0; i < n; ++i) first[i + 1] += first[i];
  std::vector<uint32_t> targets(edges.size());
  {
    std::vector<uint32_t> fill(first.begin(), first.end() - 1);
    for (auto [from, to] : edges) targets[fill[from]++] = to;
  }

  // Depth-first walks from every node. A node whose walk finished keeps the
  // number of nodes on the longest chain starting at it; meeting it again
  // reuses that number instead of walking again, so a ladder of diamonds
  // costs linear time. A finished node cannot reach a node on the current
  // path (that would have been a cycle when it was walked), so the verdicts
  // are those of walking every path.
  constexpr uint32_t kUnseen = 0;
  constexpr uint32_t kOnPath = 1;
  constexpr uint32_t kFinished = 2;
  std::vector<uint8_t> state(n, kUnseen);
  std::vector<uint32_t> longest(n, 0);
  struct Frame {
    uint32_t node;
    uint32_t next;  // next edge position to take
  };
  std::vector<Frame> path;
  const Error too_long =
      Error::parse(fmt::format("blank-node object property chain exceeds limit of {}", kMaxBlankChain));
  for (uint32_t start = 0; start < n; ++start) {
    if (state[start] != kUnseen) continue;
    path.push_back({start, first[start]});
    state[start] = kOnPath;
    while (!path.empty()) {
      Frame& top = path.back();
      if (top.next == first[top.node + 1]) {
        uint32_t best = 0;
        for (uint32_t e = first[top.node]; e < first[top.node + 1]; ++e) best = std::max(best, longest[targets[e]]);
        longest[top.node] = best + 1;
        state[top.node] = kFinished;
        path.pop_back();
        continue;
      }
      const uint32_t succ = targets[top.next++];
      if (state[succ] == kOnPath) return std::unexpected(Error::parse("cyclic blank-node object property chain"));
      if (state[succ] == kFinished) {
        if (path.size() + longest[succ] > kMaxBlankChain) return std::unexpected(too_long);
        continue;
      }
      if (path.size() >= kMaxBlankChain) return std::unexpected(too_long);
      state[succ] = kOnPath;
      path.push_back({succ, first[succ]});
    }
  }
  return {};
}

}  // namespace trelvanic_parser
