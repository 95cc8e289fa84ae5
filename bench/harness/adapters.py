"""Tool adapters: one function per (tool, task kind), run inside a worker process.

Each adapter receives the task (a dict: input paths by format, profile, output path for the answer
set) and a `clock` with `lap(name)`, which records the wall time since the previous lap. Adapters
call `clock.lap("load")` after reading the input and `clock.lap("reason")` after reasoning, write
their normalised answer set (see compare.py) to task["answer_path"], and return a summary dict.

A tool that cannot do the task raises NotAvailable with the reason; any other exception is a
failure of that tool on that input. Tool libraries are imported inside the adapters, because the
trelvanic worker runs in the caller's interpreter and the peers in the benchmark environment.
"""

from __future__ import annotations

import os
import subprocess
import sys

from harness import compare

BENCH = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


class NotAvailable(Exception):
    """The tool cannot run this task (not installed, not implemented yet, unsupported format)."""


def _pick(task, formats):
    for fmt in formats:
        if fmt in task["inputs"]:
            return fmt, task["inputs"][fmt]
    raise NotAvailable(f"reads none of the formats at hand ({', '.join(sorted(task['inputs']))})")


# ---------------------------------------------------------------- trelvanic

def _trelvanic_reasoner(task, clock, formats):
    try:
        import _trelvanic
    except Exception as exc:  # ImportError, or a broken build raising anything at import
        raise NotAvailable(f"cannot import _trelvanic: {type(exc).__name__}: {exc}")
    reasoner_type = getattr(_trelvanic, "Reasoner", None)
    if reasoner_type is None:
        raise NotAvailable("_trelvanic has no Reasoner yet")
    fmt, path = _pick(task, formats)
    try:
        reasoner = reasoner_type(path=path, profile=task.get("profile", "auto"), trusted=True,
                                 lenient=bool(task.get("lenient", False)))
    except Exception as exc:
        if _unbuilt(exc):
            raise NotAvailable(f"Reasoner(): {exc}")
        raise
    clock.lap("load")
    return reasoner, fmt


def _unbuilt(exc: Exception) -> bool:
    """Whether trelvanic says the engine behind a call is not built yet (rather than failing)."""
    if isinstance(exc, NotImplementedError):
        return True
    text = str(exc).lower()
    return type(exc) is Exception and ("not available" in text or "not implemented" in text)


def _call(reasoner, method):
    fn = getattr(reasoner, method, None)
    if fn is None:
        raise NotAvailable(f"Reasoner has no {method}() yet")
    try:
        return fn()
    except Exception as exc:
        if _unbuilt(exc):
            raise NotAvailable(f"{method}(): {exc}")
        raise


def _taxonomy_answer(task, result):
    if not isinstance(result, dict) or "subsumptions" not in result:
        raise RuntimeError(f"classify() gave no taxonomy: {str(result)[:200]}")
    pairs, unsat = compare.subsumption_closure(
        (), [tuple(e) for e in result["subsumptions"]],
        result.get("equivalences", ()), result.get("unsatisfiable", ()))
    compare.write_lines(task["answer_path"], pairs)
    return {"subsumptions": len(pairs), "unsatisfiable": len(unsat),
            "direct_edges": len(result["subsumptions"])}


def trelvanic_classify(task, clock):
    reasoner, fmt = _trelvanic_reasoner(task, clock, task.get("formats", ("ofn", "ttl", "rdf", "owx")))
    result = _call(reasoner, "classify")
    clock.lap("reason")
    summary = _taxonomy_answer(task, result)
    summary["format"] = fmt
    return summary


# What each DL run's times cover, for the table.
TRELVANIC_DL_TIMED = ("load: Reasoner(path=...) in a started interpreter (file read, parse, mapping); "
                      "reason: check_consistency() and classify(); no temporary files, no process start")


def _undecided(exc: Exception) -> str | None:
    """The reason of an answer trelvanic declined to give (incomplete reasoning, a resource
    limit), or None for any other failure."""
    if type(exc).__name__ not in ("IncompleteReasoningError", "ResourceLimitError"):
        return None
    text = " ".join(str(exc).split())
    return text if len(text) <= 160 else text[:157] + "..."


def trelvanic_dl(task, clock):
    """Consistency, then classification when consistent; either one may not be built yet, and
    the row reports what the other gives. An incomplete answer is reported as undecided."""
    reasoner, fmt = _trelvanic_reasoner(task, clock, ("rdf", "owx", "ofn", "ttl"))
    summary, missing = {"format": fmt, "timed": TRELVANIC_DL_TIMED}, []
    try:
        verdict = _call(reasoner, "check_consistency")
        clock.lap("consistency")
        summary.update(consistent=verdict.get("consistent"), complete=verdict.get("complete"))
    except NotAvailable as exc:
        missing.append(str(exc))
    if summary.get("consistent") is not False:
        try:
            result = _call(reasoner, "classify")
            clock.lap("reason")
            summary.update(_taxonomy_answer(task, result))
        except NotAvailable as exc:
            missing.append(str(exc))
        except Exception as exc:
            why = _undecided(exc)
            if why is None:
                raise
            clock.lap("reason")
            summary["undecided"] = why
    if len(missing) == 2:
        raise NotAvailable("; ".join(missing))
    if missing:
        summary["not_available"] = "; ".join(missing)
    return summary


def trelvanic_materialise(task, clock):
    reasoner, fmt = _trelvanic_reasoner(task, clock, ("ttl",))
    result = _call(reasoner, "classify")
    clock.lap("reason")
    if not isinstance(result, dict) or "final_axiom_count" not in result:
        raise RuntimeError(f"classify() gave no materialisation result: {str(result)[:200]}")
    summary = {"closure_size": result["final_axiom_count"], "closure_unit": "axioms",
               "input_size": result.get("initial_axiom_count"), "clashes": len(result.get("clashes") or ())}
    # The module hands back counts only: the closure itself comes from the benchmark program that
    # makes the same call through the same libraries and writes every axiom of the classified
    # ontology as triples (outside the timed part).
    program = task.get("closure_program")
    if not program:
        summary["no_answer"] = task.get("closure_missing") or "no closure program"
        return summary
    done = subprocess.run([program, "--closure", task["inputs"]["ttl"]], capture_output=True, text=True)
    if done.returncode != 0:
        raise RuntimeError(f"{os.path.basename(program)} --closure: {done.stderr.strip()[-300:]}")
    triples = (tuple(compare.term_text(t) for t in line.split(" ", 2)) for line in done.stdout.splitlines() if line)
    view = compare.common_view(triples)
    compare.write_lines(task["answer_path"], view)
    summary["common_view"] = len(view)
    return summary


def trelvanic_parse(task, clock):
    fmt = task["format"]
    _trelvanic_reasoner(task, clock, (fmt,))
    return {"format": fmt}


# ---------------------------------------------------------------- HermiT through owlready2

_OWLREADY_FORMATS = ("nt", "rdf", "owx")   # owlready2 reads N-Triples, RDF/XML and OWL/XML


def _owlready_load(task, clock, formats=_OWLREADY_FORMATS):
    import owlready2
    owlready2.reasoning.JAVA_MEMORY = int(task.get("java_memory_mb", 8000))
    fmt, path = _pick(task, formats)
    world = owlready2.World()
    onto = world.get_ontology("file://" + os.path.abspath(path)).load()
    clock.lap("load")
    return owlready2, world, onto, fmt


def _owlready_taxonomy(owlready2, world):
    thing_class = owlready2.ThingClass
    classes, direct, groups = [], [], []
    for cls in world.classes():
        iri = cls.iri
        classes.append(iri)
        for sup in cls.is_a:
            if isinstance(sup, thing_class):
                direct.append((iri, sup.iri))
        named = [e.iri for e in cls.equivalent_to if isinstance(e, thing_class)]
        if named:
            groups.append([iri] + named)
    unsat = [c.iri for c in world.inconsistent_classes()]
    return classes, direct, groups, unsat


def _run_hermit(owlready2, world):
    """Runs HermiT on the world; a Java failure comes back as the Java exception's own words."""
    try:
        owlready2.sync_reasoner_hermit(world, infer_property_values=False, debug=0)
    except owlready2.OwlReadyJavaError as exc:
        lines = [l.strip() for l in str(exc).splitlines() if l.strip() and not l.strip().startswith("at ")]
        thrown = next((i for i, l in enumerate(lines) if "Exception" in l or "Error" in l[:60]), 0)
        text = " ".join(lines[thrown:thrown + 2]).replace('Exception in thread "main" ', "")
        raise RuntimeError(f"HermiT: {text}") from None


def hermit_classify(task, clock):
    owlready2, world, _, fmt = _owlready_load(task, clock)
    _run_hermit(owlready2, world)
    clock.lap("reason")
    pairs, unsat = compare.subsumption_closure(*_owlready_taxonomy(owlready2, world))
    compare.write_lines(task["answer_path"], pairs)
    return {"format": fmt, "subsumptions": len(pairs), "unsatisfiable": len(unsat)}


def hermit_dl(task, clock):
    owlready2, world, _, fmt = _owlready_load(task, clock)
    try:
        _run_hermit(owlready2, world)
    except owlready2.OwlReadyInconsistentOntologyError:
        clock.lap("reason")
        return {"format": fmt, "consistent": False, "complete": True}
    clock.lap("reason")
    pairs, unsat = compare.subsumption_closure(*_owlready_taxonomy(owlready2, world))
    compare.write_lines(task["answer_path"], pairs)
    return {"format": fmt, "consistent": True, "complete": True,
            "subsumptions": len(pairs), "unsatisfiable": len(unsat)}


def hermit_cli_dl(task, clock):
    """HermiT through its own command line, one JVM: the phases are HermiT's own parse and
    reasoning times from its log, so the JVM's start is left out (given as jvm_s)."""
    sys.path.insert(0, os.path.join(BENCH, "dl"))
    import answers
    import hermit

    fmt, path = _pick(task, ("ofn", "owx", "rdf"))
    res = hermit.Hermit(timeout=float("inf")).run(path)
    clock.lap("run")
    wall = clock.phases.pop("run")
    if res.consistent is None:
        raise RuntimeError(f"HermiT: {res.error}")
    parse, reason = (res.parse_ms or 0.0) / 1000.0, (res.reason_ms or 0.0) / 1000.0
    clock.phases.update(load=parse, reason=reason)
    jvm = round(wall - parse - reason, 3)
    summary = {"format": fmt, "consistent": res.consistent, "complete": True, "jvm_s": jvm,
               "timed": f"load: its parse, reason: its reasoning (both from its log); JVM start and "
                        f"output ({jvm:.2f} s) left out; no temporary files (output read from a pipe)"}
    if res.consistent:
        pairs, unsat = answers.hermit_taxonomy(res, ())
        compare.write_lines(task["answer_path"], pairs)
        summary.update(subsumptions=len(pairs), unsatisfiable=len(unsat))
    return summary


def owlready_parse(task, clock):
    _owlready_load(task, clock, (task["format"],) if task["format"] in _OWLREADY_FORMATS else ())
    return {"format": task["format"]}


# ---------------------------------------------------------------- whelk through py-horned-owl

_HORNED_SERIALISATION = {"ofn": "ofn", "owx": "owx", "rdf": "rdf"}


def _horned_load(task, clock, formats=("ofn", "owx", "rdf")):
    import pyhornedowl
    fmt, path = _pick(task, formats)
    onto = pyhornedowl.open_ontology_from_file(path, _HORNED_SERIALISATION[fmt])
    clock.lap("load")
    return onto, fmt


def whelk_classify(task, clock):
    onto, fmt = _horned_load(task, clock)
    import pywhelk
    reasoner = pywhelk.create_reasoner(onto)
    inferred = reasoner.inferred_axioms()
    clock.lap("reason")
    direct = []
    for axiom in inferred:
        sub, sup = getattr(axiom, "sub", None), getattr(axiom, "sup", None)
        if type(sub).__name__ == "Class" and type(sup).__name__ == "Class":
            direct.append((str(sub), str(sup)))
    # whelk answers the full closure (owl:Nothing below every class, unsatisfiable classes below
    # owl:Nothing), so the pairs need filtering only.
    pairs, unsat = compare.subsumption_closure((), direct, closed=True)
    compare.write_lines(task["answer_path"], pairs)
    return {"format": fmt, "subsumptions": len(pairs), "unsatisfiable": len(unsat)}


def horned_parse(task, clock):
    onto, fmt = _horned_load(task, clock, (task["format"],) if task["format"] in _HORNED_SERIALISATION else ())
    return {"format": fmt, "axioms": len(onto.get_axioms())}


# ---------------------------------------------------------------- RL engines on rdflib terms

def _term_text(term):
    from rdflib import BNode, Literal
    if isinstance(term, BNode):
        return "_:" + str(term)
    if isinstance(term, Literal):
        return '"' + str(term) + '"'
    return str(term)


def _write_closure(task, triples):
    view = compare.common_view((_term_text(s), _term_text(p), _term_text(o)) for s, p, o in triples)
    compare.write_lines(task["answer_path"], view)
    return len(view)


def reasonable_materialise(task, clock):
    import reasonable
    reasoner = reasonable.PyReasoner()
    for path in task["inputs"]["ttl_files"]:
        reasoner.load_file(path)
    clock.lap("load")
    closure = reasoner.reason()
    clock.lap("reason")
    return {"closure_size": len(closure), "closure_unit": "triples",
            "common_view": _write_closure(task, closure)}


def owlrl_materialise(task, clock):
    import owlrl
    import rdflib
    graph = rdflib.Graph()
    for path in task["inputs"]["ttl_files"]:
        graph.parse(path, format="turtle")
    input_size = len(graph)
    clock.lap("load")
    owlrl.DeductiveClosure(owlrl.OWLRL_Semantics).expand(graph)
    clock.lap("reason")
    return {"closure_size": len(graph), "closure_unit": "triples", "input_size": input_size,
            "common_view": _write_closure(task, graph)}


_RDFLIB_FORMATS = {"ttl": "turtle", "nt": "nt", "rdf": "xml"}


def rdflib_parse(task, clock):
    import rdflib
    fmt = task["format"]
    if fmt not in _RDFLIB_FORMATS:
        raise NotAvailable(f"rdflib does not read {fmt}")
    graph = rdflib.Graph()
    graph.parse(task["inputs"][fmt], format=_RDFLIB_FORMATS[fmt])
    clock.lap("load")
    return {"format": fmt, "triples": len(graph)}


ADAPTERS = {
    ("trelvanic", "classify"): trelvanic_classify,
    ("trelvanic", "dl"): trelvanic_dl,
    ("trelvanic", "materialise"): trelvanic_materialise,
    ("trelvanic", "parse"): trelvanic_parse,
    ("hermit", "classify"): hermit_classify,
    ("hermit", "dl"): hermit_dl,
    ("hermit", "dl-cli"): hermit_cli_dl,
    ("owlready2", "parse"): owlready_parse,
    ("whelk", "classify"): whelk_classify,
    ("horned-owl", "parse"): horned_parse,
    ("reasonable", "materialise"): reasonable_materialise,
    ("owlrl", "materialise"): owlrl_materialise,
    ("rdflib", "parse"): rdflib_parse,
}
