#include "py/reasoner.h"
#include "py/reasoner_sync.h"

#include <string>
#include <type_traits>
#include <variant>

#include "py/cancel.h"
#include "binding/pycall.h"
#include "explain/explain.h"
#include "facade/classify.h"
#include "facade/instances.h"
#include "parser/load.h"
#include "py/common.h"
#include "py/convert.h"
#include "py/exceptions.h"
#include "py/ontology.h"
#include "py/reasoner_edits.h"
#include "py/reasoner_reasoning.h"
#include "ql/answer.h"
#include "ql/parse.h"
#include "ql/rewrite.h"

namespace _trelvanic::reasoner {

using trelvanic_binding::Access;
using trelvanic_binding::Args;
using trelvanic_binding::Error;
using trelvanic_binding::Ref;
using trelvanic_binding::Result;
using trelvanic_binding::Signature;

namespace {

constexpr Signature kNew{"Reasoner",
                         {{"path"},
                          {"ontology"},
                          {"profile"},
                          {"incremental"},
                          {"budget_secs"},
                          {"trusted"},
                          {"lenient"}}};
constexpr Signature kLoadIn{"load_in",
                            {{"base", true},
                             {"path", true},
                             {"profile", false, true},
                             {"incremental", false, true},
                             {"budget_secs", false, true},
                             {"lenient", false, true}}};
constexpr Signature kSubclassPair{"add_subclass_of", {{"subclass", true}, {"superclass", true}}};
constexpr Signature kRemoveSubclassPair{"remove_subclass_of",
                                        {{"subclass", true}, {"superclass", true}}};
constexpr Signature kAddAxiomJson{"add_axiom_json", {{"axiom", true}}};
constexpr Signature kIsEntailed{"is_entailed",
                                {{"sub"},
                                 {"sup"},
                                 {"individual", false, true},
                                 {"class_", false, true},
                                 {"subject", false, true},
                                 {"property", false, true},
                                 {"object", false, true}}};
constexpr Signature kQuery{"query", {{"query", true}}};

}  // namespace

Result<trelvanic_core::Reasoner> build_reasoner(trelvanic_core::Ontology ontology,
                                                const std::optional<std::string>& profile, bool incremental,
                                                std::optional<uint64_t> budget_secs) {
  if (budget_secs && *budget_secs == 0) {
    return std::unexpected(
        convert::py_err("budget_secs must be greater than 0; omit the argument for unlimited reasoning"));
  }
  auto parsed = convert::parse_profile(profile);
  if (!parsed) return std::unexpected(std::move(parsed.error()));
  trelvanic_core::ReasonerBuilder settings{
      .budget_secs = budget_secs, .parallelism = 1, .incremental = incremental, .trace_enabled = false,
      .profile = *parsed};
  auto built = settings.build(std::move(ontology));
  if (!built) return std::unexpected(exceptions::map_core_py_err(built.error()));
  return std::move(*built);
}

namespace {

// Settings of a new reasoner, converted before any work is done.
struct Settings {
  std::optional<std::string> profile;
  bool incremental = false;
  std::optional<uint64_t> budget_secs;
  bool lenient = false;
};

Result<Settings> read_settings(const Args& args, std::size_t profile, std::size_t incremental, std::size_t budget,
                               std::size_t lenient) {
  Settings out;
  auto p = args.optional_str(profile);
  if (!p) return std::unexpected(std::move(p.error()));
  out.profile = std::move(*p);
  auto inc = args.flag(incremental, false);
  if (!inc) return std::unexpected(std::move(inc.error()));
  out.incremental = *inc;
  auto b = args.optional_u64(budget);
  if (!b) return std::unexpected(std::move(b.error()));
  out.budget_secs = *b;
  auto len = args.flag(lenient, false);
  if (!len) return std::unexpected(std::move(len.error()));
  out.lenient = *len;
  return out;
}

Result<Ref> create(PyTypeObject* cls, trelvanic_core::Reasoner reasoner, trelvanic_facade::SharedLink link) {
  return NativeReasoner::create_in(cls, PyReasoner{std::move(reasoner), std::nullopt, std::move(link), {}});
}

Result<Ref> construct(PyTypeObject* cls, const Args& args) {
  auto path = args.optional_path(0);
  if (!path) return std::unexpected(std::move(path.error()));
  auto ontology = args.optional_instance(1, reinterpret_cast<PyObject*>(ontology::NativeOntology::type()),
                                         ontology::PyOntology::kPythonName);
  if (!ontology) return std::unexpected(std::move(ontology.error()));
  // The ontology is used on this thread and held by a shared borrow for
  // the whole constructor.
  std::optional<ontology::NativeOntology::Guard<const ontology::PyOntology>> shared;
  if (*ontology) {
    auto guard = ontology::NativeOntology::borrow(*ontology);
    if (!guard) return std::unexpected(std::move(guard.error()));
    shared.emplace(std::move(*guard));
  }
  auto settings = read_settings(args, 2, 3, 4, 6);
  if (!settings) return std::unexpected(std::move(settings.error()));
  auto trusted = args.flag(5, false);
  if (!trusted) return std::unexpected(std::move(trusted.error()));

  if (path->has_value() == shared.has_value()) {
    return std::unexpected(Error::runtime("Reasoner requires exactly one of `path` or `ontology`"));
  }
  if (path->has_value()) {
    if (!*trusted) TRELVANIC_TRY(trelvanic_binding::warn(kUnsandboxedWarning));
    auto loaded = load_cancellable([&] {
      return settings->lenient ? trelvanic_parser::load_ontology_lenient(**path)
                               : trelvanic_parser::load_ontology(**path);
    });
    if (!loaded) return std::unexpected(std::move(loaded.error()));
    auto reasoner = build_reasoner(std::move(*loaded), settings->profile, settings->incremental,
                                   settings->budget_secs);
    if (!reasoner) return std::unexpected(std::move(reasoner.error()));
    return create(cls, std::move(*reasoner), {});
  }
  const auto& inner = (**shared).inner;
  if (!inner) return std::unexpected(Error::runtime("Ontology holds no ontology"));
  auto copy = trelvanic_facade::link_shared(inner);
  if (!copy) return std::unexpected(exceptions::map_sync_py_err(copy.error()));
  auto reasoner = build_reasoner(std::move(copy->working), settings->profile, settings->incremental,
                                 settings->budget_secs);
  if (!reasoner) return std::unexpected(std::move(reasoner.error()));
  return create(cls, std::move(*reasoner), std::move(copy->link));
}

Result<Ref> load_in(PyTypeObject* cls, const Args& args) {
  auto base = args.path(0);
  if (!base) return std::unexpected(std::move(base.error()));
  auto path = args.path(1);
  if (!path) return std::unexpected(std::move(path.error()));
  auto settings = read_settings(args, 2, 3, 4, 5);
  if (!settings) return std::unexpected(std::move(settings.error()));
  auto loaded = load_cancellable([&] {
    return settings->lenient ? trelvanic_parser::load_ontology_lenient_in(*base, *path)
                             : trelvanic_parser::load_ontology_in(*base, *path);
  });
  if (!loaded) return std::unexpected(std::move(loaded.error()));
  auto reasoner =
      build_reasoner(std::move(*loaded), settings->profile, settings->incremental, settings->budget_secs);
  if (!reasoner) return std::unexpected(std::move(reasoner.error()));
  return create(cls, std::move(*reasoner), {});
}

Result<Ref> parse_meta(const PyReasoner& self, PyObject*) {
  const auto& meta = self.reasoner.ontology().parse_meta();
  if (!meta) return std::unexpected(convert::py_err("ontology has no parse metadata"));
  return convert::parse_meta_dict(meta->summary());
}

Result<Ref> taxonomy(const PyReasoner& self, PyObject*) {
  if (!self.taxonomy) return Ref::none();
  return convert::taxonomy_classify_dict(self.reasoner.ontology(), *self.taxonomy);
}

struct ClassifyDone {
  trelvanic_facade::ClassifyOutcome outcome;
  trelvanic_core::Ontology ontology;
};

// The lock-free part of `classify`: a fresh core reasoner owning the work
// copy, the facade's classification, and a copy of the ontology the engine
// left behind. Touches no Python object; errors are lazy.
Result<ClassifyDone> run_classify_work(const trelvanic_core::ReasonerBuilder& settings,
                                       trelvanic_core::Ontology work) {
  auto core = settings.build(std::move(work));
  if (!core) return std::unexpected(exceptions::map_core_py_err(core.error()));
  auto outcome = trelvanic_facade::classify(*core);
  if (!outcome) return std::unexpected(exceptions::map_facade_py_err(outcome.error()));
  return ClassifyDone{std::move(*outcome), core->ontology().clone()};
}

Result<Ref> classify(PyReasoner& self, PyObject*) {
  TRELVANIC_TRY(pull_shared(self));
  const trelvanic_core::ReasonerBuilder settings = self.reasoner.settings();
  auto work = trelvanic_facade::clone_work_ontology(self.link, self.reasoner);
  if (!work) return std::unexpected(exceptions::map_sync_py_err(work.error()));
  auto done = run_cancellable([&]() -> Result<ClassifyDone> { return run_classify_work(settings, std::move(*work)); });
  if (!done) return std::unexpected(std::move(done.error()));

  self.reasoner.ontology_mut() = std::move(done->ontology);
  Result<Ref> dict = std::visit(
      [&](auto& outcome) -> Result<Ref> {
        using T = std::decay_t<decltype(outcome)>;
        const trelvanic_core::Ontology& working = self.reasoner.ontology();
        if constexpr (std::is_same_v<T, trelvanic_core::Taxonomy>) {
          auto made = convert::taxonomy_classify_dict(working, outcome);
          if (made) self.taxonomy = std::move(outcome);
          return made;
        } else if constexpr (std::is_same_v<T, trelvanic_facade::RdfsOutcome>) {
          self.taxonomy.reset();
          return convert::rdfs_classify_dict(working, outcome.report);
        } else {
          self.taxonomy.reset();
          return convert::rl_classify_dict(working, outcome.report);
        }
      },
      done->outcome);
  if (!dict) return dict;
  TRELVANIC_TRY(push_shared(self));
  return dict;
}

Result<Ref> explain(PyReasoner& self, PyObject*) {
  TRELVANIC_TRY(pull_shared(self));
  auto graph = trelvanic_explain::explain_with_profile(self.reasoner);
  if (!graph) return std::unexpected(exceptions::map_explain_py_err(graph.error()));
  std::optional<trelvanic_core::ParseMetaSummary> summary;
  if (const auto& meta = self.reasoner.ontology().parse_meta()) summary = meta->summary();
  TRELVANIC_TRY(push_shared(self));
  return convert::proof_graph_dict(self.reasoner.ontology(), *graph, summary);
}

// add_subclass_of, remove_subclass_of, add_axiom_json: py/reasoner_edits.h;
// check_consistency, is_consistent, is_entailed: py/reasoner_reasoning.h.

// The rewritten query's answers. Instance atoms are realised by the routed
// engine with the interpreter lock released; an engine failure is kept
// aside so it reaches Python as the facade's error, not as a query error.
Result<std::vector<trelvanic_ql::query::QueryAnswer>> answer(const PyReasoner& self,
                                                              const trelvanic_ql::query::ConjunctiveQuery& rewritten) {
  std::optional<trelvanic_facade::Error> engine_error;
  trelvanic_ql::query::InstanceSource realise =
      [&](trelvanic_core::EntityId cls) -> trelvanic_ql::Result<std::vector<trelvanic_core::EntityId>> {
    auto members = trelvanic_facade::instances_of(self.reasoner, cls);
    if (members) return std::move(*members);
    engine_error = members.error();
    return std::unexpected(trelvanic_ql::Error::core(trelvanic_core::Error::message_text(members.error().message())));
  };
  return trelvanic_binding::allow_threads([&]() -> Result<std::vector<trelvanic_ql::query::QueryAnswer>> {
    auto answers = trelvanic_ql::answer_query(self.reasoner.ontology(), *self.taxonomy, rewritten, realise);
    if (engine_error) return std::unexpected(exceptions::map_facade_py_err(*engine_error));
    if (!answers) return std::unexpected(convert::py_err(answers.error().message()));
    return std::move(*answers);
  });
}

Result<Ref> query(PyReasoner& self, PyObject* unused, const Args& args) {
  auto text = args.str(0);
  if (!text) return std::unexpected(std::move(text.error()));
  TRELVANIC_TRY(pull_shared(self));
  if (!self.taxonomy) {
    TRELVANIC_TRY(classify(self, unused));
    if (!self.taxonomy) return std::unexpected(convert::py_err("query requires taxonomy classification outcome"));
  }
  const trelvanic_core::Ontology& working = self.reasoner.ontology();
  auto parsed = trelvanic_ql::parse::parse_conjunctive_query(*text);
  if (!parsed) return std::unexpected(convert::py_err(parsed.error().message()));
  auto rewritten = trelvanic_ql::rewrite::rewrite_query(working, *self.taxonomy, *parsed);
  if (!rewritten) return std::unexpected(convert::py_err(rewritten.error().message()));
  auto answers = answer(self, *rewritten);
  if (!answers) return std::unexpected(std::move(answers.error()));

  auto list = trelvanic_binding::checked(PyList_New(0));
  if (!list) return list;
  for (const auto& a : *answers) {
    auto dict = trelvanic_binding::checked(PyDict_New());
    if (!dict) return dict;
    for (const auto& [variable, id] : a.bindings) {
      auto iri = convert::entity_iri(working, id);
      if (!iri) return std::unexpected(std::move(iri.error()));
      auto value = trelvanic_binding::to_py_str(*iri);
      if (!value) return value;
      auto key = trelvanic_binding::to_py_str(variable);
      if (!key) return key;
      if (PyDict_SetItem(dict->get(), key->get(), value->get()) < 0) return std::unexpected(Error::fetch());
    }
    if (PyList_Append(list->get(), dict->get()) < 0) return std::unexpected(Error::fetch());
  }
  TRELVANIC_TRY(push_shared(self));
  return list;
}

using namespace trelvanic_binding;

constexpr Access kMut = Access::Exclusive;

PyMethodDef kMethods[] = {
    class_method_def("load_in", class_method<kLoadIn, load_in>,
                     "load_in($cls, base, path, *, profile=None, incremental=False, budget_secs=None, "
                     "lenient=False)\n--\n\n"),
    noargs_def("classify", method_noargs<PyReasoner, classify, kMut>, "classify($self)\n--\n\n"),
    noargs_def("explain", method_noargs<PyReasoner, explain, kMut>, "explain($self)\n--\n\n"),
    method_def("add_subclass_of", method<PyReasoner, kSubclassPair, add_subclass_of, kMut>,
               "add_subclass_of($self, subclass, superclass)\n--\n\n"),
    method_def("remove_subclass_of", method<PyReasoner, kRemoveSubclassPair, remove_subclass_of, kMut>,
               "remove_subclass_of($self, subclass, superclass)\n--\n\n"),
    method_def("add_axiom_json", method<PyReasoner, kAddAxiomJson, add_axiom_json, kMut>,
               "add_axiom_json($self, axiom)\n--\n\n"),
    noargs_def("check_consistency", method_noargs<PyReasoner, check_consistency, kMut>,
               "check_consistency($self)\n--\n\n"
               "Check ontology consistency; returns `{\"consistent\": bool, \"complete\": bool}`."),
    noargs_def("is_consistent", method_noargs<PyReasoner, is_consistent, kMut>,
               "is_consistent($self)\n--\n\n"
               "Check ontology consistency; returns a bool and raises `IncompleteReasoningError` "
               "when the answer is incomplete."),
    method_def("is_entailed", method<PyReasoner, kIsEntailed, is_entailed, kMut>,
               "is_entailed($self, sub=None, sup=None, *, individual=None, class_=None, subject=None, "
               "property=None, object=None)\n--\n\n"
               "Check entailment for `SubClassOf`, `ClassAssertion`, or `ObjectPropertyAssertion`."),
    method_def("query", method<PyReasoner, kQuery, query, kMut>,
               "query($self, query)\n--\n\n"
               "Answer a conjunctive query after classification "
               "(e.g. `Type(?x, <http://example.org/Person>)`)."),
    kMethodEnd,
};

PyGetSetDef kProperties[] = {
    getter_def("parse_meta", property_getter<PyReasoner, parse_meta>,
               "Parse metadata from the loaded ontology (warnings and axiom counts)."),
    getter_def("taxonomy", property_getter<PyReasoner, taxonomy>,
               "Taxonomy from the last EL classification (`None` for RDFS/RL runs)."),
    kGetSetEnd,
};

}  // namespace

Result<PyObject*> reasoner_class() {
  return native_class<PyReasoner>(class_spec<PyReasoner>(
      "Reasoner(path=None, ontology=None, profile=None, incremental=False, budget_secs=None, "
      "trusted=False, lenient=False)\n--\n\nPython wrapper around the TrelVanic reasoner.",
      constructor<kNew, construct>, kMethods, kProperties));
}

}  // namespace _trelvanic::reasoner
