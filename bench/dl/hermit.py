"""HermiT as an oracle through its own command line: many ontologies through one JVM.

HermiT's command line reasons over every file it is given, one after the other, in one JVM: the
JVM starts once and warms up on the first file, so a batch of small ontologies costs a few
milliseconds each instead of half a second. It is run with `-v2 -N -k -U -c`, output and error
merged into one stream, which reads per file as:

    Processing file:/path                      (a new file starts)
    Ontology parsed in N msec.
    Reasoner created in N msec.                (reasoning starts here: preprocessing)
    http://...owl#Thing is satisfiable.        (-k: the ontology is consistent)
    Classes equivalent to '...owl#Nothing':    (-U: one tab-indented IRI per line)
    EquivalentClasses( <a> <b> ... )           (-c: the direct taxonomy)
    SubClassOf( <a> <b> )
    ...action completed in N msec.             (once per action)

An inconsistent ontology makes `-k` throw InconsistentOntologyException, and any other exception
(an ontology outside OWL 2 DL, such as a non-simple role under a number restriction) ends the JVM
the same way: the files after it go to a new JVM. A file that does not parse is reported and
skipped by HermiT itself. A file that runs past the time limit kills its JVM; the rest go on in
a new one.

    from hermit import Hermit
    results = Hermit().run_many(paths, jobs=4)   # {path: Result}
"""

from __future__ import annotations

import atexit
import concurrent.futures
import glob
import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time
from dataclasses import dataclass, field

OWL = "http://www.w3.org/2002/07/owl#"
THING, NOTHING = OWL + "Thing", OWL + "Nothing"
MAIN = "org.semanticweb.HermiT.cli.CommandLine"


@dataclass
class Result:
    """HermiT's answer on one file. `consistent` is None when HermiT gave no verdict: then
    `error` says why (a parse error, a refused ontology, the time limit)."""
    consistent: bool | None = None
    unsatisfiable: set = field(default_factory=set)   # named classes, owl:Nothing left out
    direct: list = field(default_factory=list)        # (sub, sup) pairs of the direct taxonomy
    groups: list = field(default_factory=list)        # equivalence groups of the taxonomy
    parse_ms: float | None = None
    reason_ms: float | None = None                    # preprocessing and every action, JVM start apart
    error: str | None = None
    peak_mib: float | None = None                     # the JVM's peak resident size (one-file batches)


def owlready_dir() -> str | None:
    """owlready2's folder (it bundles HermiT): importable here, or in the usual benchmark venvs."""
    try:
        import owlready2  # noqa: F401
        return os.path.dirname(owlready2.__file__)
    except Exception:
        pass
    here = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    for venv in (os.path.join(here, "build", "bench-venv"), "/tmp/bench-venv"):
        found = glob.glob(os.path.join(venv, "lib", "python3*", "site-packages", "owlready2"))
        if found:
            return found[0]
    return None


def hermit_classpath(owlready: str | None = None) -> str:
    folder = owlready or os.environ.get("OWLREADY2_DIR") or owlready_dir()
    if not folder or not os.path.exists(os.path.join(folder, "hermit", "HermiT.jar")):
        raise RuntimeError("HermiT not found: install owlready2 (it bundles HermiT) or set OWLREADY2_DIR")
    hermit = os.path.join(folder, "hermit")
    return hermit + os.pathsep + os.path.join(hermit, "HermiT.jar")


# HermiT compares the value of a negative data property assertion with the subject's values by
# the literal's spelling: ¬d(i, "1.0"^^xsd:decimal) next to d(i, "1"^^xsd:integer) is consistent
# for it, although both literals are the number one. It compares values correctly in class
# expressions, so HermiT is given the same axiom as the class assertion it means,
# i : ∀d.¬{v}, and the file we reason over stays as written.
_NEGATIVE_DATA = re.compile(r"^(\s*)NegativeDataPropertyAssertion\((\S+) (\S+) (.+)\)\s*$", re.M)


def hermit_view(text: str) -> str:
    """The text HermiT is given for an ontology in functional syntax."""
    return _NEGATIVE_DATA.sub(
        lambda m: f"{m[1]}ClassAssertion(DataAllValuesFrom({m[2]} DataComplementOf(DataOneOf({m[4]}))) {m[3]})",
        text)


_MS = re.compile(r"in (\d+) msec")
_IRI = re.compile(r"<([^>]*)>")


def _exception_text(line: str) -> str:
    text = line.replace('Exception in thread "main" ', "").strip()
    return text[:300]


def parse_segment(lines: list[str]) -> Result:
    """Reads the output lines of one file (after its "Processing file:" line)."""
    res = Result()
    in_unsat = False
    for line in lines:
        if in_unsat and line.startswith("\t"):
            iri = line.strip()
            if iri != NOTHING:
                res.unsatisfiable.add(iri)
            continue
        in_unsat = False
        if line.startswith("Ontology parsed in"):
            res.parse_ms = float(_MS.search(line).group(1))
        elif line.startswith("Reasoner created in") or line.startswith("...action completed in"):
            res.reason_ms = (res.reason_ms or 0.0) + float(_MS.search(line).group(1))
        elif line == f"{THING} is satisfiable.":
            res.consistent = True
        elif line.startswith("Classes equivalent to"):
            in_unsat = True
        elif line.startswith("EquivalentClasses("):
            res.groups.append(_IRI.findall(line))
        elif line.startswith("SubClassOf("):
            pair = _IRI.findall(line)
            if len(pair) == 2:
                res.direct.append((pair[0], pair[1]))
        elif line.startswith("It all went pear-shaped:") and res.error is None:
            res.error = "HermiT could not parse the file"
        elif "InconsistentOntologyException" in line and res.consistent is None:
            res.consistent, res.error = False, None
        elif ("Exception" in line or "Error" in line) and not line.startswith(("\t", "at ")) \
                and res.error is None and res.consistent is None:
            res.error = _exception_text(line)
    if res.consistent is False:
        res.unsatisfiable, res.direct, res.groups = set(), [], []
    elif res.consistent is None and res.error is None:
        res.error = "HermiT gave no verdict"
    return res


class Hermit:
    def __init__(self, owlready: str | None = None, java: str = "java", memory_mb: int | None = None,
                 timeout: float = 120.0, batch: int = 40):
        self.classpath = hermit_classpath(owlready)
        self.java = java
        self.memory_mb = memory_mb
        self.timeout = timeout       # seconds per file
        self.batch = batch           # files per JVM
        self._views = None           # folder of the rewritten copies (see hermit_view)

    def _view_path(self, path: str) -> str:
        if not path.endswith(".ofn"):
            return os.path.abspath(path)
        with open(path, encoding="utf-8", errors="replace") as f:
            text = f.read()
        view = hermit_view(text)
        if view == text:
            return os.path.abspath(path)
        if self._views is None:
            self._views = tempfile.mkdtemp(prefix="hermit-view-")
            atexit.register(shutil.rmtree, self._views, True)
        out = os.path.join(self._views, f"{abs(hash(os.path.abspath(path))):x}-{os.path.basename(path)}")
        with open(out, "w", encoding="utf-8") as f:
            f.write(view)
        return out

    def command(self, paths) -> list[str]:
        cmd = [self.java]
        if self.memory_mb:
            cmd.append(f"-Xmx{self.memory_mb}m")
        return cmd + ["-cp", self.classpath, MAIN, "-v2", "-N", "-k", "-U", "-c",
                      *[self._view_path(p) for p in paths]]

    def _one_jvm(self, paths: list[str]) -> tuple[list[Result], float | None]:
        """Runs one JVM over `paths`; returns the results of the files it reached (a prefix of
        `paths`, at least one) and the JVM's peak resident size in MiB."""
        # The JVM stays in this process group: whatever ends the caller's group ends it too.
        proc = subprocess.Popen(self.command(paths), stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                stderr=subprocess.STDOUT, text=True,
                                errors="replace")
        segments: list[list[str]] = []
        preamble: list[str] = []          # what the JVM said before any file (it failed to start)
        started = [time.monotonic()]

        def read():
            for raw in proc.stdout:
                line = raw.rstrip("\n")
                if line.startswith("Processing file:"):
                    segments.append([])
                    started[0] = time.monotonic()
                elif segments:
                    segments[-1].append(line)
                elif line.strip():
                    preamble.append(line.strip())

        reader = threading.Thread(target=read, daemon=True)
        reader.start()
        timed_out = False
        while True:
            try:
                pid, _, usage = os.wait4(proc.pid, os.WNOHANG)
            except ChildProcessError:
                usage = None
                break
            if pid != 0:
                break
            if time.monotonic() - started[0] > self.timeout:
                timed_out = True
                proc.kill()
                _, _, usage = os.wait4(proc.pid, 0)
                break
            time.sleep(0.02)
        reader.join(10)
        peak = usage.ru_maxrss / 1024.0 if usage else None
        results = [parse_segment(seg) for seg in segments[:len(paths)]]
        if not results:
            return [Result(error=("HermiT did not start: " + " ".join(preamble))[:300])], peak
        if timed_out:
            results[-1] = Result(error=f"no answer within {self.timeout:.0f} s")
        return results, peak

    def run_batch(self, paths: list[str]) -> dict:
        """Every file of `paths` through as few JVMs as possible, one after the other."""
        out = {}
        rest = list(paths)
        while rest:
            results, peak = self._one_jvm(rest)
            if len(paths) == 1:
                results[0].peak_mib = peak
            for path, res in zip(rest, results):
                out[path] = res
            rest = rest[len(results):]
        return out

    def run_many(self, paths, jobs: int = 4) -> dict:
        """Every file, in batches over `jobs` JVMs at once."""
        paths = list(paths)
        chunks = [paths[i:i + self.batch] for i in range(0, len(paths), self.batch)]
        if len(chunks) < jobs and len(paths) > 1:  # spread a small set over the workers
            size = max(1, -(-len(paths) // jobs))
            chunks = [paths[i:i + size] for i in range(0, len(paths), size)]
        out = {}
        with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, jobs)) as pool:
            for done in pool.map(self.run_batch, chunks):
                out.update(done)
        return out

    def run(self, path: str) -> Result:
        return self.run_batch([path])[path]


def main() -> int:
    """Prints HermiT's verdicts on the given files, one line each (a check of the oracle)."""
    hermit = Hermit()
    for path, res in hermit.run_many(sys.argv[1:]).items():
        verdict = {True: "consistent", False: "inconsistent", None: f"no verdict ({res.error})"}[res.consistent]
        print(f"{path}: {verdict}, {len(res.unsatisfiable)} unsatisfiable, "
              f"{len(res.direct)} direct edges, reasoning {res.reason_ms} ms")
    return 0


if __name__ == "__main__":
    sys.exit(main())
