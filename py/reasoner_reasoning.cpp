#include "py/reasoner_reasoning.h"

#include <array>
#include <optional>
#include <string>

#include "py/cancel.h"
#include "facade/consistency.h"
#include "facade/entailment.h"
#include "facade/shared.h"
#include "py/exceptions.h"
#include "py/reasoner_sync.h"

namespace _trelvanic::reasoner {

using trelvanic_binding::Args;
using trelvanic_binding::Ref;
using trelvanic_binding::Result;
using trelvanic_core::ConsistencyResult;
using trelvanic_core::Ontology;
using trelvanic_core::Reasoner;
using trelvanic_core::ReasonerBuilder;

namespace {

// Pulls, then clones the ontology the engines work on.
Result<Ontology> work_copy(PyReasoner& self) {
  if (auto pulled = pull_shared(self); !pulled) return std::unexpected(std::move(pulled.error()));
  auto work = trelvanic_facade::clone_work_ontology(self.link, self.reasoner);
  if (!work) return std::unexpected(exceptions::map_sync_py_err(work.error()));
  return std::move(*work);
}

// Runs `body` on a fresh core reasoner built from the stored settings and
// the work copy, with the interpreter lock released and Ctrl-C heeded
// (py/cancel.h); errors are lazy.
template <class T, class Body>
Result<T> on_fresh_reasoner(const ReasonerBuilder& settings, Ontology work, Body&& body) {
  return run_cancellable([&]() -> Result<T> {
    auto core = settings.build(std::move(work));
    if (!core) return std::unexpected(exceptions::map_core_py_err(core.error()));
    return body(*core);
  });
}

Result<ConsistencyResult> run_consistency(PyReasoner& self) {
  auto work = work_copy(self);
  if (!work) return std::unexpected(std::move(work.error()));
  auto pair = on_fresh_reasoner<ConsistencyResult>(
      self.reasoner.settings(), std::move(*work), [](Reasoner& core) -> Result<ConsistencyResult> {
        auto out = trelvanic_facade::check_consistency(core);
        if (!out) return std::unexpected(exceptions::map_facade_py_err(out.error()));
        return *out;
      });
  if (!pair) return pair;
  if (auto pushed = push_shared(self); !pushed) return std::unexpected(std::move(pushed.error()));
  return pair;
}

Result<Ref> py_bool(bool b) { return Ref::borrow(b ? Py_True : Py_False); }

struct Entailed {
  bool entailed;
  Ontology ontology;  // the core reasoner's ontology after the question
};

// The answer read from what `self.answers` keeps for `work`, on this thread
// and without any engine run; nullopt when an engine has to run.
std::optional<Result<Entailed>> kept_answer(PyReasoner& self, const Ontology& work,
                                            const trelvanic_facade::EntailmentCheck& check) {
  if (!self.answers.holds_for(self.reasoner.profile(), work)) return std::nullopt;
  auto core = self.reasoner.settings().build(work.clone());
  if (!core) return std::nullopt;  // the engine road reports it
  // Read-only for this question alone, also when it leaves by an exception.
  struct ReadOnly {
    trelvanic_facade::EntailmentAnswers& answers;
    explicit ReadOnly(trelvanic_facade::EntailmentAnswers& a) : answers(a) { answers.set_read_only(true); }
    ~ReadOnly() { answers.set_read_only(false); }
  };
  trelvanic_facade::Result<bool> out = false;
  bool needs_engine = false;
  {
    ReadOnly scope(self.answers);
    out = trelvanic_facade::is_entailed_axiom(*core, check, &self.answers);
    needs_engine = self.answers.needed_engine();
  }
  if (needs_engine) return std::nullopt;
  if (!out) return Result<Entailed>(std::unexpected(exceptions::map_facade_py_err(out.error())));
  return Entailed{*out, core->ontology().clone()};
}

}  // namespace

Result<Ref> check_consistency(PyReasoner& self, PyObject*) {
  auto pair = run_consistency(self);
  if (!pair) return std::unexpected(std::move(pair.error()));
  auto dict = trelvanic_binding::checked(PyDict_New());
  if (!dict) return dict;
  if (PyDict_SetItemString(dict->get(), "consistent", pair->consistent ? Py_True : Py_False) < 0 ||
      PyDict_SetItemString(dict->get(), "complete", pair->complete ? Py_True : Py_False) < 0) {
    return std::unexpected(trelvanic_binding::Error::fetch());
  }
  return dict;
}

Result<Ref> is_consistent(PyReasoner& self, PyObject*) {
  auto pair = run_consistency(self);
  if (!pair) return std::unexpected(std::move(pair.error()));
  if (!pair->complete) {
    return std::unexpected(exceptions::map_core_py_err(trelvanic_core::Error::consistency_incomplete()));
  }
  return py_bool(pair->consistent);
}

Result<Ref> is_entailed(PyReasoner& self, PyObject*, const Args& args) {
  std::array<std::optional<std::string>, 7> given;
  for (std::size_t i = 0; i < given.size(); ++i) {
    auto text = args.optional_str(i);
    if (!text) return std::unexpected(std::move(text.error()));
    given[i] = std::move(*text);
  }
  if (auto pulled = pull_shared(self); !pulled) return std::unexpected(std::move(pulled.error()));
  auto check = trelvanic_facade::parse_entailment_check(given[0], given[1], given[2], given[3], given[4], given[5],
                                                        given[6]);
  if (!check) return std::unexpected(exceptions::map_facade_py_err(check.error()));
  auto work = trelvanic_facade::clone_work_ontology(self.link, self.reasoner);
  if (!work) return std::unexpected(exceptions::map_sync_py_err(work.error()));

  auto done = kept_answer(self, *work, *check);
  if (!done) {
    done = on_fresh_reasoner<Entailed>(self.reasoner.settings(), std::move(*work),
                                       [&](Reasoner& core) -> Result<Entailed> {
                                         auto out = trelvanic_facade::is_entailed_axiom(core, *check, &self.answers);
                                         if (!out) return std::unexpected(exceptions::map_facade_py_err(out.error()));
                                         return Entailed{*out, core.ontology().clone()};
                                       });
  }
  if (!*done) return std::unexpected(std::move(done->error()));
  self.reasoner.ontology_mut() = std::move((*done)->ontology);
  self.taxonomy.reset();
  if (auto pushed = push_shared(self); !pushed) return std::unexpected(std::move(pushed.error()));
  return py_bool((*done)->entailed);
}

}  // namespace _trelvanic::reasoner
