"""The four suites: which tools run on which inputs, and how their answers are compared.

Each suite first plans its rows (one input each, with one run spec per tool); the driver runs every
spec, then the suite's rows are compared: the reference answer of a row is trelvanic's where it
has one, else the first peer's that answered, and every other answer is counted against it.
"""

from __future__ import annotations

import os
from dataclasses import dataclass, field

from harness import compare
from harness.runner import Run


@dataclass
class Spec:
    tool: str                  # adapter tool name (and venv tool name for peers)
    label: str
    kind: str
    task: dict
    skip: str = ""             # reason not to run at all (format not read, input missing)


@dataclass
class Row:
    input: str
    specs: list
    runs: list = field(default_factory=list)
    note: str = ""


@dataclass
class Suite:
    key: str
    title: str
    rows: list = field(default_factory=list)
    notes: list = field(default_factory=list)
    answer_kind: str = "taxonomy"   # "taxonomy", "closure", "dl" or "parse"
    min_samples: int = 1            # samples at least of a short run, whatever --samples says


def _task(tool, kind, ident, inputs, **extra):
    return dict(tool=tool, kind=kind, id=ident, inputs=inputs, **extra)


def _slug(text: str) -> str:
    return "".join(c if c.isalnum() else "-" for c in text).strip("-")


# ---------------------------------------------------------------- EL classification

def el_suite(inputs, quick: bool, sizes) -> Suite:
    suite = Suite("el", "EL classification")
    sources = []
    if not quick:
        paths, missing = inputs.galen(("nt", "ttl", "rdf", "ofn"))
        sources.append(("GALEN-EL", paths, ("ttl",), missing))
    for n in sizes:
        sources.append((f"generated {n // 1000}k" if n >= 1000 else f"generated {n}",
                        inputs.generated(n, ("ofn", "nt")), ("ofn",), {}))
    for name, paths, own_formats, missing in sources:
        ident = _slug(name)
        peers_paths = dict(paths)
        specs = [
            Spec("trelvanic", "trelvanic (el)", "classify",
                 _task("trelvanic", "classify", ident + "-el", paths, profile="el", formats=own_formats)),
            Spec("trelvanic", "trelvanic (auto)", "classify",
                 _task("trelvanic", "classify", ident + "-auto", paths, profile="auto", formats=own_formats)),
            Spec("hermit", "HermiT (owlready2)", "classify",
                 _task("hermit", "classify", ident, peers_paths, java_memory_mb=12000)),
            Spec("whelk", "whelk (py-whelk)", "classify", _task("whelk", "classify", ident, peers_paths)),
        ]
        row = Row(name, specs)
        if missing:
            row.note = "; ".join(f"{f}: {why}" for f, why in missing.items())
        suite.rows.append(row)
    suite.notes.append("answers: entailed subsumptions between distinct named classes (transitive "
                       "closure of each tool's edges and equivalences), owl:Thing/owl:Nothing left out; "
                       "agreement counts pairs only this tool gives / only the reference gives")
    return suite


# ---------------------------------------------------------------- RL materialisation

def rl_suite(inputs, quick: bool, buildings: int | None, closure=(None, "no closure program")) -> Suite:
    # Whole calls of tens of milliseconds: one sample is mostly noise.
    suite = Suite("rl", "RL materialisation (Brick + owl.ttl + rdfs.ttl + one building)", answer_kind="closure",
                  min_samples=3)
    chosen = inputs.buildings(1 if quick else buildings)
    if not chosen:
        suite.notes.append("no building models found")
    for building in chosen:
        name = os.path.basename(building)[:-4]
        path, why = inputs.rl_input(building)
        files = {"ttl": path, "ttl_files": [path]} if path else {}
        ident = "rl-" + _slug(name)
        specs = [
            Spec("trelvanic", "trelvanic (rl)", "materialise",
                 _task("trelvanic", "materialise", ident, files, profile="rl", lenient=True,
                       closure_program=closure[0], closure_missing=closure[1])),
            Spec("reasonable", "reasonable", "materialise", _task("reasonable", "materialise", ident, files)),
            Spec("owlrl", "owlrl (rdflib)", "materialise", _task("owlrl", "materialise", ident, files)),
        ]
        if why:
            for s in specs:
                s.skip = why
        suite.rows.append(Row(name, specs))
    suite.notes.append("the input holds the OWL and RDFS vocabulary files, which are no OWL 2 DL ontology: "
                       "trelvanic loads it with lenient=True (unmapped vocabulary triples become warnings)")
    suite.notes.append("times, in a started process, fastest of at least three samples, one run at a time: "
                       "trelvanic load = Reasoner(path=...) (Turtle read, mapping into the core), reason = "
                       "classify() (export to triples, rule engine, merge into the ontology, post-processing); "
                       "reasonable load = load_file (its Turtle parser), reason = reason() (rules and the "
                       "closure handed back as Python tuples); owlrl load = rdflib's Turtle parser, reason = "
                       "DeductiveClosure.expand on the rdflib graph in place")
    suite.notes.append("closure size in each tool's own unit; agreement on the common view (class/property "
                       "hierarchy, equivalences, inverses, sameAs, types and property assertions between "
                       "IRIs; no blank nodes, literals, reflexive or built-in vocabulary triples; a symmetric "
                       "link counted once), against trelvanic's closure (every axiom of the classified "
                       "ontology as triples, written by bench/rl/bench_rl_call outside the timed call)")
    if closure[1]:
        suite.notes.append(f"trelvanic's closure not compared: {closure[1]}")
    return suite


# ---------------------------------------------------------------- DL

DL_SUFFIXES = {".owl": "rdf", ".rdf": "rdf", ".owx": "owx", ".ofn": "ofn"}


def dl_suite(inputs, quick: bool, sizes=()) -> Suite:
    suite = Suite("dl", "DL classification and consistency", answer_kind="dl")
    folder = os.path.join(inputs.shared, "dl")
    if quick:
        names = ["pizza.owl", "family.owl"]
    else:
        names = sorted(n for n in os.listdir(folder) if os.path.splitext(n)[1] in DL_SUFFIXES) \
            if os.path.isdir(folder) else []
    sources = [(name, {DL_SUFFIXES[os.path.splitext(name)[1]]: os.path.join(folder, name)}) for name in names]
    sources += [(f"generated ALCHIQ {n}", {"ofn": inputs.alchiq(n)}) for n in sizes]
    for name, files in sources:
        ident = "dl-" + _slug(name)
        specs = [
            Spec("trelvanic", "trelvanic (auto)", "dl", _task("trelvanic", "dl", ident, files, profile="auto")),
            Spec("hermit", "HermiT (command line)", "dl-cli", _task("hermit", "dl-cli", ident, files)),
        ]
        missing = [p for p in files.values() if not os.path.exists(p)]
        if missing:
            for s in specs:
                s.skip = f"{missing[0]} not found"
        suite.rows.append(Row(name, specs))
    suite.notes.append("HermiT: load = its parse, reason = its reasoning (preprocessing and every action), "
                       "from its own log; JVM start and output left out (jvm_s in the JSON summary)")
    suite.notes.append("agreement: HermiT's answer on the same file is the reference; extra and missing count the "
                       "entailed subsumptions between named classes (closure) only trelvanic / only HermiT gives; "
                       "a part trelvanic left undecided (incomplete, a limit) is reported and not compared, "
                       "any difference on a decided part fails the run")
    suite.notes.append("generated ALCHIQ: bench/dl/random_dl.py alchiq_ontology (a value taxonomy, concepts with "
                       "existential, universal and qualified cardinality parts, defined classes, inverse pairs)")
    return suite


# ---------------------------------------------------------------- parsing

PARSE_FORMATS = (("ofn", "functional syntax"), ("owx", "OWL/XML"), ("rdf", "RDF/XML"), ("ttl", "Turtle"))
READS = {"trelvanic": {"ofn", "owx", "rdf", "ttl"}, "owlready2": {"rdf", "owx", "nt"},
         "rdflib": {"rdf", "ttl", "nt"}, "horned-owl": {"ofn", "owx", "rdf"}}
PARSE_TOOLS = (("trelvanic", "trelvanic"), ("owlready2", "owlready2"), ("rdflib", "rdflib"),
               ("horned-owl", "horned-owl"))


def parse_suite(inputs, quick: bool) -> Suite:
    suite = Suite("parse", "Parsing (load time of one ontology in four syntaxes)", answer_kind="parse")
    sources = [("generated 10k" if quick else "generated 100k",
                inputs.generated(10000 if quick else 100000, tuple(f for f, _ in PARSE_FORMATS)), {})]
    if not quick:
        paths, missing = inputs.galen(("ttl", "rdf", "ofn", "owx"))
        sources.append(("GALEN-EL", paths, missing))
    for name, paths, missing in sources:
        for fmt, fmt_name in PARSE_FORMATS:
            ident = f"parse-{_slug(name)}-{fmt}"
            specs = []
            for tool, label in PARSE_TOOLS:
                spec = Spec(tool, label, "parse", _task(tool, "parse", ident, {fmt: paths.get(fmt)}, format=fmt))
                if fmt not in READS[tool]:
                    spec.skip = "format not read"
                elif fmt not in paths:
                    spec.skip = missing.get(fmt, "input missing")
                specs.append(spec)
            suite.rows.append(Row(f"{name} ({fmt_name})", specs))
    suite.notes.append("load = reading the file into the tool's model (trelvanic: Reasoner(path=...))")
    return suite


# ---------------------------------------------------------------- agreement

def compare_row(suite: Suite, row: Row) -> None:
    """Fills each run's agreement with the row's reference answer."""
    if suite.answer_kind == "parse":
        return
    if suite.answer_kind == "dl":
        return _compare_dl_row(row)
    answered = [r for r in row.runs if r.status == "ok" and r.answer_path
                and r.summary.get("answer_kind") != "inferred-only"]
    ref = next((r for r in answered if r.tool == "trelvanic"), answered[0] if answered else None)
    ref_set = compare.read_hashes(ref.answer_path) if ref else None
    for run in row.runs:
        if run.status != "ok":
            continue
        agreement = {}
        if run is ref:
            agreement["reference"] = True
        elif ref is not None and run.answer_path:
            mine = compare.read_hashes(run.answer_path)
            if run.summary.get("answer_kind") == "inferred-only":
                agreement["inferred_not_in_reference"] = len(mine - ref_set)
            else:
                agreement.update(compare.difference(mine, ref_set))
            agreement["reference_label"] = ref.label
        run.agreement = agreement or None


def dl_verdict(summary: dict):
    """A DL run's consistency claim: True, False, or None where it made none (an incomplete
    "consistent" is no proof of consistency)."""
    consistent = summary.get("consistent")
    if consistent and not summary.get("complete", True):
        return None
    return consistent


def _compare_dl_row(row: Row) -> None:
    """HermiT's answer is the reference of a DL row: every other run counts the subsumptions it
    gives that HermiT does not (extra) and those it leaves out (missing), and its consistency
    verdict. A part a run left undecided is reported, not compared."""
    ref = next((r for r in row.runs if r.status == "ok" and r.tool == "hermit"
                and r.summary.get("consistent") is not None), None)
    for run in row.runs:
        if run.status != "ok":
            continue
        if run is ref:
            run.agreement = {"reference": True}
            continue
        if ref is None:
            run.agreement = {"no_reference": True}
            continue
        agreement = {"reference_label": ref.label}
        mine, theirs = dl_verdict(run.summary), ref.summary.get("consistent")
        if mine is None:
            agreement["undecided"] = run.summary.get("undecided") or "consistency not proven"
        else:
            agreement["consistency_agrees"] = mine == theirs
        if theirs and ref.answer_path and run.answer_path:
            agreement.update(compare.difference(compare.read_hashes(run.answer_path),
                                                compare.read_hashes(ref.answer_path)))
        elif theirs and mine:
            agreement["undecided"] = run.summary.get("undecided") or "no taxonomy"
        run.agreement = agreement
