"""Reasoners linked to one shared Ontology: each call pulls what the others
published, a push after the shared ontology moved raises
OntologyConflictError (and the next call replaces the working copy with the
shared one), a call that changed nothing never conflicts, and an Ontology
is bound to its thread like a Reasoner."""
import json
import warnings

import pytest

from _trelvanic import Ontology, OntologyBuilder, OntologyConflictError, Reasoner
from helpers import EX, subclass_axioms, write_ofn

CONFLICT = "shared ontology was modified concurrently; re-sync or use a single writer"


@pytest.fixture
def shared(tmp_path):
    write_ofn(tmp_path, subclass_axioms([("A", "B"), ("B", "C")]))
    return Ontology.load_in(str(tmp_path), "o.ofn")


def pairs(result):
    return {tuple(p) for p in result["subsumptions"]}


@pytest.fixture
def during_result_conversion(monkeypatch):
    """Runs `action` once inside the next classify(), when its result is
    turned into a dictionary (through json.loads), so Python code changes
    the shared ontology between the call's pull and its push."""
    real = json.loads

    def arm(action):
        fired = []

        def loads(text, *args, **kwargs):
            if not fired:
                fired.append(True)
                action()
            return real(text, *args, **kwargs)

        monkeypatch.setattr(json, "loads", loads)
        return fired

    return arm


def test_ontology_argument_ignores_trusted_and_lenient(shared):
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        reasoner = Reasoner(ontology=shared, trusted=False, lenient=True)
    assert caught == []
    assert reasoner.taxonomy is None


def test_two_reasoners_see_each_others_published_edits(shared):
    a = Reasoner(ontology=shared)
    b = Reasoner(ontology=shared, profile="EL")
    a.add_subclass_of(EX + "C", EX + "D")
    assert shared.axiom_count == 3
    assert (EX + "C", EX + "D") in pairs(b.classify())
    b.add_subclass_of(EX + "D", EX + "E")
    assert (EX + "D", EX + "E") in pairs(a.classify())
    assert shared.axiom_count == 4


def test_push_after_the_shared_ontology_moved_conflicts_and_the_next_call_resyncs(
        shared, during_result_conversion):
    a = Reasoner(ontology=shared, profile="rl")  # materialisation changes a's copy
    b = Reasoner(ontology=shared)
    fired = during_result_conversion(lambda: b.add_subclass_of(EX + "X", EX + "Y"))
    with pytest.raises(OntologyConflictError) as info:
        a.classify()
    assert fired and str(info.value) == CONFLICT
    # The shared ontology holds b's edit only; a's materialised axioms were
    # not published.
    assert shared.axiom_count == 3
    # The next call pulls the shared ontology in place of a's copy: a's
    # unpublished axioms are gone, b's edit is there, and the push succeeds.
    again = a.classify()
    assert again["initial_axiom_count"] == 3
    assert shared.axiom_count == again["final_axiom_count"]


def test_a_call_that_changed_nothing_never_conflicts(shared, during_result_conversion):
    a = Reasoner(ontology=shared, profile="el")
    b = Reasoner(ontology=shared)
    fired = during_result_conversion(lambda: b.add_subclass_of(EX + "X", EX + "Y"))
    result = a.classify()
    assert fired and (EX + "X", EX + "Y") not in pairs(result)
    assert (EX + "X", EX + "Y") in pairs(a.classify())


def test_builder_ontology_links_like_a_loaded_one():
    builder = OntologyBuilder()
    builder.subclass_of(EX + "A", EX + "B")
    reasoner = Reasoner(ontology=builder.build())
    with pytest.raises(RuntimeError, match="^ontology has no parse metadata$"):
        reasoner.parse_meta


def test_ontology_passed_to_reasoner_on_another_thread_raises_past_except_exception(shared, on_other_thread):
    box = on_other_thread(lambda: Reasoner(ontology=shared))
    exc = box["escaped"]
    assert isinstance(exc, BaseException) and not isinstance(exc, Exception)
    assert str(exc) == "_trelvanic::ontology::PyOntology is unsendable, but sent to another thread"
    Reasoner(ontology=shared)  # fine on its own thread
