"""Reasoner.is_entailed asked again and again on one reasoner: every edit
(add_subclass_of, remove_subclass_of, add_axiom_json, an edit another
reasoner published to the shared Ontology) shows in the next answer, and a
classification in between changes no answer."""
import pytest

from _trelvanic import OntologyBuilder, Reasoner
from helpers import iri


A, B, C, D, I = (iri(n) for n in ("A", "B", "C", "D", "i"))
QUESTIONS = {
    "A<C": {"sub": A, "sup": C},
    "A<D": {"sub": A, "sup": D},
    "C(i)": {"individual": I, "class_": C},
    "D(i)": {"individual": I, "class_": D},
}

# (step, the questions that hold after it); each step runs on `asker`
# (the reasoner asked throughout) or `other` (a second reasoner on the same
# shared ontology).
STEPS = [
    ("start", set()),
    ("asker.add_subclass_of(B, C)", {"A<C", "C(i)"}),
    ("asker.classify()", {"A<C", "C(i)"}),
    ("other.add_subclass_of(C, D)", {"A<C", "A<D", "C(i)", "D(i)"}),
    ("asker.remove_subclass_of(B, C)", set()),
    ("asker.add_axiom_json(C(i))", {"C(i)", "D(i)"}),
    ("other.add_axiom_json(A<D)", {"A<D", "C(i)", "D(i)"}),
]


def run(step, asker, other):
    actions = {
        "start": lambda: None,
        "asker.add_subclass_of(B, C)": lambda: asker.add_subclass_of(B, C),
        "asker.classify()": asker.classify,
        "other.add_subclass_of(C, D)": lambda: other.add_subclass_of(C, D),
        "asker.remove_subclass_of(B, C)": lambda: asker.remove_subclass_of(B, C),
        "asker.add_axiom_json(C(i))": lambda: asker.add_axiom_json({"ClassAssertion": {"individual": I, "class": C}}),
        "other.add_axiom_json(A<D)": lambda: other.add_axiom_json({"SubClassOf": {"subclass": A, "superclass": D}}),
    }
    actions[step]()


@pytest.mark.parametrize("profile", [None, "el", "rl", "dl"])
def test_every_edit_shows_in_the_next_answer(profile):
    builder = OntologyBuilder()
    builder.subclass_of(A, B)
    for name in (C, D):
        builder.subclass_of(name, "http://www.w3.org/2002/07/owl#Thing")
    shared = builder.build()
    asker = Reasoner(ontology=shared, profile=profile)
    other = Reasoner(ontology=shared, profile=profile)
    asker.add_axiom_json({"ClassAssertion": {"individual": I, "class": A}})
    for step, holding in STEPS:
        run(step, asker, other)
        for _ in range(2):  # the second round reads what the first kept
            got = {name for name, q in QUESTIONS.items() if asker.is_entailed(**q)}
            assert got == holding, step
