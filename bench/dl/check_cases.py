"""Checks the table of small DL cases (bench/dl/cases/index.json) against HermiT, and the engine
against the table.

Each entry names a functional-syntax file beside the index and what holds in it: "consistent",
and optionally "unsatisfiable" / "satisfiable" (local names of classes), "entailed" /
"not_entailed" ([sub, sup] pairs of local names), with "shows", the point of the case in words.

    python3 bench/dl/check_cases.py                       # every expectation against HermiT
    python3 bench/dl/check_cases.py --engine BUILD/bench/dl/bench_dl [--classify]

With --engine the engine's answer on each file is checked against the table; a part the engine
leaves undecided (null) counts as undecided, not as wrong. Exit status 1 when anything is wrong.
"""

from __future__ import annotations

import argparse
import concurrent.futures
import json
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import answers  # noqa: E402
from hermit import Hermit  # noqa: E402

CASES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "cases")


def load_index(folder: str = CASES) -> list:
    with open(os.path.join(folder, "index.json"), encoding="utf-8") as f:
        return json.load(f)


def _local(pairs):
    return {tuple(answers.short(x) for x in p.split("\t")) for p in pairs}


def check(entry: dict, consistent, unsat, pairs) -> tuple[list, list]:
    """(wrong, undecided): the expectations the answer contradicts and those it leaves open.
    `unsat` (local names) and `pairs` (set of local (sub, sup)) are None when not decided."""
    wrong, undecided = [], []
    if consistent is None:
        return wrong, ["consistency"]
    if consistent != entry["consistent"]:
        wrong.append(f"{'consistent' if consistent else 'inconsistent'}, expected "
                     f"{'consistent' if entry['consistent'] else 'inconsistent'}")
        return wrong, undecided
    if not consistent:
        return wrong, undecided
    for key, want in (("unsatisfiable", True), ("satisfiable", False)):
        for name in entry.get(key, ()):
            if unsat is None:
                undecided.append(f"{name} {key}")
            elif (name in unsat) != want:
                wrong.append(f"{name} {'unsatisfiable' if name in unsat else 'satisfiable'}, expected {key}")
    for key, want in (("entailed", True), ("not_entailed", False)):
        for sub, sup in entry.get(key, ()):
            if pairs is None:
                undecided.append(f"{sub} below {sup}")
            elif ((sub, sup) in pairs or (unsat is not None and sub in unsat)) != want:
                wrong.append(f"{sub} below {sup} {'entailed' if want is False else 'not entailed'}, "
                             f"expected {key.replace('_', ' ')}")
    return wrong, undecided


def main(argv=None) -> int:
    ap = argparse.ArgumentParser(description="Checks the DL case table against HermiT and the engine.")
    ap.add_argument("--engine", help="bench_dl (or a command line answering like it)")
    ap.add_argument("--classify", action="store_true", help="ask the engine for its subsumptions too")
    ap.add_argument("--cases", default=CASES, help="folder with index.json and the files")
    ap.add_argument("--jobs", type=int, default=4)
    ap.add_argument("--timeout", type=float, default=60.0)
    args = ap.parse_args(argv)
    index = load_index(args.cases)
    paths = [os.path.join(args.cases, e["file"]) for e in index]
    theirs = Hermit(timeout=args.timeout).run_many(paths, jobs=args.jobs)
    ours = {}
    if args.engine:
        with concurrent.futures.ThreadPoolExecutor(max_workers=args.jobs) as pool:
            futures = {p: pool.submit(answers.run_engine, args.engine, p, args.classify, args.timeout)
                       for p in paths}
            ours = {p: f.result() for p, f in futures.items()}
    failures = 0
    counts = {"right": 0, "undecided": 0, "wrong": 0}
    for entry, path in zip(index, paths):
        res = theirs[path]
        pairs, unsat = answers.hermit_taxonomy(res, ())
        wrong, undecided = check(entry, res.consistent, {answers.short(c) for c in unsat}, _local(pairs))
        if res.consistent is None:
            wrong = [f"HermiT gave no verdict: {res.error}"]
        if wrong or undecided:
            failures += 1
            print(f"{entry['file']}: HermiT disagrees with the table: {'; '.join(wrong + undecided)}")
        if path in ours:
            ans = ours[path]
            if ans.crashed:
                counts["wrong"] += 1
                print(f"{entry['file']}: engine failed: {ans.error}")
                continue
            e_unsat = None if ans.unsatisfiable is None else {answers.short(c) for c in ans.unsatisfiable}
            e_pairs = None
            if ans.subsumptions is not None:
                e_pairs = _local(answers.engine_taxonomy(ans, ())[0])
            wrong, undecided = check(entry, ans.consistent, e_unsat, e_pairs)
            kind = "wrong" if wrong else "undecided" if undecided else "right"
            counts[kind] += 1
            if wrong:
                print(f"{entry['file']}: WRONG: {'; '.join(wrong)} ({entry['shows']})")
            elif undecided:
                print(f"{entry['file']}: undecided: {', '.join(undecided)}")
    print(f"{len(index)} cases; HermiT disagrees with {failures}")
    if args.engine:
        print(f"engine: {counts['right']} right, {counts['undecided']} undecided, {counts['wrong']} wrong")
    return 1 if failures or counts["wrong"] else 0


if __name__ == "__main__":
    sys.exit(main())
