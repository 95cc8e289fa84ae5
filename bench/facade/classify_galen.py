"""End-to-end classification from Python, split into its parts.

    python3 bench/facade/classify_galen.py [FILE] [--repeats N] [--profile P]

FILE defaults to GALEN-EL (../shared/data/el/galen-el.nt.gz, or $GALEN_EL),
unpacked to a temporary .ttl file (N-Triples read as Turtle). Per run it
prints:
  load      Reasoner(path=FILE, trusted=True): read, map, validate
  classify  reasoner.classify(): reasoning plus the result conversion
  convert   reasoner.taxonomy: the same dictionary built again from the
            stored taxonomy (IRI lookup, JSON text, json.loads), so
            classify - convert is the reasoning alone
and the sizes of the result. The conversion should stay a small share of
the whole.
"""
import argparse
import gzip
import os
import pathlib
import shutil
import sys
import tempfile
import time

import _trelvanic

REPO = pathlib.Path(__file__).resolve().parents[2]
DEFAULT = REPO.parent / "shared" / "data" / "el" / "galen-el.nt.gz"


def unpacked(path, tmp):
    if not path.endswith(".gz"):
        return path
    out = os.path.join(tmp, pathlib.Path(path).stem.replace(".nt", "") + ".ttl")
    with gzip.open(path, "rb") as src, open(out, "wb") as dst:
        shutil.copyfileobj(src, dst)
    return out


def run(path, profile):
    t0 = time.perf_counter()
    reasoner = _trelvanic.Reasoner(path=path, trusted=True, profile=profile)
    t1 = time.perf_counter()
    try:
        result = reasoner.classify()
    except Exception as exc:  # noqa: BLE001 - reported, not hidden
        print(f"load {t1 - t0:.3f}s  classify failed: {type(exc).__name__}: {exc}")
        return False
    t2 = time.perf_counter()
    again = reasoner.taxonomy
    t3 = time.perf_counter()
    load, classify, convert = t1 - t0, t2 - t1, t3 - t2
    total = load + classify
    print(f"load {load:.3f}s  classify {classify:.3f}s (reasoning {classify - convert:.3f}s, "
          f"conversion {convert:.3f}s = {100 * convert / total:.1f}% of the whole)  "
          f"subsumptions {result.get('subsumption_count', '-')}  "
          f"equivalences {len(result.get('equivalences', []))}  "
          f"unsatisfiable {len(result.get('unsatisfiable', []))}  same-again {again == result}")
    return True


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("file", nargs="?", default=os.environ.get("GALEN_EL", str(DEFAULT)))
    parser.add_argument("--repeats", type=int, default=3)
    parser.add_argument("--profile", default=None)
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as tmp:
        path = unpacked(args.file, tmp)
        print(f"{path}: {os.path.getsize(path) / 1e6:.1f} MB")
        for _ in range(args.repeats):
            if not run(path, args.profile):
                return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
