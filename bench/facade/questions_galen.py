"""Entailment questions from Python after a classification.

    python3 bench/facade/questions_galen.py [FILE] [--questions N] [--seed S]

FILE defaults to GALEN-EL (../shared/data/el/galen-el.nt.gz, or $GALEN_EL),
unpacked to a temporary .ttl file (N-Triples read as Turtle). The reasoner
loads and classifies FILE once; then N SubClassOf questions are asked with
`is_entailed(sub=..., sup=...)`: half of them subsumptions the
classification reported, half pairs of classes drawn at random (mostly
non-subsumptions). Printed:
  first     the first question (it may pay for reasoning the later ones reuse)
  rest      the other questions, as questions per second
  edited    the first question after an edit (add_subclass_of between two
            fresh classes), which must not be answered from stale state
and the number of "yes" answers, so runs of different builds can be
compared answer for answer.
"""
import argparse
import os
import random
import sys
import tempfile
import time

import _trelvanic

from classify_galen import DEFAULT, unpacked


def questions(result, count, seed):
    rng = random.Random(seed)
    subsumptions = sorted(tuple(p) for p in result["subsumptions"])
    classes = sorted({c for p in subsumptions for c in p})
    told = rng.sample(subsumptions, min(count // 2, len(subsumptions)))
    drawn = [(rng.choice(classes), rng.choice(classes)) for _ in range(count - len(told))]
    asked = told + drawn
    rng.shuffle(asked)
    return asked


def ask(reasoner, pairs):
    return sum(bool(reasoner.is_entailed(sub=a, sup=b)) for a, b in pairs)


def run(path, count, seed):
    t0 = time.perf_counter()
    reasoner = _trelvanic.Reasoner(path=path, trusted=True)
    t1 = time.perf_counter()
    result = reasoner.classify()
    t2 = time.perf_counter()
    pairs = questions(result, count, seed)
    yes = ask(reasoner, pairs[:1])
    t3 = time.perf_counter()
    yes += ask(reasoner, pairs[1:])
    t4 = time.perf_counter()
    reasoner.add_subclass_of("urn:bench:Fresh", "urn:bench:AlsoFresh")
    t5 = time.perf_counter()
    edited = ask(reasoner, [("urn:bench:Fresh", "urn:bench:AlsoFresh")])
    t6 = time.perf_counter()
    rest = len(pairs) - 1
    rate = rest / (t4 - t3) if t4 > t3 else float("inf")
    print(f"load {t1 - t0:.3f}s  classify {t2 - t1:.3f}s  first {t3 - t2:.4f}s  "
          f"rest {rest} in {t4 - t3:.4f}s = {rate:,.0f} questions/s  "
          f"edit {t5 - t4:.4f}s  edited {t6 - t5:.4f}s  "
          f"yes {yes}/{len(pairs)}  edited-yes {edited}")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("file", nargs="?", default=os.environ.get("GALEN_EL", str(DEFAULT)))
    parser.add_argument("--questions", type=int, default=200)
    parser.add_argument("--seed", type=int, default=7)
    args = parser.parse_args()
    if not os.path.exists(args.file):
        print(f"no such file: {args.file}", file=sys.stderr)
        return 2
    with tempfile.TemporaryDirectory() as tmp:
        run(unpacked(args.file, tmp), args.questions, args.seed)
    return 0


if __name__ == "__main__":
    sys.exit(main())
