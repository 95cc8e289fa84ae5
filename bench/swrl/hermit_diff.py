"""Differential test of the SWRL route against HermiT on random small
ontologies with rules: consistency and the class memberships of every named
individual.

    python3 bench/swrl/hermit_diff.py [--count N] [--seed S] [--keep DIR]

Run it with the Python that has the built `_trelvanic` module. The
ontologies are written (as RDF/XML, rules included) and reasoned with by
HermiT through owlready2 in a second Python that has owlready2: importable
here, or `/tmp/bench-venv/bin/python`, or the one `OWLREADY2_PYTHON` names.
Prints each disagreement: a membership or inconsistency trelvanic claims and
HermiT does not (unsound), or one HermiT finds while trelvanic says a
complete "no" (missed). Undecided answers are counted, not disagreements.
"""
import argparse
import json
import os
import random
import subprocess
import sys
import tempfile

NS = "http://ex.org/swrl.owl#"
CLASSES = [f"C{i}" for i in range(5)]
PROPS = [f"p{i}" for i in range(3)]
INDS = [f"i{i}" for i in range(6)]


def random_case(rng):
    """A case as plain data: axioms and rules in owlready2's terms."""
    axioms = []
    for _ in range(rng.randint(2, 5)):
        # Subclass and sub-property edges point down the lists: no cycles
        # (owlready2 refuses those).
        b, a = sorted(rng.sample(CLASSES, 2))
        # No transitive properties: HermiT encodes transitivity away, and a
        # rule body over a transitive property then misses the implied
        # assertions between named individuals that the rules should see.
        kind = rng.choice(["sub", "sub", "some", "domain", "range", "subprop", "disjoint", "cover"])
        q, p = sorted(rng.sample(PROPS, 2))
        axioms.append({"sub": ["sub", a, b], "some": ["some", a, p, b], "domain": ["domain", p, a],
                       "range": ["range", p, a], "subprop": ["subprop", p, q], "transitive": ["transitive", p],
                       "disjoint": ["disjoint", a, b], "cover": ["cover", a, *sorted(rng.sample(CLASSES, 2))]}[kind])
    for _ in range(rng.randint(2, 6)):
        axioms.append(["type", rng.choice(INDS), rng.choice(CLASSES)])
    # Memberships by cases and refuted ones: rules may fire in every model
    # without any one body membership being entailed.
    for _ in range(rng.randint(0, 2)):
        axioms.append(["either", rng.choice(INDS), *rng.sample(CLASSES, 2)])
    for _ in range(rng.randint(0, 2)):
        axioms.append(["not", rng.choice(INDS), rng.choice(CLASSES)])
    for _ in range(rng.randint(2, 6)):
        s, o = rng.sample(INDS, 2)
        axioms.append(["edge", s, rng.choice(PROPS), o])
    rules = []
    for _ in range(rng.randint(1, 3)):
        c1, c2 = rng.sample(CLASSES, 2)
        p1, p2, p3 = [rng.choice(PROPS) for _ in range(3)]
        rules.append(rng.choice([
            f"{c1}(?x) -> {c2}(?x)",
            f"{p1}(?x, ?y), {c1}(?y) -> {c2}(?x)",
            f"{c1}(?x), {p1}(?x, ?y) -> {c2}(?y)",
            f"{p1}(?x, ?y), {p2}(?y, ?z) -> {p3}(?x, ?z)",
            f"{c1}(?x), {p1}(?x, ?y) -> {p2}(?y, ?x)",
        ]))
    return {"axioms": axioms, "rules": rules}


HERMIT_SIDE = r'''
import json, sys
from owlready2 import *
cases = json.load(open(sys.argv[1]))
out = []
for n, case in enumerate(cases):
    world = World()
    onto = world.get_ontology("http://ex.org/swrl.owl#")
    with onto:
        cls = {c: types.new_class(c, (Thing,)) for c in CLASSES}
        prop = {p: types.new_class(p, (ObjectProperty,)) for p in PROPS}
        ind = {i: Thing(i) for i in INDS}
        for ax in case["axioms"]:
            k = ax[0]
            if k == "sub": cls[ax[1]].is_a.append(cls[ax[2]])
            elif k == "some": cls[ax[1]].is_a.append(prop[ax[2]].some(cls[ax[3]]))
            elif k == "domain": prop[ax[1]].domain.append(cls[ax[2]])
            elif k == "range": prop[ax[1]].range.append(cls[ax[2]])
            elif k == "subprop": prop[ax[1]].is_a.append(prop[ax[2]])
            elif k == "transitive": prop[ax[1]].is_a.append(TransitiveProperty)
            elif k == "disjoint": AllDisjoint([cls[ax[1]], cls[ax[2]]])
            elif k == "cover": cls[ax[1]].is_a.append(cls[ax[2]] | cls[ax[3]])
            elif k == "type": ind[ax[1]].is_a.append(cls[ax[2]])
            elif k == "either": ind[ax[1]].is_a.append(cls[ax[2]] | cls[ax[3]])
            elif k == "not": ind[ax[1]].is_a.append(Not(cls[ax[2]]))
            elif k == "edge": getattr(ind[ax[1]], ax[2]).append(ind[ax[3]])
        for r in case["rules"]:
            Imp().set_as_rule(r)
    path = f"{sys.argv[2]}/case{n}.owl"
    onto.save(file=path, format="rdfxml")
    try:
        sync_reasoner_hermit(world, infer_property_values=False, debug=0)
        members = [[i, c] for i in INDS for c in CLASSES if cls[c] in ind[i].INDIRECT_is_a]
        out.append({"path": path, "consistent": True, "members": members})
    except OwlReadyInconsistentOntologyError:
        out.append({"path": path, "consistent": False, "members": []})
json.dump(out, open(sys.argv[3], "w"))
'''


def owlready_python():
    if os.environ.get("OWLREADY2_PYTHON"):
        return os.environ["OWLREADY2_PYTHON"]
    try:
        import owlready2  # noqa: F401
        return sys.executable
    except ImportError:
        return "/tmp/bench-venv/bin/python"


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--count", type=int, default=30)
    ap.add_argument("--seed", type=int, default=1)
    ap.add_argument("--keep", help="folder for the ontologies (a temporary one otherwise)")
    args = ap.parse_args()
    from _trelvanic import IncompleteReasoningError, Reasoner

    rng = random.Random(args.seed)
    cases = [random_case(rng) for _ in range(args.count)]
    folder = args.keep or tempfile.mkdtemp(prefix="swrl_diff_")
    os.makedirs(folder, exist_ok=True)
    cases_path, answers_path = os.path.join(folder, "cases.json"), os.path.join(folder, "hermit.json")
    json.dump(cases, open(cases_path, "w"))
    script = f"CLASSES={CLASSES!r}\nPROPS={PROPS!r}\nINDS={INDS!r}\n" + HERMIT_SIDE
    subprocess.run([owlready_python(), "-c", script, cases_path, folder, answers_path], check=True)
    answers = json.load(open(answers_path))

    tally = {"agree": 0, "undecided": 0, "unsound": 0, "missed": 0}

    def report(kind, path, what):
        tally[kind] += 1
        print(f"{kind}: {path}: {what}")

    for answer in answers:
        r = Reasoner(path=answer["path"], trusted=True, profile="swrl")
        try:
            verdict = r.check_consistency()
        except Exception as e:  # a limit or an engine's refusal
            report("undecided", answer["path"], f"consistency: {e}")
            continue
        if not verdict["complete"]:
            tally["undecided"] += 1
        elif verdict["consistent"] != answer["consistent"]:
            report("unsound" if not verdict["consistent"] else "missed", answer["path"],
                   f"consistent {verdict['consistent']}, HermiT {answer['consistent']}")
            continue
        if not answer["consistent"]:
            tally["agree"] += 1
            continue
        expected = {tuple(m) for m in answer["members"]}
        for i in INDS:
            for c in CLASSES:
                try:
                    ours = r.is_entailed(individual=NS + i, class_=NS + c)
                except IncompleteReasoningError:
                    tally["undecided"] += 1
                    continue
                if ours and (i, c) not in expected:
                    report("unsound", answer["path"], f"{i} in {c}")
                elif not ours and (i, c) in expected:
                    report("missed", answer["path"], f"{i} in {c}")
                else:
                    tally["agree"] += 1
    print(json.dumps(tally))
    return 1 if tally["unsound"] or tally["missed"] else 0


if __name__ == "__main__":
    sys.exit(main())
