"""Benchmark inputs, prepared once under the work directory (inside build/, never in the repo).

The shared data files are only read; anything unpacked, merged, converted or generated goes to
<work>/data and is reused by later runs (files are written under a temporary name and renamed, so
a file that exists is complete).
"""

from __future__ import annotations

import gzip
import os
import shutil
import subprocess
import sys

BENCH = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, BENCH)

from generate import el_ontology  # noqa: E402

sys.path.insert(0, os.path.join(BENCH, "dl"))
import random_dl  # noqa: E402

CONVERT = os.path.join(BENCH, "harness", "convert.py")


class Inputs:
    def __init__(self, shared: str, work: str, venv_python: str):
        self.shared = shared
        self.dir = os.path.join(work, "data")
        self.python = venv_python
        os.makedirs(self.dir, exist_ok=True)

    def _convert(self, out: str, *args) -> str | None:
        """Runs a conversion in the benchmark environment; returns None or the reason it failed."""
        if os.path.exists(out):
            return None
        if not os.path.exists(self.python):
            return "the benchmark environment is missing"
        print(f"bench: preparing {os.path.basename(out)}", file=sys.stderr, flush=True)
        done = subprocess.run([self.python, CONVERT, args[0], out, *args[1:]], capture_output=True, text=True)
        if done.returncode != 0:
            lines = [l for l in done.stderr.strip().splitlines() if l.strip()]
            return f"conversion failed: {lines[-1] if lines else done.returncode}"
        return None

    # ------------------------------------------------------------ EL

    def galen(self, formats=("nt", "ttl", "rdf")) -> tuple[dict, dict]:
        """GALEN-EL in the asked formats: ({format: path}, {format: reason it is missing})."""
        src = os.path.join(self.shared, "el", "galen-el.nt.gz")
        nt = os.path.join(self.dir, "galen-el.nt")
        if not os.path.exists(src):
            return {}, {f: f"{src} not found" for f in formats}
        if not os.path.exists(nt):
            with gzip.open(src, "rb") as f_in, open(nt + ".part", "wb") as f_out:
                shutil.copyfileobj(f_in, f_out, 1 << 20)
            os.replace(nt + ".part", nt)
        paths, missing = {"nt": nt}, {}
        ttl = os.path.join(self.dir, "galen-el.ttl")   # N-Triples is Turtle: same bytes, .ttl name
        if not os.path.exists(ttl):
            os.link(nt, ttl)
        paths["ttl"] = ttl
        rdf = os.path.join(self.dir, "galen-el.rdf")
        if {"rdf", "ofn", "owx"} & set(formats):
            why = self._convert(rdf, "rdfxml", nt)
            if why:
                missing["rdf"] = why
            else:
                paths["rdf"] = rdf
        for fmt in ("ofn", "owx"):
            if fmt in formats:
                out = os.path.join(self.dir, f"galen-el.{fmt}")
                why = missing.get("rdf") or self._convert(out, "owl", rdf, fmt)
                if why:
                    missing[fmt] = why
                else:
                    paths[fmt] = out
        return {f: p for f, p in paths.items() if f in formats}, missing

    def generated(self, classes: int, formats=el_ontology.FORMATS) -> dict:
        out = os.path.join(self.dir, "generated")
        if not all(os.path.exists(p) for p in el_ontology.paths_for(classes, out, formats).values()):
            print(f"bench: generating the {classes}-class EL ontology", file=sys.stderr, flush=True)
        return el_ontology.write_all(classes, out, formats)

    # ------------------------------------------------------------ DL

    def alchiq(self, classes: int, seed: int = 1) -> str:
        """A generated ALCHIQ ontology of `classes` classes in functional syntax, written once."""
        out = os.path.join(self.dir, "dl", f"alchiq-{classes}-{seed}.ofn")
        if not os.path.exists(out):
            os.makedirs(os.path.dirname(out), exist_ok=True)
            print(f"bench: generating the {classes}-class ALCHIQ ontology", file=sys.stderr, flush=True)
            random_dl.alchiq_ontology(classes, seed).write(out + ".part")
            os.replace(out + ".part", out)
        return out

    # ------------------------------------------------------------ RL

    def buildings(self, limit: int | None) -> list[str]:
        """Building models, smallest first, so that a limited run takes the quickest ones."""
        folder = os.path.join(self.shared, "rl", "buildings")
        if not os.path.isdir(folder):
            return []
        names = [n for n in os.listdir(folder) if n.endswith(".ttl")]
        names.sort(key=lambda n: (os.path.getsize(os.path.join(folder, n)), n))
        return [os.path.join(folder, n) for n in names[:limit]]

    def rl_input(self, building: str | None) -> tuple[str | None, str | None]:
        """Brick with the OWL and RDFS vocabularies and one building, merged into one file that
        every RL tool reads; returns (path, None) or (None, reason)."""
        schema = [os.path.join(self.shared, "rl", n) for n in ("Brick.ttl", "owl.ttl", "rdfs.ttl")]
        for path in schema:
            if not os.path.exists(path):
                return None, f"{path} not found"
        name = "brick" if building is None else "brick+" + _slug(os.path.basename(building))
        out = os.path.join(self.dir, "rl", name + ".ttl")
        os.makedirs(os.path.dirname(out), exist_ok=True)
        why = self._convert(out, "merge", *schema, *([building] if building else []))
        return (None, why) if why else (out, None)


def _slug(name: str) -> str:
    stem = name[:-4] if name.endswith(".ttl") else name
    return "".join(c if c.isalnum() or c in "-_" else "_" for c in stem).strip("_")

