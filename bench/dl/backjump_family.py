"""Backjumping at work: the DL engine on two families of generated ontologies, with and without
dependency-directed backjumping, reporting the label entries added and the branches tried.

  nested N     X ≡ (A1 ⊔ B1) ⊓ … ⊓ (AN ⊔ BN) ⊓ ∃r.(C ⊓ D), C ⊑ ¬D: the clash below r depends on
               none of the N choices, so backjumping closes them at once (without it, 2^N branches);
  pigeons N    N+1 pigeons, N holes, every pigeon in some hole, no two in one: a clash that
               depends on every choice (backjumping cannot help; the family shows its overhead).

    python3 bench/dl/backjump_family.py BUILD/bench/dl/bench_dl [--max 14]
"""

from __future__ import annotations

import argparse
import os
import re
import subprocess
import tempfile

HEAD = "Prefix(:=<http://ex.org/b#>)\nPrefix(owl:=<http://www.w3.org/2002/07/owl#>)\nOntology(<http://ex.org/b>\n"


def nested(n: int) -> str:
    ors = " ".join(f"ObjectUnionOf(:A{i} :B{i})" for i in range(n))
    return (HEAD + f"EquivalentClasses(:X ObjectIntersectionOf({ors} ObjectSomeValuesFrom(:r "
            "ObjectIntersectionOf(:C :D))))\nSubClassOf(:C ObjectComplementOf(:D))\n)\n")


def pigeons(n: int) -> str:
    lines = []
    for p in range(n + 1):
        holes = " ".join(f":P{p}H{h}" for h in range(n))
        lines.append(f"SubClassOf(:X ObjectUnionOf({holes}))" if n > 1 else f"SubClassOf(:X :P{p}H0)")
    for h in range(n):
        for p in range(n + 1):
            for q in range(p + 1, n + 1):
                lines.append(f"DisjointClasses(:P{p}H{h} :P{q}H{h})")
    return HEAD + "\n".join(lines) + "\n)\n"


def run(engine: str, text: str, backjump: bool) -> tuple[str, str]:
    with tempfile.NamedTemporaryFile("w", suffix=".ofn", delete=False) as f:
        f.write(text)
        path = f.name
    try:
        cmd = [engine, path] + ([] if backjump else ["--no-backjump"])
        env = dict(os.environ, BENCH_DL_VERBOSE="1")
        p = subprocess.run(cmd, capture_output=True, text=True, env=env, timeout=600)
    finally:
        os.unlink(path)
    m = re.search(r"#X\": (\w+), (\d+) expansions, (\d+) branches", p.stderr)
    return (m.group(1), f"{m.group(2)} entries, {m.group(3)} branches") if m else ("?", p.stderr.strip()[-80:])


def main() -> int:
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("engine")
    ap.add_argument("--max", type=int, default=14)
    args = ap.parse_args()
    for family, make, sizes in (("nested", nested, range(2, args.max + 1, 2)),
                                ("pigeons", pigeons, range(2, min(args.max, 7) + 1))):
        for n in sizes:
            text = make(n)
            on = run(args.engine, text, True)
            off = run(args.engine, text, False)
            print(f"{family:8} {n:3}  X {on[0]:10} with: {on[1]:40} without: {off[1]}")
    return 0


if __name__ == "__main__":
    raise SystemExit(main())
