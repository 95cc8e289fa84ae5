#include "owl/functional_writer.h"

#include <deque>
#include <vector>

namespace trelvanic_owl {
namespace {

void write_iri(std::string& out, std::string_view iri) {
  out.push_back('<');
  out.append(iri);
  out.push_back('>');
}

void write_quoted(std::string& out, std::string_view text) {
  out.push_back('"');
  for (char c : text) {
    switch (c) {
      case '"': out.append("\\\""); break;
      case '\\': out.append("\\\\"); break;
      default: out.push_back(c);
    }
  }
  out.push_back('"');
}

class Writer {
 public:
  Writer(const Ontology& ontology, std::string& out) : o_(ontology), out_(out) {}

  // Renders `node`; `in_declaration` keeps the keyword of an entity.
  void write(NodeId root, NodeId annotations, bool keep_entity_keyword) {
    struct Item {
      NodeId node;      // a node to open, or 0 for a literal text
      const char* text;  // text to emit when node is 0
      bool keyword;
    };
    std::vector<Item> todo;
    todo.push_back(Item{root, nullptr, keep_entity_keyword});
    bool first_annotations = annotations.valid();
    while (!todo.empty()) {
      Item item = todo.back();
      todo.pop_back();
      if (!item.node) {
        out_.append(item.text);
        continue;
      }
      NodeId n = item.node;
      Kind kind = o_.kind(n);
      if (kind_role(kind) == KindRole::Entity || kind == Kind::Variable) {
        if (item.keyword || kind == Kind::Variable) {
          out_.append(kind_name(kind));
          out_.push_back('(');
          write_iri(out_, o_.iri_text(n));
          out_.push_back(')');
        } else {
          write_iri(out_, o_.iri_text(n));
        }
        continue;
      }
      switch (kind) {
        case Kind::Iri:
          write_iri(out_, o_.iri_text(n));
          continue;
        case Kind::AnonymousIndividual:
          out_.append("_:");
          out_.append(o_.node_label(n));
          continue;
        case Kind::Literal:
          write_quoted(out_, o_.literal_lexical(n));
          if (o_.literal_language(n)) {
            out_.push_back('@');
            out_.append(o_.text(o_.literal_language(n)));
          } else if (o_.literal_datatype(n)) {
            out_.append("^^");
            write_iri(out_, o_.iri(o_.literal_datatype(n)));
          }
          continue;
        case Kind::FacetRestriction:
          todo.push_back(Item{o_.operand(n, 1), nullptr, false});
          todo.push_back(Item{NodeId(), " ", false});
          todo.push_back(Item{o_.operand(n, 0), nullptr, false});
          continue;
        default:
          break;
      }
      out_.append(kind_name(kind));
      out_.push_back('(');
      // Push in reverse: closing bracket, operands, then annotations.
      todo.push_back(Item{NodeId(), ")", false});
      auto words = o_.words(n);
      std::vector<Item> parts;
      NodeId own_annotations;
      size_t first = 0;
      size_t last = words.size();
      if (is_cardinality(kind)) {
        number_text_.push_back(std::to_string(words[0]));
        first = 1;
      }
      if (kind == Kind::Annotation) {
        own_annotations = NodeId(words[2]);
        last = 2;
      } else if (n == root && first_annotations) {
        own_annotations = annotations;
        first_annotations = false;
      }
      if (own_annotations) {
        for (NodeId a : o_.operands(own_annotations)) {
          parts.push_back(Item{a, nullptr, false});
        }
      }
      if (is_cardinality(kind)) parts.push_back(Item{NodeId(), number_text_.back().c_str(), false});
      if (kind == Kind::HasKey) {
        // HasKey( CE ( OPE* ) ( DPE* ) )
        parts.push_back(Item{NodeId(words[0]), nullptr, false});
        for (bool data : {false, true}) {
          parts.push_back(Item{NodeId(), "(", false});
          for (size_t i = 1; i < words.size(); ++i) {
            if ((o_.kind(NodeId(words[i])) == Kind::DataProperty) == data) {
              parts.push_back(Item{NodeId(words[i]), nullptr, false});
            }
          }
          parts.push_back(Item{NodeId(), ")", false});
        }
        last = first;
      }
      for (size_t i = first; i < last; ++i) {
        NodeId operand(words[i]);
        if (kind == Kind::OntologyId && !operand) continue;
        parts.push_back(Item{operand, nullptr, kind == Kind::Declaration});
      }
      for (size_t i = parts.size(); i-- > 0;) {
        todo.push_back(parts[i]);
        if (i > 0) todo.push_back(Item{NodeId(), " ", false});
      }
    }
  }

 private:
  const Ontology& o_;
  std::string& out_;
  std::deque<std::string> number_text_;  // stable storage for numbers being written
};

}  // namespace

std::string write_component(const Ontology& ontology, Component component) {
  std::string out;
  Writer(ontology, out).write(component.node, component.annotations, false);
  return out;
}

std::string write_functional(const Ontology& ontology) {
  std::string out;
  for (const auto& [name, iri] : ontology.prefixes()) {
    out.append("Prefix(");
    out.append(ontology.text(name));
    out.append(":=");
    write_iri(out, ontology.iri(iri));
    out.append(")\n");
  }
  out.append("Ontology(");
  if (IriId id = ontology.ontology_iri()) {
    write_iri(out, ontology.iri(id));
    if (IriId version = ontology.version_iri()) {
      out.push_back(' ');
      write_iri(out, ontology.iri(version));
    }
  }
  out.push_back('\n');
  Writer writer(ontology, out);
  for (const Component& c : ontology.components()) {
    if (ontology.kind(c.node) == Kind::OntologyId) continue;
    writer.write(c.node, c.annotations, false);
    out.push_back('\n');
  }
  out.append(")\n");
  return out;
}

}  // namespace trelvanic_owl
