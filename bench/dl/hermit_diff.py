"""Differential test of the DL engine against HermiT on random small ontologies.

Writes COUNT random ontologies in functional syntax (see random_dl.py for the constructs), runs
`bench_dl FILE [--classify]` on each and HermiT's command line on all of them (batched, several
JVMs at once), and compares the consistency verdict, the unsatisfiable classes and, with
--classify, the entailed subsumptions between named classes. Every disagreement on a part the
engine decided (not null) is printed with the file that shows it, which is kept; with --shrink the
file is first cut down to the axioms the disagreement needs. Files on which the engine dies,
hangs or prints no answer are kept and listed (and cut down) the same way. The shares of files
each part was decided on are printed last.

    python3 bench/dl/hermit_diff.py BUILD/bench/dl/bench_dl --count 300 --constructs alc
    python3 bench/dl/hermit_diff.py BUILD/bench/dl/bench_dl --constructs sroiq --classify --shrink

The engine argument may be a command line ("python3 my_stub.py"); the file name (and --classify)
are appended. HermiT comes from owlready2 (importable, or in build/bench-venv or /tmp/bench-venv;
OWLREADY2_DIR names its folder); Java 17 must be on PATH. Exit status 1 when any disagreement.
"""

from __future__ import annotations

import argparse
import concurrent.futures
import os
import random
import shutil
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import answers  # noqa: E402
import random_dl  # noqa: E402
from hermit import Hermit  # noqa: E402


def run_engine_many(engine, paths, classify, timeout, jobs) -> dict:
    with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, jobs)) as pool:
        futures = {p: pool.submit(answers.run_engine, engine, p, classify, timeout) for p in paths}
        return {p: f.result() for p, f in futures.items()}


def shrink(onto: random_dl.Ontology, shows, folder: str, stem: str) -> random_dl.Ontology:
    """Drops axioms one at a time while the fault still shows; returns the smallest ontology found.
    Each round writes every single-axiom removal and asks `shows(paths)` for the first path (in
    order) that still shows the fault, or None."""
    axioms = list(onto.axioms)
    names = [_local(onto.classes), _local(onto.roles), _local(onto.individuals)]
    rounds = 0
    while len(axioms) > 1 and rounds < 40:
        rounds += 1
        trials = {}
        for k in range(len(axioms)):
            path = os.path.join(folder, f"{stem}-try{k}.ofn")
            trials[path] = axioms[:k] + axioms[k + 1:]
            with open(path, "w", encoding="utf-8") as f:
                f.write(random_dl.render(trials[path], *names, data_roles=onto.data_roles))
        found = shows(list(trials))
        for path in trials:
            os.remove(path)
        if found is None:
            break
        axioms = trials[found]
    return random_dl.Ontology(random_dl.render(axioms, *names, data_roles=onto.data_roles), onto.classes,
                              onto.roles, onto.individuals, axioms, onto.data_roles)


def disagreement_shows(fact, universe, engine, hermit: Hermit, classify, timeout):
    """The first file on which the engine still disagrees with HermiT on `fact` (HermiT on all
    of them in one JVM)."""
    def shows(paths):
        theirs = hermit.run_batch(paths)
        for path in paths:
            if theirs[path].consistent is None:
                continue
            ans = answers.run_engine(engine, path, classify, timeout)
            if fact in answers.judge(ans, theirs[path], universe, classify).facts:
                return path
        return None
    return shows


def crash_shows(engine, classify, timeout):
    """The first file on which the engine still fails (dies, hangs or prints no answer)."""
    def shows(paths):
        return next((p for p in paths if answers.run_engine(engine, p, classify, timeout).crashed), None)
    return shows


def _local(iris):
    return [answers.short(i) for i in iris]


def main(argv=None) -> int:
    ap = argparse.ArgumentParser(description="Differential test of bench_dl against HermiT.")
    ap.add_argument("engine", help="bench_dl (or any command line answering like it)")
    ap.add_argument("--count", type=int, default=200)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--constructs", default="shoiq",
                    help="presets alc, alchiq, shoiq, sroiq and features " + ",".join(random_dl.FEATURES))
    ap.add_argument("--classify", action="store_true", help="also compare the subsumptions")
    ap.add_argument("--classes", default="3,7", help="named classes per ontology: MIN,MAX")
    ap.add_argument("--axioms", default="4,12", help="axioms per ontology: MIN,MAX")
    ap.add_argument("--jobs", type=int, default=4, help="engine runs and HermiT JVMs at once")
    ap.add_argument("--timeout", type=float, default=60.0, help="seconds per file, each side")
    ap.add_argument("--out", help="folder for the files (default: a new one under /tmp)")
    ap.add_argument("--keep-all", action="store_true", help="keep every file, not only those that disagree")
    ap.add_argument("--shrink", action="store_true", help="cut each disagreeing file down first")
    ap.add_argument("--quiet", action="store_true", help="no file contents in the report")
    args = ap.parse_args(argv)
    features = random_dl.parse_features(args.constructs)
    size = random_dl.Size(classes=tuple(int(x) for x in args.classes.split(",")),
                         axioms=tuple(int(x) for x in args.axioms.split(",")))
    folder = args.out or tempfile.mkdtemp(prefix=f"dldiff-{args.seed}-", dir="/tmp")
    os.makedirs(folder, exist_ok=True)
    hermit = Hermit(timeout=args.timeout)

    ontologies = {}
    for k in range(args.count):
        onto = random_dl.random_ontology(random.Random(args.seed * 100003 + k), features, size)
        path = os.path.join(folder, f"case{k}.ofn")
        onto.write(path)
        ontologies[path] = onto
    paths = list(ontologies)
    t0 = time.perf_counter()
    ours = run_engine_many(args.engine, paths, args.classify, args.timeout, args.jobs)
    t1 = time.perf_counter()
    theirs = hermit.run_many(paths, jobs=args.jobs)
    t2 = time.perf_counter()

    compared = refused = inconsistent = crashed = 0
    no_verdict: dict = {}     # HermiT's reasons, by their first words
    open_reasons: dict = {}   # the engine's reasons for leaving a part open
    answered = {}
    disagreeing = []
    for k, path in enumerate(paths):
        ans, res = ours[path], theirs[path]
        if ans.crashed:
            crashed += 1
            disagreeing.append((path, [("engine failed", ans.error)]))
            continue
        verdict = answers.judge(ans, res, ontologies[path].classes, args.classify)
        if not verdict.compared:
            refused += 1
            why = (res.error or "?").split(":", 1)[0]
            no_verdict[why] = no_verdict.get(why, 0) + 1
            continue
        compared += 1
        inconsistent += res.consistent is False
        for part, done in verdict.answered.items():
            answered.setdefault(part, [0, 0])
            answered[part][0] += done
            answered[part][1] += 1
        if not all(verdict.answered.values()):
            why = answers.undecided_reason(ans)
            open_reasons[why] = open_reasons.get(why, 0) + 1
        if verdict.facts:
            disagreeing.append((path, verdict.facts))

    for path, facts in disagreeing:
        onto = ontologies[path]
        print(f"\n{path}: " + ("engine failed" if facts[0][0] == "engine failed"
                                else f"{len(facts)} disagreement(s)"))
        for fact in facts[:12]:
            print("  " + ": ".join(fact))
        if len(facts) > 12:
            print(f"  ... {len(facts) - 12} more")
        if args.shrink:
            if facts[0][0] == "engine failed":
                shows = crash_shows(args.engine, args.classify, args.timeout)
            else:
                shows = disagreement_shows(facts[0], onto.classes, args.engine, hermit, args.classify,
                                           args.timeout)
            small = shrink(onto, shows, folder, os.path.basename(path)[:-4])
            small_path = path[:-4] + "-small.ofn"
            small.write(small_path)
            print(f"  cut down to {len(small.axioms)} of {len(onto.axioms)} axioms, still showing "
                  f"'{facts[0][0]}': {small_path}")
            onto = small
        if not args.quiet:
            print("  " + "\n  ".join(onto.axioms))
    if not args.keep_all:
        keep = {p for p, _ in disagreeing}
        for p in paths:
            if p not in keep:
                os.remove(p)
        if not keep and not args.out:
            shutil.rmtree(folder, ignore_errors=True)

    print(f"\nconstructs {','.join(sorted(features)) or 'alc'}; {args.count} ontologies, seed {args.seed}")
    print(f"compared {compared} ({inconsistent} inconsistent for HermiT), HermiT gave no verdict on "
          f"{refused}, the engine failed on {crashed}")
    if no_verdict:
        print("  HermiT gave no verdict: " + "; ".join(f"{n} x {why}" for why, n in no_verdict.items()))
    for part, (done, total) in answered.items():
        print(f"  {part}: decided {done}/{total} ({100.0 * done / total:.0f}%)")
    if open_reasons:
        print("  why the engine left parts open (files):")
        for why, n in sorted(open_reasons.items(), key=lambda kv: -kv[1])[:10]:
            print(f"    {n:4d}  {why}")
    print(f"disagreements in {len(disagreeing) - crashed} file(s)"
          + (f", kept in {folder}" if disagreeing else ""))
    print(f"time: engine {t1 - t0:.1f} s, HermiT {t2 - t1:.1f} s ({args.jobs} at once)")
    return 1 if disagreeing or crashed else 0


if __name__ == "__main__":
    sys.exit(main())
