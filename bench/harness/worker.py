"""Worker process: runs one adapter on one input and writes its result as JSON.

    python worker.py TASK.json RESULT.json

The result holds "status" ("ok", "not available" or "failed"), the phase times in seconds
("load", "reason", ...), the adapter's summary, on failure the reason, and "peak_kib": the
maximum resident set size of this process and its waited-for children (HermiT's Java process)
at the end of the last timed phase, before the answer is normalised for comparison, so that the
comparison's own sets do not count against the tool.
"""

from __future__ import annotations

import json
import os
import resource
import sys
import time
import traceback

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))

from harness import adapters  # noqa: E402


class Clock:
    def __init__(self):
        self.phases = {}
        self.peak_kib = None
        self._last = time.perf_counter()

    def lap(self, name):
        now = time.perf_counter()
        self.phases[name] = self.phases.get(name, 0.0) + (now - self._last)
        self.peak_kib = max(resource.getrusage(resource.RUSAGE_SELF).ru_maxrss,
                            resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)
        self._last = time.perf_counter()


def one_line(text: str, limit: int = 300) -> str:
    """A failure message fit for one table cell: lines joined, stack frames dropped, cut short."""
    lines = [l.strip() for l in text.splitlines() if l.strip() and not l.strip().startswith("at ")]
    joined = " | ".join(lines)
    return joined if len(joined) <= limit else joined[:limit - 3] + "..."


def main() -> int:
    task_path, result_path = sys.argv[1], sys.argv[2]
    with open(task_path, encoding="utf-8") as f:
        task = json.load(f)
    clock = Clock()
    result = {"status": "ok"}
    try:
        adapter = adapters.ADAPTERS[(task["tool"], task["kind"])]
        result["summary"] = adapter(task, clock)
    except adapters.NotAvailable as exc:
        result = {"status": "not available", "reason": one_line(str(exc))}
    except Exception as exc:  # the tool's failure is a result, not a crash of the harness
        result = {"status": "failed", "reason": one_line(f"{type(exc).__name__}: {exc}"),
                  "traceback": traceback.format_exc(limit=6)}
    result["phases"] = clock.phases
    result["peak_kib"] = clock.peak_kib
    tmp = result_path + ".part"
    with open(tmp, "w", encoding="utf-8") as f:
        json.dump(result, f)
    os.replace(tmp, result_path)
    return 0


if __name__ == "__main__":
    sys.exit(main())
