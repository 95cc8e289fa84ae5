"""DL classification benchmark: the engine (`bench_dl FILE --classify`) against HermiT on the
ontologies in ../shared/data/dl/ and on generated ALCHIQ ontologies of growing size.

    python3 bench/dl/classify_suite.py BUILD/bench/dl/bench_dl [--sizes 300,1000,3000] [--samples 3] [--json OUT]

Each shared file is first rewritten as functional syntax by BUILD/bench/dl/bench_to_functional
(the project's loader and writer); HermiT reasons over the original and over the rewritten file,
so the table also shows whether the rewriting kept HermiT's answer, and the engine's answer is
compared with HermiT's on the rewritten file, the one both read. Generated ontologies come from
random_dl.alchiq_ontology. One HermiT JVM per file: its parse and reasoning times come from
HermiT's own log, the rest of its wall time (JVM start, output) is shown apart; peak memory is the
maximum resident size of each process (the JVM for HermiT). The engine's time is its wall time,
with the phase times it prints (JSON fields ending in _s) listed beside. Each tool runs several
times on each file, one run at a time, and the fastest run is shown.

The engine's answer is compared with HermiT's: the agreement column counts the subsumptions only
the engine gives (extra) and only HermiT gives (missing), and unsatisfiable classes alike. A part
the engine left undecided is named there and not compared; any difference on a decided part (or
an answer that changes between samples) is printed as `bench: ANSWERS DIFFER` and the exit status
is 1.
"""

from __future__ import annotations

import argparse
import json
import os
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import answers  # noqa: E402
import random_dl  # noqa: E402
from harness import report  # noqa: E402
from hermit import Hermit  # noqa: E402

REPO = os.path.dirname(os.path.dirname(HERE))


def shared_dl_dir() -> str:
    for candidate in (os.path.join(REPO, "..", "shared", "data", "dl"), "/work/shared/data/dl"):
        if os.path.isdir(candidate):
            return os.path.abspath(candidate)
    return os.path.abspath(os.path.join(REPO, "..", "shared", "data", "dl"))


def convert(converter: str, src: str, out: str) -> str | None:
    """Rewrites `src` as functional syntax into `out` (once); returns None or why it failed."""
    if os.path.exists(out) and os.path.getmtime(out) >= os.path.getmtime(src):
        return None
    try:
        done = subprocess.run([converter, src, out + ".part"], capture_output=True, text=True, timeout=600)
    except (OSError, subprocess.TimeoutExpired) as exc:
        return f"cannot convert: {exc}"
    if done.returncode != 0:
        return (done.stderr.strip().splitlines() or [f"exit {done.returncode}"])[-1][:300]
    os.replace(out + ".part", out)
    return None


def hermit_key(res) -> tuple:
    """What HermiT answered, for telling samples apart."""
    if not res.consistent:
        return (res.consistent,)
    pairs, unsat = answers.hermit_taxonomy(res, ())
    return (True, frozenset(pairs), frozenset(unsat))


def engine_key(ans) -> tuple:
    """What the engine answered (None for a part it left open), for telling samples apart."""
    if ans.crashed:
        return ("crashed",)
    if not ans.consistent or ans.subsumptions is None:
        return (ans.consistent, None if ans.unsatisfiable is None else frozenset(ans.unsatisfiable))
    pairs, unsat = answers.engine_taxonomy(ans, ())
    return (True, frozenset(pairs), frozenset(unsat))


def sampled(samples: int, run_once, key, seconds, final):
    """Runs `run_once` up to `samples` times, one after the other; returns the fastest outcome (by
    `seconds`) and whether every outcome answered alike (by `key`). An outcome for which `final`
    holds (no verdict, a crash) ends the sampling."""
    best, first, steady = None, None, True
    for _ in range(samples):
        out = run_once()
        k = key(out)
        first = k if first is None else first
        steady = steady and k == first
        if best is None or seconds(out) < seconds(best):
            best = out
        if final(out):
            break
    return best, steady


def timed_hermit(hermit: Hermit, path: str, samples: int = 1):
    def once():
        start = time.perf_counter()
        res = hermit.run(path)
        return res, time.perf_counter() - start

    (res, wall), steady = sampled(samples, once, lambda o: hermit_key(o[0]), lambda o: o[1],
                                  lambda o: o[0].consistent is None)
    return res, wall, steady


def timed_engine(engine: str, path: str, timeout: float, samples: int = 1):
    return sampled(samples, lambda: answers.run_engine(engine, path, classify=True, timeout=timeout),
                   engine_key, lambda a: a.seconds, lambda a: a.crashed)


def hermit_answer(res) -> str:
    if res.consistent is None:
        return f"no verdict: {res.error}"[:100]
    if not res.consistent:
        return "inconsistent"
    pairs, unsat = answers.hermit_taxonomy(res, ())
    return f"{len(pairs):,} subs, {len(unsat)} unsat"


def same_answer(a, b) -> bool:
    if a.consistent != b.consistent:
        return False
    return answers.hermit_taxonomy(a, ()) == answers.hermit_taxonomy(b, ())


def engine_answer(ans) -> str:
    if ans.crashed:
        return f"failed: {ans.error}"
    verdict = {True: "consistent", False: "inconsistent", None: "undecided"}[ans.consistent]
    if ans.consistent and ans.subsumptions is not None:
        pairs, unsat = answers.engine_taxonomy(ans, ())
        return f"{len(pairs):,} subs, {len(unsat)} unsat"
    if ans.consistent and ans.subsumptions is None:
        verdict += ", taxonomy undecided"
    undecided = ans.consistent is None or (ans.consistent and ans.subsumptions is None)
    return verdict + (f" ({answers.undecided_reason(ans)})" if undecided else "")


# How each kind of disagreement is counted in the agreement column.
FACT_COUNTS = (("subsumption only ours", "extra subs"), ("subsumption only HermiT", "missing subs"),
               ("unsatisfiable only ours", "extra unsat"), ("unsatisfiable only HermiT", "missing unsat"))


def agreement(ans, res, universe) -> tuple[str, list]:
    """The agreement cell and the disagreeing facts: counts of subsumptions (closure, between
    named classes) and unsatisfiable classes only the engine gives (extra) or only HermiT gives
    (missing), on the parts the engine decided; the parts it left open are named, not compared."""
    if ans.crashed:
        return "-", []
    if res.consistent is None:
        return "no HermiT verdict, not compared", []
    facts = answers.judge(ans, res, universe, classify=True).facts
    open_parts = []
    if ans.consistent is None:
        open_parts.append("consistency")
    elif ans.consistent and res.consistent and ans.subsumptions is None:
        open_parts.append("taxonomy")
    counts = {k: 0 for k, _ in FACT_COUNTS}
    for f in facts:
        if f[0] in counts:
            counts[f[0]] += 1
    parts = []
    if any(f[0] == "consistency" for f in facts):
        parts.append("CONSISTENCY DIFFERS")
    if ans.consistent and res.consistent and ans.subsumptions is not None:
        parts.append(f"{counts['subsumption only ours']:,} extra, {counts['subsumption only HermiT']:,} missing subs")
    if any(counts[k] for k, _ in FACT_COUNTS[2:]):
        parts.append(", ".join(f"{counts[k]} {label}" for k, label in FACT_COUNTS[2:] if counts[k]))
    if not facts:
        parts = ["same as HermiT" if not open_parts else "agrees where decided"]
    if open_parts:
        parts.append(f"{' and '.join(open_parts)} undecided, not compared")
    return "; ".join(parts), facts


def _s(x) -> str:
    return "-" if x is None else (f"{x:.3f}" if x < 10 else f"{x:.1f}")


def main(argv=None) -> int:
    ap = argparse.ArgumentParser(description="DL classification: the engine against HermiT.")
    ap.add_argument("engine", help="bench_dl (or a command line answering like it)")
    ap.add_argument("--converter", help="bench_to_functional (default: beside the engine)")
    ap.add_argument("--data", default=shared_dl_dir(), help="folder of the shared DL ontologies")
    ap.add_argument("--sizes", default="300,1000,3000", help="classes of the generated ontologies ('' for none)")
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--work", default=os.path.join(REPO, "build", "bench-work", "dl"))
    ap.add_argument("--timeout", type=float, default=900.0, help="seconds per run, each side")
    ap.add_argument("--json", help="also write the rows as JSON to this file")
    ap.add_argument("--show", type=int, default=10, help="disagreeing facts printed per input")
    ap.add_argument("--samples", type=int, default=3, help="runs of each tool on each file, one at a time; "
                                                           "the fastest is reported (default 3)")
    args = ap.parse_args(argv)
    args.samples = max(1, args.samples)
    converter = args.converter or os.path.join(os.path.dirname(answers.engine_command(args.engine)[0]),
                                               "bench_to_functional")
    os.makedirs(args.work, exist_ok=True)
    hermit = Hermit(timeout=args.timeout)

    inputs = []   # (name, original or None, functional-syntax path or None, why not, universe)
    if os.path.isdir(args.data):
        for name in sorted(os.listdir(args.data)):
            if not name.endswith((".owl", ".owx", ".rdf", ".ofn")):
                continue
            src = os.path.join(args.data, name)
            out = os.path.join(args.work, os.path.splitext(name)[0] + ".ofn")
            why = convert(converter, src, out) if os.path.exists(converter) else f"{converter} not built"
            inputs.append((name, src, None if why else out, why, ()))
    for n in [int(x) for x in args.sizes.split(",") if x.strip()]:
        onto = random_dl.alchiq_ontology(n, args.seed)
        path = os.path.join(args.work, f"alchiq-{n}-{args.seed}.ofn")
        onto.write(path)
        inputs.append((f"generated ALCHIQ {n}", None, path, None, onto.classes))

    head = ["input", "tool", "parse s", "reason s", "other s", "total s", "peak MiB", "answer", "agreement",
            "time includes"]
    lines, rows, details = [], [], []
    for name, original, path, why, universe in inputs:
        print(f"bench: {name}", file=sys.stderr, flush=True)
        row = {"input": name}
        if original:
            res, wall, steady = timed_hermit(hermit, original, args.samples)
            row["hermit_original"] = _hermit_json(res, wall)
            lines.append([name, "HermiT (original file)", *_hermit_cells(res, wall), hermit_answer(res),
                          "-" if steady else "ANSWER CHANGED BETWEEN SAMPLES", HERMIT_TIMED])
        if path is None:
            lines.append([name, "(note)", f"not rewritten as functional syntax: {why}"])
            row["note"] = why
            rows.append(row)
            continue
        res_f, wall_f, steady_f = timed_hermit(hermit, path, args.samples)
        row["hermit"] = _hermit_json(res_f, wall_f)
        note = "-"
        if original and row["hermit_original"]["consistent"] is not None:
            note = "same as on the original" if same_answer(res, res_f) else "DIFFERS from the original"
        if not steady_f:
            note = "ANSWER CHANGED BETWEEN SAMPLES" if note == "-" else note + "; ANSWER CHANGED BETWEEN SAMPLES"
        label = "HermiT (rewritten)" if original else "HermiT"
        lines.append([name, label, *_hermit_cells(res_f, wall_f), hermit_answer(res_f), note, HERMIT_TIMED])
        ans, steady = timed_engine(args.engine, path, args.timeout, args.samples)
        phases = ", ".join(f"{k} {_s(v)}" for k, v in sorted(ans.extra.items()))
        text, facts = agreement(ans, res_f, universe)
        if not steady:
            facts = facts + [("answer changed between samples", name)]
            text += "; ANSWER CHANGED BETWEEN SAMPLES"
        speed = ""
        decided = ans.consistent is False or ans.subsumptions is not None
        if res_f.reason_ms and not ans.crashed and ans.seconds and decided:
            speed = f"; HermiT reasoning / ours = {res_f.reason_ms / 1000.0 / ans.seconds:.2f}x"
        lines.append([name, "trelvanic (bench_dl)", "-", phases or "-", "-", _s(ans.seconds),
                      f"{ans.peak_mib:.0f}" if ans.peak_mib else "-", engine_answer(ans), text + speed,
                      ENGINE_TIMED])
        row["ours"] = {"consistent": ans.consistent, "answer": engine_answer(ans), "seconds": ans.seconds,
                       "phases": ans.extra, "peak_mib": ans.peak_mib, "error": ans.error,
                       "agreement": text, "disagreements": [list(f) for f in facts]}
        if facts:
            details.append((name, path, facts))
        rows.append(row)

    notes = [f"fastest of {args.samples} sample(s) per tool and file, one run at a time; an answer that "
             "changes between samples counts as a disagreement",
             "answers: entailed subsumptions between distinct named classes (closure), owl:Thing and "
             "owl:Nothing left out; agreement of trelvanic is with HermiT on the same (rewritten) file: "
             "extra = only ours, missing = only HermiT's; a part the engine left undecided is named, not "
             "compared, and is no failure"]
    print(report._render("DL classification (bench_dl --classify against HermiT)", head, lines, notes))
    for name, path, facts in details:
        print(f"\n{name} ({path}): {len(facts)} disagreement(s)")
        for f in facts[:args.show]:
            print("  " + ": ".join(f))
    for name, path, facts in details:
        print(f"bench: ANSWERS DIFFER: {name} ({path}): {len(facts)} disagreement(s), first: {': '.join(facts[0])}",
              file=sys.stderr)
    if args.json:
        with open(args.json, "w", encoding="utf-8") as f:
            json.dump(rows, f, indent=1)
    return 1 if details else 0


HERMIT_TIMED = "parse, reason: its log; other: JVM start, output; no temp files"
ENGINE_TIMED = "whole process: start, load, reasoning, output; no temp files (rewrite untimed)"


def _hermit_cells(res, wall) -> list:
    parse = res.parse_ms / 1000.0 if res.parse_ms is not None else None
    reason = res.reason_ms / 1000.0 if res.reason_ms is not None else None
    other = wall - (parse or 0.0) - (reason or 0.0)
    return [_s(parse), _s(reason), _s(other), _s(wall), f"{res.peak_mib:.0f}" if res.peak_mib else "-"]


def _hermit_json(res, wall) -> dict:
    pairs, unsat = answers.hermit_taxonomy(res, ()) if res.consistent else (set(), set())
    return {"consistent": res.consistent, "error": res.error, "parse_ms": res.parse_ms,
            "reason_ms": res.reason_ms, "wall_s": wall, "peak_mib": res.peak_mib,
            "subsumptions": len(pairs), "unsatisfiable": len(unsat)}


if __name__ == "__main__":
    sys.exit(main())
