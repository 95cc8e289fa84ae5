"""Runs one tool on one input in a fresh worker process, with a timeout, and measures it.

Wall times of the phases come from the worker, and so does peak memory (the maximum resident set
size of the worker and its waited-for children, so HermiT's Java process counts too, taken at
the end of the timed phases). Where the worker gives none (it was killed), the peak is wait4's.
A worker that times out is killed with its whole process group.
"""

from __future__ import annotations

import json
import os
import signal
import subprocess
import threading
import time
from dataclasses import dataclass, field

HERE = os.path.dirname(os.path.abspath(__file__))
WORKER = os.path.join(HERE, "worker.py")


@dataclass
class Run:
    tool: str
    label: str                 # column name, e.g. "trelvanic (el)"
    status: str                # "ok", "not available", "failed", "timeout"
    phases: dict = field(default_factory=dict)
    summary: dict = field(default_factory=dict)
    reason: str = ""
    peak_mib: float | None = None
    wall_s: float = 0.0
    answer_path: str | None = None
    agreement: dict | None = None

    def time(self, phase: str):
        return self.phases.get(phase)

    def total(self):
        return sum(self.phases.values()) if self.status == "ok" else None

    def to_json(self) -> dict:
        return {"tool": self.tool, "label": self.label, "status": self.status, "reason": self.reason,
                "phases_s": self.phases, "total_s": self.total(), "peak_mib": self.peak_mib,
                "summary": self.summary, "agreement": self.agreement}


@dataclass
class Process:
    returncode: int
    stdout: str
    stderr: str
    timed_out: bool
    wall_s: float
    peak_mib: float     # maximum resident set size of the process and its waited-for children


def run_process(cmd: list, timeout: float, env: dict | None = None) -> Process:
    """Runs `cmd` in a process group of its own, killed whole after `timeout` seconds (and once it
    exits, so that no grandchild such as a JVM outlives it). Raises OSError if it cannot start."""
    start = time.perf_counter()
    proc = subprocess.Popen(cmd, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, env=env, start_new_session=True)
    output = {}

    def drain(name, stream):
        output[name] = stream.read().decode("utf-8", "replace")

    readers = [threading.Thread(target=drain, args=(n, s), daemon=True)
               for n, s in (("stdout", proc.stdout), ("stderr", proc.stderr))]
    for r in readers:
        r.start()
    timed_out = threading.Event()

    def kill():
        timed_out.set()
        try:
            os.killpg(proc.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass

    timer = threading.Timer(timeout, kill)
    timer.start()
    _, status, usage = os.wait4(proc.pid, 0)
    timer.cancel()
    proc.returncode = os.waitstatus_to_exitcode(status)
    try:  # a grandchild left behind (a JVM) must not outlive its parent
        os.killpg(proc.pid, signal.SIGKILL)
    except (ProcessLookupError, PermissionError):
        pass
    for r in readers:
        r.join(5)
    return Process(proc.returncode, output.get("stdout", ""), output.get("stderr", ""), timed_out.is_set(),
                   time.perf_counter() - start, usage.ru_maxrss / 1024.0)   # KiB on Linux


def _tail(text: str, lines: int = 3) -> str:
    kept = [line for line in text.strip().splitlines() if line.strip()][-lines:]
    return " | ".join(kept)[-400:]


def run_tool(python: str, task: dict, label: str, work_dir: str, timeout: float,
             env_extra: dict | None = None) -> Run:
    """Runs `task` (see adapters.py) under the interpreter `python`; never raises for a tool's
    failure, which comes back as the Run's status and reason."""
    os.makedirs(work_dir, exist_ok=True)
    stem = os.path.join(work_dir, f"{task['tool']}-{task['kind']}-{task['id']}")
    task = dict(task, answer_path=stem + ".answer")
    task_path, result_path = stem + ".task.json", stem + ".result.json"
    for stale in (result_path, task["answer_path"]):
        if os.path.exists(stale):
            os.remove(stale)
    with open(task_path, "w", encoding="utf-8") as f:
        json.dump(task, f)
    env = dict(os.environ)
    env.update(env_extra or {})
    try:
        done = run_process([python, WORKER, task_path, result_path], timeout, env)
    except OSError as exc:
        return Run(task["tool"], label, "failed", reason=f"cannot start {python}: {exc}")
    output, wall, peak = {"stderr": done.stderr}, done.wall_s, done.peak_mib
    timed_out = done.timed_out
    if timed_out:
        return Run(task["tool"], label, "timeout", reason=f"no answer within {timeout:.0f} s",
                   peak_mib=peak, wall_s=wall)
    if not os.path.exists(result_path):
        why = f"worker exited with code {done.returncode}"
        if done.returncode < 0:
            why = f"worker killed by signal {-done.returncode}"
        err = _tail(output.get("stderr", ""))
        return Run(task["tool"], label, "failed", reason=why + (f": {err}" if err else ""),
                   peak_mib=peak, wall_s=wall)
    with open(result_path, encoding="utf-8") as f:
        result = json.load(f)
    if result.get("peak_kib"):
        peak = result["peak_kib"] / 1024.0
    run = Run(task["tool"], label, result["status"], phases=result.get("phases", {}),
              summary=result.get("summary") or {}, reason=result.get("reason", ""),
              peak_mib=peak, wall_s=wall)
    if run.status == "ok" and os.path.exists(task["answer_path"]):
        run.answer_path = task["answer_path"]
    return run
