// A small S-expression notation for EL test ontologies, read into an ElInput.
//
//   (sub E1 E2) (eq E...) (disj E...) (subrole r s) (chain r1 ... rn s)
//   (trans r) (refl r) (domain r E) (range r E)
//   (link a r b): a property assertion between individuals a and b, which
//   are classes of their own (nominal-like)
//   E := Name | Thing | Nothing | (and E...) | (some r E)
// Class and role names are numbered in order of first use.
#pragma once

#include <cctype>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "el/input.h"

namespace trelvanic_el::testing {

class TextOntology {
 public:
  explicit TextOntology(const std::string& text) : text_(text) {
    skip();
    while (pos_ < text_.size()) {
      axiom();
      skip();
    }
  }

  ElInput input;
  std::map<std::string, uint32_t> classes;
  std::map<std::string, uint32_t> roles;

  uint32_t cls(const std::string& name) const {
    auto it = classes.find(name);
    if (it == classes.end()) throw std::runtime_error("unknown class " + name);
    return it->second;
  }

 private:
  void skip() {
    while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
  }
  void expect(char c) {
    skip();
    if (pos_ >= text_.size() || text_[pos_] != c) throw std::runtime_error("expected " + std::string(1, c));
    ++pos_;
  }
  bool peek(char c) {
    skip();
    return pos_ < text_.size() && text_[pos_] == c;
  }
  std::string word() {
    skip();
    size_t start = pos_;
    while (pos_ < text_.size() && (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_')) ++pos_;
    if (start == pos_) throw std::runtime_error("expected a name at " + std::to_string(start));
    return text_.substr(start, pos_ - start);
  }
  uint32_t role() {
    std::string w = word();
    auto [it, added] = roles.try_emplace(w, static_cast<uint32_t>(roles.size()));
    input.reserve_roles(it->second + 1);
    return it->second;
  }
  ExprId expr() {
    if (!peek('(')) {
      std::string w = word();
      if (w == "Thing") return input.top();
      if (w == "Nothing") return input.bottom();
      auto [it, added] = classes.try_emplace(w, static_cast<uint32_t>(classes.size()));
      return input.named(it->second);
    }
    expect('(');
    std::string op = word();
    ExprId e;
    if (op == "and") {
      std::vector<ExprId> ops;
      while (!peek(')')) ops.push_back(expr());
      e = input.and_of(ops);
    } else if (op == "some") {
      uint32_t r = role();
      e = input.some(r, expr());
    } else {
      throw std::runtime_error("unknown constructor " + op);
    }
    expect(')');
    return e;
  }
  std::vector<ExprId> exprs() {
    std::vector<ExprId> v;
    while (!peek(')')) v.push_back(expr());
    return v;
  }
  std::vector<uint32_t> role_list() {
    std::vector<uint32_t> v;
    while (!peek(')')) v.push_back(role());
    return v;
  }
  void axiom() {
    expect('(');
    std::string k = word();
    if (k == "sub") {
      ExprId a = expr();
      input.sub_class_of(a, expr());
    } else if (k == "eq") {
      input.equivalent_classes(exprs());
    } else if (k == "disj") {
      input.disjoint_classes(exprs());
    } else if (k == "subrole") {
      uint32_t r = role();
      input.sub_property_of(r, role());
    } else if (k == "chain") {
      std::vector<uint32_t> rs = role_list();
      uint32_t super = rs.back();
      rs.pop_back();
      input.property_chain(rs, super);
    } else if (k == "trans") {
      input.transitive(role());
    } else if (k == "refl") {
      input.reflexive(role());
    } else if (k == "domain") {
      uint32_t r = role();
      input.domain(r, expr());
    } else if (k == "link") {
      ExprId a = expr();
      uint32_t r = role();
      input.individual_link(a, r, expr());
    } else if (k == "range") {
      uint32_t r = role();
      input.range(r, expr());
    } else {
      throw std::runtime_error("unknown axiom " + k);
    }
    expect(')');
  }

  std::string text_;
  size_t pos_ = 0;
};

}  // namespace trelvanic_el::testing
