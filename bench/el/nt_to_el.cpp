#include "nt_to_el.h"

#include <absl/container/flat_hash_map.h>

#include <optional>

namespace trelvanic_el::bench {
namespace {

const std::string kRdf = "http://www.w3.org/1999/02/22-rdf-syntax-ns#";
const std::string kRdfs = "http://www.w3.org/2000/01/rdf-schema#";
const std::string kOwl = "http://www.w3.org/2002/07/owl#";

struct Triple {
  uint32_t s, p, o;
};

class Reader {
 public:
  NtOntology run(std::istream& in) {
    std::string line;
    while (std::getline(in, line)) parse_line(line);
    build();
    return std::move(out_);
  }

 private:
  // Terms are interned with a one-character tag: '<' IRI, '_' blank node.
  uint32_t term(const std::string& text) {
    auto [it, added] = terms_.try_emplace(text, static_cast<uint32_t>(names_.size()));
    if (added) names_.push_back(text);
    return it->second;
  }
  uint32_t iri(const std::string& s) { return term("<" + s); }

  std::optional<uint32_t> read_term(const std::string& line, size_t& i) {
    while (i < line.size() && line[i] == ' ') ++i;
    if (i >= line.size()) return std::nullopt;
    if (line[i] == '<') {
      size_t end = line.find('>', i);
      if (end == std::string::npos) return std::nullopt;
      uint32_t t = term("<" + line.substr(i + 1, end - i - 1));
      i = end + 1;
      return t;
    }
    if (line.compare(i, 2, "_:") == 0) {
      size_t end = line.find(' ', i);
      if (end == std::string::npos) end = line.size();
      uint32_t t = term("_" + line.substr(i + 2, end - i - 2));
      i = end;
      return t;
    }
    return std::nullopt;  // literal: nothing of the EL mapping uses them
  }

  void parse_line(const std::string& line) {
    size_t i = 0;
    auto s = read_term(line, i);
    auto p = s ? read_term(line, i) : std::nullopt;
    auto o = p ? read_term(line, i) : std::nullopt;
    if (!o) return;
    ++out_.triples;
    triples_.push_back({*s, *p, *o});
  }

  bool is_blank(uint32_t t) const { return names_[t][0] == '_'; }

  uint32_t class_index(uint32_t t) {
    auto [it, added] = classes_.try_emplace(t, static_cast<uint32_t>(out_.class_iris.size()));
    if (added) out_.class_iris.push_back(names_[t].substr(1));
    return it->second;
  }
  uint32_t role_index(uint32_t t) {
    auto [it, added] = roles_.try_emplace(t, static_cast<uint32_t>(out_.role_iris.size()));
    if (added) out_.role_iris.push_back(names_[t].substr(1));
    return it->second;
  }

  std::optional<std::vector<uint32_t>> list(uint32_t head) {
    std::vector<uint32_t> items;
    for (size_t guard = 0; head != nil_ && guard < 100000; ++guard) {
      auto f = first_.find(head);
      auto r = rest_.find(head);
      if (f == first_.end() || r == rest_.end()) return std::nullopt;
      items.push_back(f->second);
      head = r->second;
    }
    if (head != nil_) return std::nullopt;
    return items;
  }

  std::optional<ExprId> expr(uint32_t t, int depth = 0) {
    if (depth > 200) return std::nullopt;
    if (!is_blank(t)) {
      if (t == thing_) return out_.input.top();
      if (t == nothing_) return out_.input.bottom();
      return out_.input.named(class_index(t));
    }
    if (auto m = memo_.find(t); m != memo_.end()) return m->second;
    std::optional<ExprId> result;
    if (auto io = intersection_.find(t); io != intersection_.end()) {
      auto items = list(io->second);
      if (!items) return std::nullopt;
      std::vector<ExprId> ops;
      for (uint32_t x : *items) {
        auto e = expr(x, depth + 1);
        if (!e) return std::nullopt;
        ops.push_back(*e);
      }
      result = out_.input.and_of(ops);
    } else if (auto op = on_property_.find(t); op != on_property_.end()) {
      auto sv = some_values_.find(t);
      if (sv == some_values_.end() || is_blank(op->second)) return std::nullopt;
      auto f = expr(sv->second, depth + 1);
      if (!f) return std::nullopt;
      result = out_.input.some(role_index(op->second), *f);
    }
    if (result) memo_[t] = *result;
    return result;
  }

  void build() {
    const uint32_t type = iri(kRdf + "type"), first = iri(kRdf + "first"), rest = iri(kRdf + "rest");
    nil_ = iri(kRdf + "nil");
    thing_ = iri(kOwl + "Thing");
    nothing_ = iri(kOwl + "Nothing");
    const uint32_t sub_class = iri(kRdfs + "subClassOf"), equivalent = iri(kOwl + "equivalentClass"),
                   disjoint = iri(kOwl + "disjointWith"), inter = iri(kOwl + "intersectionOf"),
                   on_prop = iri(kOwl + "onProperty"), some = iri(kOwl + "someValuesFrom"),
                   sub_prop = iri(kRdfs + "subPropertyOf"), chain = iri(kOwl + "propertyChainAxiom"),
                   transitive = iri(kOwl + "TransitiveProperty"), reflexive = iri(kOwl + "ReflexiveProperty"),
                   domain = iri(kRdfs + "domain"), range = iri(kRdfs + "range"),
                   owl_class = iri(kOwl + "Class"), named_individual = iri(kOwl + "NamedIndividual"),
                   same_as = iri(kOwl + "sameAs"), different = iri(kOwl + "differentFrom"),
                   object_property = iri(kOwl + "ObjectProperty");
    for (const Triple& t : triples_) {
      if (t.p == first) first_[t.s] = t.o;
      if (t.p == rest) rest_[t.s] = t.o;
      if (t.p == inter) intersection_[t.s] = t.o;
      if (t.p == on_prop) on_property_[t.s] = t.o;
      if (t.p == some) some_values_[t.s] = t.o;
    }
    ElInput& in = out_.input;
    absl::flat_hash_map<uint32_t, bool> individual, property;
    for (const Triple& t : triples_) {
      if (t.p == type && t.o == owl_class && !is_blank(t.s)) class_index(t.s);
      if (t.p == type && t.o == named_individual && !is_blank(t.s)) {
        individual[t.s] = true;
        out_.individuals.push_back(class_index(t.s));
      }
      if (t.p == type && t.o == object_property) property[t.s] = true;
    }
    auto owl_term = [&](uint32_t x) { return names_[x].rfind("<" + kOwl, 0) == 0; };
    for (const Triple& t : triples_) {
      if (individual.contains(t.s)) {
        if (t.p == type && (t.o == thing_ || t.o == nothing_ || !owl_term(t.o))) {
          auto c = expr(t.o);
          c ? (void)in.sub_class_of(in.named(class_index(t.s)), *c) : (void)++out_.skipped_axioms;
        } else if (property.contains(t.p) && individual.contains(t.o)) {
          in.individual_link(in.named(class_index(t.s)), role_index(t.p), in.named(class_index(t.o)));
        } else if ((t.p == same_as || t.p == different) && individual.contains(t.o)) {
          std::vector<ExprId> ops{in.named(class_index(t.s)), in.named(class_index(t.o))};
          t.p == same_as ? in.equivalent_classes(ops) : in.disjoint_classes(ops);
        }
        continue;
      }
      if (t.p == sub_class || t.p == equivalent || t.p == disjoint) {
        auto a = expr(t.s), b = expr(t.o);
        if (!a || !b) {
          ++out_.skipped_axioms;
        } else if (t.p == sub_class) {
          in.sub_class_of(*a, *b);
        } else {
          std::vector<ExprId> ops{*a, *b};
          t.p == equivalent ? in.equivalent_classes(ops) : in.disjoint_classes(ops);
        }
      } else if (t.p == sub_prop && !is_blank(t.s) && !is_blank(t.o)) {
        in.sub_property_of(role_index(t.s), role_index(t.o));
      } else if (t.p == chain) {
        auto items = list(t.o);
        if (!items || items->size() < 2) {
          ++out_.skipped_axioms;
          continue;
        }
        std::vector<uint32_t> roles;
        for (uint32_t x : *items) roles.push_back(role_index(x));
        in.property_chain(roles, role_index(t.s));
      } else if (t.p == type && (t.o == transitive || t.o == reflexive)) {
        t.o == transitive ? in.transitive(role_index(t.s)) : in.reflexive(role_index(t.s));
      } else if ((t.p == domain || t.p == range) && !is_blank(t.s)) {
        auto c = expr(t.o);
        if (!c) {
          ++out_.skipped_axioms;
          continue;
        }
        t.p == domain ? in.domain(role_index(t.s), *c) : in.range(role_index(t.s), *c);
      }
    }
    // Declared classes that no axiom uses are classes all the same.
    in.reserve_classes(static_cast<uint32_t>(out_.class_iris.size()));
    in.reserve_roles(static_cast<uint32_t>(out_.role_iris.size()));
  }

  NtOntology out_;
  absl::flat_hash_map<std::string, uint32_t> terms_;

  std::vector<std::string> names_;
  std::vector<Triple> triples_;
  absl::flat_hash_map<uint32_t, uint32_t> first_, rest_, intersection_, on_property_, some_values_;
  absl::flat_hash_map<uint32_t, uint32_t> classes_, roles_;
  absl::flat_hash_map<uint32_t, ExprId> memo_;
  uint32_t nil_ = 0, thing_ = 0, nothing_ = 0;
};

}  // namespace

NtOntology read_nt(std::istream& in) { return Reader().run(in); }

}  // namespace trelvanic_el::bench
