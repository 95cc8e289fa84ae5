#!/usr/bin/env python3
"""Benchmarks trelvanic against the reasoners its users would otherwise pick, side by side.

    python3 bench/run.py --quick                # every suite on small inputs, under two minutes
    python3 bench/run.py                        # full inputs (GALEN-EL, 10k/100k/300k, all buildings)
    python3 bench/run.py --suite el,dl --json results.json

Suites: el (EL classification), rl (RL materialisation), dl (DL classification and consistency),
parse (load time per syntax). The peers (HermiT through owlready2, whelk through py-whelk,
reasonable, owlrl, rdflib, py-horned-owl) are installed into a virtual environment under
build/bench-venv on first use; trelvanic runs in the interpreter given by --trelvanic-python
(default: this one). Every tool runs in its own process with a timeout.
"""

from __future__ import annotations

import argparse
import concurrent.futures
import datetime
import json
import os
import platform
import subprocess
import sys

BENCH = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(BENCH)
sys.path.insert(0, BENCH)

from harness import data, report, runner, suites, venv  # noqa: E402

SUITES = ("el", "rl", "dl", "parse")
SHORT_RUN_S = 10.0   # runs shorter than this take at least their suite's minimum of samples


def default_data_dir() -> str:
    for candidate in (os.path.join(REPO, "..", "shared", "data"), "/work/shared/data"):
        if os.path.isdir(candidate):
            return os.path.abspath(candidate)
    return os.path.abspath(os.path.join(REPO, "..", "shared", "data"))


def parse_args(argv):
    ap = argparse.ArgumentParser(description="Benchmarks trelvanic against peer reasoners.")
    ap.add_argument("--quick", action="store_true", help="small inputs, one building, short timeout")
    ap.add_argument("--suite", default=",".join(SUITES), help=f"comma-separated subset of {','.join(SUITES)}")
    ap.add_argument("--json", metavar="PATH", help="also write the results as JSON ('-': to stdout, tables to stderr)")
    ap.add_argument("--timeout", type=float, help="seconds per tool run (default 60 quick, 900 full)")
    ap.add_argument("--jobs", type=int, default=1, help="tool runs at once (default 1: timings are only "
                                                        "comparable one at a time)")
    ap.add_argument("--samples", type=int, help="runs of each tool on each input, the fastest reported "
                                                "(default 1 quick, 3 full)")
    ap.add_argument("--el-sizes", help="generated EL ontology sizes in classes (default 2000 quick, "
                                       "10000,100000,300000 full)")
    ap.add_argument("--dl-sizes", help="generated ALCHIQ ontology sizes in classes (default 300 quick, "
                                       "300,1000,3000 full; '' for none)")
    ap.add_argument("--buildings", type=int, help="number of building models, smallest first (default all; 1 quick)")
    ap.add_argument("--tools", help="comma-separated subset of tools to run (trelvanic, hermit, whelk, "
                                    "reasonable, owlrl, owlready2, rdflib, horned-owl)")
    ap.add_argument("--data", default=default_data_dir(), help="the shared benchmark data folder")
    ap.add_argument("--work", default=os.path.join(REPO, "build", "bench-work"), help="scratch folder")
    ap.add_argument("--venv", default=os.path.join(REPO, "build", "bench-venv"), help="peer environment")
    ap.add_argument("--reinstall", action="store_true", help="reinstall the peers")
    ap.add_argument("--no-install", action="store_true", help="use the environment as it is")
    ap.add_argument("--setup", action="store_true", help="only install the peers and prepare the inputs")
    ap.add_argument("--trelvanic-python", default=sys.executable, help="interpreter that imports _trelvanic")
    ap.add_argument("--trelvanic-path", help="folder prepended to trelvanic's PYTHONPATH (a build tree)")
    ap.add_argument("--trelvanic-bench", help="C++ build folder with the benchmark programs, whose "
                                             "bench/rl/bench_rl_call gives trelvanic's RL closure for the "
                                             "agreement column (default: the first build/*/ holding one)")
    args = ap.parse_args(argv)
    args.suites = [s.strip() for s in args.suite.split(",") if s.strip()]
    unknown = [s for s in args.suites if s not in SUITES]
    if unknown:
        ap.error(f"unknown suite {', '.join(unknown)} (choose from {', '.join(SUITES)})")
    args.timeout = args.timeout or (60.0 if args.quick else 900.0)
    args.samples = max(1, args.samples or (1 if args.quick else 3))
    sizes = args.el_sizes or ("2000" if args.quick else "10000,100000,300000")
    args.el_sizes = [int(s) for s in sizes.split(",") if s.strip()]
    dl_sizes = args.dl_sizes if args.dl_sizes is not None else ("300" if args.quick else "300,1000,3000")
    args.dl_sizes = [int(s) for s in dl_sizes.split(",") if s.strip()]
    args.tools = {t.strip() for t in args.tools.split(",") if t.strip()} if args.tools else None
    return args


def trelvanic_env(args) -> dict:
    if not args.trelvanic_path:
        return {}
    old = os.environ.get("PYTHONPATH")
    return {"PYTHONPATH": os.path.abspath(args.trelvanic_path) + (os.pathsep + old if old else "")}


def probe_trelvanic(args) -> dict:
    env = dict(os.environ, **trelvanic_env(args))
    code = ("import _trelvanic as t; r = getattr(t, 'Reasoner', None); "
            "print('ok' if r else 'no Reasoner in ' + t.__file__)")
    try:
        done = subprocess.run([args.trelvanic_python, "-c", code], capture_output=True, text=True, env=env, timeout=60)
    except (OSError, subprocess.TimeoutExpired) as exc:
        return {"ok": False, "reason": str(exc), "python": args.trelvanic_python}
    if done.returncode != 0:
        last = [l for l in done.stderr.strip().splitlines() if l.strip()]
        reason = (last[-1] if last else f"exit {done.returncode}") + " (install the module with `pip install .`)"
        return {"ok": False, "reason": reason, "python": args.trelvanic_python}
    out = done.stdout.strip()
    hint = " (install the module with `pip install .`, or point --trelvanic-path at a build)"
    return {"ok": out == "ok", "reason": "" if out == "ok" else out + hint, "python": args.trelvanic_python}


def closure_program(args) -> tuple:
    """(path, None) of the program that writes trelvanic's RL closure, or (None, why not)."""
    name = os.path.join("bench", "rl", "bench_rl_call")
    if args.trelvanic_bench:
        path = os.path.join(os.path.abspath(args.trelvanic_bench), name)
        return (path, None) if os.access(path, os.X_OK) else (None, f"{path} not built")
    build = os.path.join(REPO, "build")
    for folder in sorted(os.listdir(build)) if os.path.isdir(build) else ():
        path = os.path.join(build, folder, name)
        if os.access(path, os.X_OK):
            return path, None
    return None, ("no build/*/bench/rl/bench_rl_call: build the benchmarks (-DTRELVANIC_BUILD_BENCH=ON) "
                  "or name the folder with --trelvanic-bench")


def plan(args, inputs):
    planned = []
    for key in args.suites:
        if key == "el":
            planned.append(suites.el_suite(inputs, args.quick, args.el_sizes))
        elif key == "rl":
            planned.append(suites.rl_suite(inputs, args.quick, args.buildings, closure_program(args)))
        elif key == "dl":
            planned.append(suites.dl_suite(inputs, args.quick, args.dl_sizes))
        else:
            planned.append(suites.parse_suite(inputs, args.quick))
    return planned


def execute(args, planned, tools, trelvanic):
    work = os.path.join(args.work, "runs")
    py_peers = venv.venv_python(args.venv)
    env_own = trelvanic_env(args)
    jobs = []
    for suite in planned:
        for row in suite.rows:
            row.runs = [None] * len(row.specs)
            for i, spec in enumerate(row.specs):
                jobs.append((suite, row, i, spec))

    def one(job):
        """The fastest of the samples; a run that does not finish ends the sampling. A suite's
        minimum of samples holds for runs of a few seconds, whose times noise moves most."""
        best = None
        taken = 0
        while taken < args.samples or (taken < job[0].min_samples and (best.wall_s or 0) < SHORT_RUN_S):
            run = one_sample(job)
            taken += 1
            if run.status != "ok":
                return run
            if best is None or (run.wall_s or 0) < (best.wall_s or 0):
                best = run
        return best

    def one_sample(job):
        suite, row, i, spec = job
        if spec.skip:
            return runner.Run(spec.tool, spec.label, "skipped", reason=spec.skip)
        if args.tools is not None and spec.tool not in args.tools:
            return runner.Run(spec.tool, spec.label, "skipped", reason="not selected (--tools)")
        if spec.tool == "trelvanic":
            if not trelvanic["ok"]:
                return runner.Run(spec.tool, spec.label, "not available", reason=trelvanic["reason"])
            return runner.run_tool(args.trelvanic_python, spec.task, spec.label, work, args.timeout, env_own)
        info = tools.get(spec.tool, {"ok": False, "reason": "unknown tool"})
        if not info["ok"]:
            return runner.Run(spec.tool, spec.label, "not installed", reason=info["reason"])
        return runner.run_tool(py_peers, spec.task, spec.label, work, args.timeout)

    with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, args.jobs)) as pool:
        futures = {pool.submit(one, job): job for job in jobs}
        for done in concurrent.futures.as_completed(futures):
            suite, row, i, spec = futures[done]
            run = done.result()
            row.runs[i] = run
            if run.status not in ("skipped",):
                took = f" {run.wall_s:.1f} s" if run.wall_s else ""
                print(f"bench: {suite.key} | {row.input} | {spec.label}: {run.status}{took}",
                      file=sys.stderr, flush=True)
    for suite in planned:
        for row in suite.rows:
            suites.compare_row(suite, row)


def differences(planned) -> list:
    """Every run whose answer differs from its row's reference, as printable lines."""
    out = []
    for suite in planned:
        for row in suite.rows:
            for run in row.runs or ():
                a = getattr(run, "agreement", None) or {}
                counts = {k: a.get(k, 0) for k in ("only_here", "only_reference", "inferred_not_in_reference",
                                                  "consistency_agrees")}
                if counts["only_here"] or counts["only_reference"] or counts["inferred_not_in_reference"] \
                        or a.get("consistency_agrees") is False:
                    out.append(f"{suite.key} | {row.input} | {run.label}: "
                               f"{counts['only_here']:,} extra, {counts['only_reference']:,} missing"
                               + (f", {counts['inferred_not_in_reference']:,} inferred not in reference"
                                  if counts["inferred_not_in_reference"] else "")
                               + (", consistency differs" if a.get("consistency_agrees") is False else "")
                               + f" vs {a.get('reference_label', 'the reference')}")
    return out


def main(argv=None) -> int:
    args = parse_args(argv)
    started = datetime.datetime.now(datetime.timezone.utc)
    os.makedirs(args.work, exist_ok=True)
    tools = venv.ensure(args.venv, reinstall=args.reinstall, offline=args.no_install)
    trelvanic = probe_trelvanic(args)
    inputs = data.Inputs(args.data, args.work, venv.venv_python(args.venv))
    planned = plan(args, inputs)
    if args.setup:
        print(report.tools_table(tools, trelvanic))
        print(f"bench: peers in {args.venv}, inputs in {inputs.dir}")
        return 0
    execute(args, planned, tools, trelvanic)
    to_stdout = args.json == "-"
    out = sys.stderr if to_stdout else sys.stdout
    print(report.tools_table(tools, trelvanic), file=out)
    for suite in planned:
        print("", file=out)
        print(report.suite_table(suite), file=out)
    finished = datetime.datetime.now(datetime.timezone.utc)
    print(f"\nbench: {'quick' if args.quick else 'full'} run took "
          f"{(finished - started).total_seconds():.0f} s with {args.jobs} job(s) at once, "
          f"fastest of {args.samples} sample(s) per run"
          + "".join(f", {s.key}: at least {s.min_samples} for runs under {SHORT_RUN_S:.0f} s"
                    for s in planned if s.min_samples > args.samples), file=out)
    differing = differences(planned)
    for line in differing:
        print(f"bench: ANSWERS DIFFER: {line}", file=sys.stderr)
    for line in sorted({f"{suite.key} | {run.label}: {run.summary['no_answer']}" for suite in planned
                        for row in suite.rows for run in row.runs or ()
                        if run.status == "ok" and run.summary.get("no_answer")}):
        print(f"bench: ANSWER NOT COMPARED: {line}", file=sys.stderr)
    if args.json:
        meta = {"started": started.isoformat(), "seconds": (finished - started).total_seconds(),
                "quick": args.quick, "jobs": args.jobs, "samples": args.samples, "timeout_s": args.timeout,
                "machine": platform.platform(), "cpus": os.cpu_count(), "python": sys.version.split()[0]}
        doc = report.to_json(meta, tools, trelvanic, planned)
        if to_stdout:
            json.dump(doc, sys.stdout, indent=1)
            print()
        else:
            with open(args.json, "w", encoding="utf-8") as f:
                json.dump(doc, f, indent=1)
    return 1 if differing else 0


if __name__ == "__main__":
    sys.exit(main())
