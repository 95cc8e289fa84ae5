"""The DL engine's answers (`bench_dl FILE [--classify]`) beside HermiT's, as comparable sets.

bench_dl prints one JSON line: {"consistent": true|false|null, "unsatisfiable": [IRI...]|null,
"subsumptions": [[sub, sup]...]|null, "error": null|"text"}, where null means the engine did not
decide that part. Both sides' taxonomies become the transitive closure of subsumptions between
distinct named classes (owl:Thing and owl:Nothing left out, unsatisfiable classes kept apart, a
class equivalent to owl:Thing above every class), so that direct edges, full closures and
equivalence groups compare alike.
"""

from __future__ import annotations

import json
import os
import shlex
import sys
from dataclasses import dataclass, field

BENCH = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
if BENCH not in sys.path:
    sys.path.append(BENCH)

from harness import compare, runner  # noqa: E402

THING, NOTHING = compare.THING, compare.NOTHING


@dataclass
class EngineAnswer:
    consistent: bool | None = None
    unsatisfiable: set | None = None
    subsumptions: list | None = None
    error: str | None = None
    crashed: bool = False        # no JSON line: the engine died, hung or printed something else
    seconds: float = 0.0
    peak_mib: float | None = None
    extra: dict = field(default_factory=dict)   # the phase times it printed (fields ending in _s)
    stderr: str = ""                              # what it said besides the answer (why it left a part open)


def engine_command(engine: str) -> list[str]:
    """"build/bench/dl/bench_dl" or a command line ("python3 stub.py")."""
    return shlex.split(engine)


def run_engine(engine: str, path: str, classify: bool = False, timeout: float = 60.0) -> EngineAnswer:
    cmd = engine_command(engine) + [path] + (["--classify"] if classify else [])
    try:
        done = runner.run_process(cmd, timeout)
    except OSError as exc:
        return EngineAnswer(error=f"cannot start {cmd[0]}: {exc}", crashed=True)
    ans = EngineAnswer(seconds=done.wall_s, peak_mib=done.peak_mib)
    if done.timed_out:
        ans.error, ans.crashed = f"no answer within {timeout:.0f} s", True
        return ans
    code = done.returncode
    output = {"out": done.stdout, "err": done.stderr}
    line = next((l for l in reversed(output.get("out", "").splitlines()) if l.strip().startswith("{")), None)
    try:
        doc = json.loads(line) if line else None
    except ValueError:
        doc = None
    if not isinstance(doc, dict):
        tail = " | ".join(l for l in output.get("err", "").strip().splitlines()[-3:])
        why = f"killed by signal {-code}" if code < 0 else f"exit {code} without a JSON answer"
        ans.error, ans.crashed = (why + (f": {tail}" if tail else ""))[:400], True
        return ans
    ans.consistent = doc.get("consistent")
    unsat = doc.get("unsatisfiable")
    ans.unsatisfiable = None if unsat is None else {c for c in unsat if c not in (THING, NOTHING)}
    subs = doc.get("subsumptions")
    ans.subsumptions = None if subs is None else [tuple(p) for p in subs]
    ans.error = doc.get("error")
    ans.stderr = output.get("err", "")[:2000]
    ans.extra = {k: v for k, v in doc.items() if k.endswith("_s") and isinstance(v, (int, float))}
    return ans


def closure(universe, direct=(), groups=(), unsatisfiable=()) -> tuple[set, set]:
    """(pairs, unsat): the entailed subsumptions "sub\\tsup" between distinct named classes and
    the unsatisfiable classes, from direct (sub, sup) pairs and equivalence groups."""
    direct = list(direct)
    groups = [list(g) for g in groups]
    ups: dict = {}
    for a, b in direct:
        ups.setdefault(a, set()).add(b)
    for g in groups:
        for a in g:
            ups.setdefault(a, set()).update(x for x in g if x != a)
    # Classes above owl:Thing are above every class.
    tops, stack = set(), [THING]
    while stack:
        for nxt in ups.get(stack.pop(), ()):
            if nxt not in tops and nxt != THING:
                tops.add(nxt)
                stack.append(nxt)
    names = set(universe) | {x for pair in direct for x in pair} | {x for g in groups for x in g}
    names -= {THING, NOTHING}
    extra = [(x, t) for t in tops for x in names if x != t]
    return compare.subsumption_closure(names, direct + extra, groups, unsatisfiable)


def engine_taxonomy(ans: EngineAnswer, universe) -> tuple[set, set]:
    return closure(universe, ans.subsumptions or (), (), ans.unsatisfiable or ())


def hermit_taxonomy(res, universe) -> tuple[set, set]:
    return closure(universe, res.direct, res.groups, res.unsatisfiable)


@dataclass
class Verdict:
    """How the engine's answer on one file stands against HermiT's."""
    compared: bool = False       # both sides gave a consistency verdict
    answered: dict = field(default_factory=dict)    # part -> whether the engine decided it
    facts: list = field(default_factory=list)       # the disagreements, as tuples (kind, ...)


def short(iri: str) -> str:
    return iri.rsplit("#", 1)[-1] if "#" in iri else iri.rsplit("/", 1)[-1]


def judge(ans: EngineAnswer, res, universe, classify: bool) -> Verdict:
    """Every fact on which the engine's decided answer differs from HermiT's."""
    v = Verdict()
    v.answered = {"consistency": ans.consistent is not None}
    if ans.crashed or res.consistent is None:
        return v
    v.compared = True
    if ans.consistent is None:
        return v
    if ans.consistent != res.consistent:
        v.facts.append(("consistency", "ours " + ("consistent" if ans.consistent else "inconsistent"),
                        "HermiT " + ("consistent" if res.consistent else "inconsistent")))
        return v
    if not res.consistent:
        return v
    v.answered["unsatisfiable"] = ans.unsatisfiable is not None
    if ans.unsatisfiable is not None:
        for c in sorted(ans.unsatisfiable - res.unsatisfiable):
            v.facts.append(("unsatisfiable only ours", short(c)))
        for c in sorted(res.unsatisfiable - ans.unsatisfiable):
            v.facts.append(("unsatisfiable only HermiT", short(c)))
    if classify:
        v.answered["subsumptions"] = ans.subsumptions is not None
        if ans.subsumptions is not None:
            mine, unsat_mine = engine_taxonomy(ans, universe)
            theirs, unsat_theirs = hermit_taxonomy(res, universe)
            # A class unsatisfiable on one side only is reported above, not once per class.
            either = unsat_mine | unsat_theirs
            mine = {p for p in mine if p.split("\t", 1)[0] not in either}
            theirs = {p for p in theirs if p.split("\t", 1)[0] not in either}
            for pair in sorted(mine - theirs):
                v.facts.append(("subsumption only ours",) + tuple(short(x) for x in pair.split("\t")))
            for pair in sorted(theirs - mine):
                v.facts.append(("subsumption only HermiT",) + tuple(short(x) for x in pair.split("\t")))
    return v


def undecided_reason(ans: EngineAnswer) -> str:
    """One line on why the engine left a part open: its first specific remark on standard error
    (a construct the loader skipped, a limit), else its error text."""
    for line in ans.stderr.splitlines():
        line = line.strip()
        if line and not line.startswith(("not decided in full: axioms skipped", "undecided: an open branch")):
            return line[:110]
    return (ans.error or "no reason given")[:110]
