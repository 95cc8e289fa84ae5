#include "py/convert.h"

#include <array>
#include <cstdio>
#include <utility>

#include "binding/args.h"
#include "binding/pycall.h"
#include "facade/json.h"

namespace _trelvanic::convert {

using trelvanic_binding::Error;
using trelvanic_binding::Ref;
using trelvanic_binding::Result;
using trelvanic_core::Profile;

namespace {

struct NamedProfile {
  std::string_view name;
  Profile profile;
};

constexpr NamedProfile kProfiles[] = {
    {"auto", Profile::Auto},     {"rdfs", Profile::Rdfs},           {"rl", Profile::Rl},
    {"el", Profile::El},         {"dl", Profile::Dl},               {"alc", Profile::Dl},
    {"dl-preview", Profile::DlPreview}, {"dl_preview", Profile::DlPreview}, {"swrl", Profile::Swrl},
};

std::string ascii_lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

}  // namespace

std::string quoted(std::string_view text) {
  std::string out = "\"";
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    switch (c) {
      case '"': out += "\\\""; continue;
      case '\\': out += "\\\\"; continue;
      case '\t': out += "\\t"; continue;
      case '\r': out += "\\r"; continue;
      case '\n': out += "\\n"; continue;
      case '\0': out += "\\0"; continue;
      default: break;
    }
    if (c < 0x20 || c == 0x7f) {
      char buf[16];
      std::snprintf(buf, sizeof buf, "\\u{%x}", c);
      out += buf;
    } else if (c == 0xc2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xa0 &&
               static_cast<unsigned char>(text[i + 1]) >= 0x80) {
      // C1 control characters U+0080..U+009F (two UTF-8 bytes).
      char buf[16];
      std::snprintf(buf, sizeof buf, "\\u{%x}", static_cast<unsigned char>(text[i + 1]));
      out += buf;
      ++i;
    } else {
      out += static_cast<char>(c);
    }
  }
  out += '"';
  return out;
}

Result<Profile> parse_profile(const std::optional<std::string>& name) {
  if (!name) return Profile::Auto;
  const std::string lower = ascii_lower(*name);
  for (const NamedProfile& p : kProfiles) {
    if (p.name == lower) return p.profile;
  }
  std::string message = kUnsupportedProfile;
  message.replace(message.find("{}"), 2, quoted(lower));
  return std::unexpected(py_err(std::move(message)));
}

Error py_err(std::string text) { return Error::runtime(std::move(text)); }

Result<Ref> json_to_pydict(std::string_view text) {
  auto value = trelvanic_binding::json_loads(text);
  if (!value) return value;
  if (!PyDict_Check(value->get())) {
    return std::unexpected(py_err(std::string("'") + trelvanic_binding::type_name_of(value->get()) +
                                  "' object cannot be converted to 'PyDict'"));
  }
  return value;
}

Result<Ref> taxonomy_classify_dict(const trelvanic_core::Ontology& working, const trelvanic_core::Taxonomy& taxonomy) {
  auto record = trelvanic_facade::taxonomy_json("classified", taxonomy, working,
                                                trelvanic_facade::result_parse_meta(working.parse_meta()));
  if (!record) return std::unexpected(py_err(record.error().message()));
  return json_to_pydict(trelvanic_facade::write_json(*record));
}

Result<Ref> rl_classify_dict(const trelvanic_core::Ontology& working,
                             const trelvanic_facade::MaterializationReport& report) {
  return json_to_pydict(trelvanic_facade::write_json(trelvanic_facade::rl_materialization_json(
      "classified", report, trelvanic_facade::result_parse_meta(working.parse_meta()))));
}

Result<Ref> rdfs_classify_dict(const trelvanic_core::Ontology& working,
                               const trelvanic_facade::MaterializationReport& report) {
  return json_to_pydict(trelvanic_facade::write_json(trelvanic_facade::rdfs_materialization_json(
      "classified", report, trelvanic_facade::result_parse_meta(working.parse_meta()))));
}

Result<Ref> parse_meta_dict(const trelvanic_core::ParseMetaSummary& summary) {
  auto dict = trelvanic_binding::checked(PyDict_New());
  if (!dict) return dict;
  auto warnings = trelvanic_binding::checked(PyList_New(0));
  if (!warnings) return warnings;
  for (const std::string& w : summary.warnings) {
    auto item = trelvanic_binding::to_py_str(w);
    if (!item) return item;
    if (PyList_Append(warnings->get(), item->get()) < 0) return std::unexpected(Error::fetch());
  }
  if (PyDict_SetItemString(dict->get(), "warnings", warnings->get()) < 0) return std::unexpected(Error::fetch());
  const std::pair<const char*, uint64_t> counts[] = {
      {"mapped_axiom_count", summary.mapped_axiom_count},
      {"skipped_axiom_count", summary.skipped_axiom_count},
      {"logical_axiom_count", summary.logical_axiom_count},
  };
  for (const auto& [key, count] : counts) {
    auto value = trelvanic_binding::checked(PyLong_FromUnsignedLongLong(count));
    if (!value) return value;
    if (PyDict_SetItemString(dict->get(), key, value->get()) < 0) return std::unexpected(Error::fetch());
  }
  return dict;
}

Result<std::string> entity_iri(const trelvanic_core::Ontology& ontology, trelvanic_core::EntityId id) {
  auto iri = ontology.entity_iri(id);
  if (!iri) return std::unexpected(py_err(iri.error().message()));
  return std::string(*iri);
}

namespace {

// A tuple of the entities' IRIs, converted in order; the first failure is returned.
template <size_t N>
Result<Ref> iri_tuple(const trelvanic_core::Ontology& ontology, const std::array<trelvanic_core::EntityId, N>& ids) {
  auto tuple = trelvanic_binding::checked(PyTuple_New(N));
  if (!tuple) return tuple;
  for (size_t i = 0; i < N; ++i) {
    auto iri = entity_iri(ontology, ids[i]);
    if (!iri) return std::unexpected(std::move(iri.error()));
    auto item = trelvanic_binding::to_py_str(*iri);
    if (!item) return item;
    PyTuple_SET_ITEM(tuple->get(), i, item->release());
  }
  return tuple;
}

Result<void> set_item(PyObject* dict, const char* key, Result<Ref> value) {
  if (!value) return std::unexpected(std::move(value.error()));
  if (PyDict_SetItemString(dict, key, value->get()) < 0) return std::unexpected(Error::fetch());
  return {};
}

Result<Ref> proof_node_dict(const trelvanic_core::Ontology& ontology, const trelvanic_explain::ProofNode& node) {
  auto dict = trelvanic_binding::checked(PyDict_New());
  if (!dict) return dict;
  TRELVANIC_TRY(set_item(dict->get(), "rule", trelvanic_binding::to_py_str(node.rule)));
  auto premises = trelvanic_binding::checked(PyList_New(static_cast<Py_ssize_t>(node.premises.size())));
  if (!premises) return premises;
  for (size_t i = 0; i < node.premises.size(); ++i) {
    auto index = trelvanic_binding::checked(PyLong_FromUnsignedLong(node.premises[i]));
    if (!index) return index;
    PyList_SET_ITEM(premises->get(), static_cast<Py_ssize_t>(i), index->release());
  }
  TRELVANIC_TRY(set_item(dict->get(), "premises", std::move(premises)));
  if (node.conclusion_axiom) {
    TRELVANIC_TRY(set_item(dict->get(), "conclusion_axiom",
                           trelvanic_binding::checked(PyLong_FromUnsignedLong(node.conclusion_axiom->value))));
  }
  if (node.conclusion_sub) {
    const auto& [a, b] = *node.conclusion_sub;
    TRELVANIC_TRY(set_item(dict->get(), "conclusion_sub", iri_tuple<2>(ontology, {a, b})));
  }
  if (node.conclusion_existential) {
    TRELVANIC_TRY(set_item(dict->get(), "conclusion_existential", iri_tuple<3>(ontology, *node.conclusion_existential)));
  }
  if (node.conclusion_subproperty) {
    const auto& [a, b] = *node.conclusion_subproperty;
    TRELVANIC_TRY(set_item(dict->get(), "conclusion_subproperty", iri_tuple<2>(ontology, {a, b})));
  }
  return dict;
}

}  // namespace

Result<Ref> proof_graph_dict(const trelvanic_core::Ontology& working, const trelvanic_explain::ProofGraph& graph,
                             const std::optional<trelvanic_core::ParseMetaSummary>& summary) {
  auto dict = trelvanic_binding::checked(PyDict_New());
  if (!dict) return dict;
  TRELVANIC_TRY(set_item(dict->get(), "node_count", trelvanic_binding::checked(PyLong_FromSize_t(graph.nodes.size()))));
  auto nodes = trelvanic_binding::checked(PyList_New(static_cast<Py_ssize_t>(graph.nodes.size())));
  if (!nodes) return nodes;
  for (size_t i = 0; i < graph.nodes.size(); ++i) {
    auto node = proof_node_dict(working, graph.nodes[i]);
    if (!node) return node;
    PyList_SET_ITEM(nodes->get(), static_cast<Py_ssize_t>(i), node->release());
  }
  TRELVANIC_TRY(set_item(dict->get(), "nodes", std::move(nodes)));
  if (summary) TRELVANIC_TRY(set_item(dict->get(), "parse_meta", parse_meta_dict(*summary)));
  return dict;
}

}  // namespace _trelvanic::convert
