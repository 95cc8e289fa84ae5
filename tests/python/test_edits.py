"""Reasoner.add_axiom_json, add_subclass_of and remove_subclass_of: the six
single-axiom forms, their messages, the size cap, punning, failed edits
that leave nothing behind, and the push to a linked Ontology."""
import json

import pytest

from _trelvanic import OntologyBuilder, ParseError, Reasoner
from helpers import iri, subclass_axioms, write_ofn


A, B, C = "http://ex.org/A", "http://ex.org/B", "http://ex.org/C"
P, Q = "http://ex.org/p", "http://ex.org/q"
I, J = "http://ex.org/i", "http://ex.org/j"

UNSUPPORTED = 'unsupported axiom JSON; use format v2 axiom objects (e.g. {"SubClassOf": {...}})'


def linked(*pairs, profile=None):
    builder = OntologyBuilder()
    for sub, sup in pairs:
        builder.subclass_of(sub, sup)
    shared = builder.build()
    return shared, Reasoner(ontology=shared, profile=profile)


def snapshot(ontology):
    d = ontology.to_dict()
    return {e["iri"]: e["kind"] for e in d["entities"]}, d["axioms"]


FORMS = [
    ({"SubClassOf": {"subclass": A, "superclass": B}}, {A: "Class", B: "Class"}),
    ({"SubObjectPropertyOf": {"sub_property": P, "super_property": Q}}, {P: "ObjectProperty", Q: "ObjectProperty"}),
    ({"ObjectPropertyDomain": {"property": P, "domain": A}}, {P: "ObjectProperty", A: "Class"}),
    ({"ObjectPropertyRange": {"property": P, "range": A}}, {P: "ObjectProperty", A: "Class"}),
    ({"ClassAssertion": {"individual": I, "class": A}}, {I: "Individual", A: "Class"}),
    ({"ObjectPropertyAssertion": {"subject": I, "property": P, "object": J}},
     {I: "Individual", P: "ObjectProperty", J: "Individual"}),
]


@pytest.mark.parametrize("axiom,kinds", FORMS, ids=[next(iter(f[0])) for f in FORMS])
def test_each_form_adds_its_told_axiom_and_registers_its_kinds(axiom, kinds):
    shared, reasoner = linked()
    assert reasoner.add_axiom_json(axiom) is None
    assert snapshot(shared) == (kinds, [axiom])


def test_first_supported_key_in_table_order_wins_and_others_are_ignored():
    shared, reasoner = linked()
    reasoner.add_axiom_json({"ClassAssertion": {"individual": I, "class": A},
                             "SubClassOf": {"subclass": A, "superclass": B}, "Other": 1})
    assert snapshot(shared)[1] == [{"SubClassOf": {"subclass": A, "superclass": B}}]


ERRORS = [
    ('{"SubClassOf": {}}', UNSUPPORTED),  # a str is written as a JSON string
    ([], UNSUPPORTED),
    ({"Declaration": {"iri": A}}, UNSUPPORTED),
    ({"SubClassOf": {"subclass": 1, "superclass": B}}, "SubClassOf missing subclass"),
    ({"SubClassOf": {"subclass": A}}, "SubClassOf missing superclass"),
    ({"SubClassOf": [A, B]}, "SubClassOf missing subclass"),
    ({"SubObjectPropertyOf": {"sub_property": P}}, "SubObjectPropertyOf missing super_property"),
    ({"ObjectPropertyDomain": {"domain": A}}, "ObjectPropertyDomain missing property"),
    ({"ObjectPropertyRange": {"property": P}}, "ObjectPropertyRange missing range"),
    ({"ClassAssertion": {"class": A}}, "ClassAssertion missing individual"),
    ({"ObjectPropertyAssertion": {"subject": I, "property": P}}, "ObjectPropertyAssertion missing object"),
    ({"SubClassOf": {"subclass": float("nan"), "superclass": B}}, None),  # NaN is not JSON
]


@pytest.mark.parametrize("axiom,message", ERRORS)
def test_refused_axioms_raise_runtime_error_and_change_nothing(axiom, message):
    shared, reasoner = linked((A, B))
    before = snapshot(shared)
    with pytest.raises(RuntimeError) as info:
        reasoner.add_axiom_json(axiom)
    if message is not None:
        assert str(info.value) == message
    assert snapshot(shared) == before


def test_a_failed_edit_leaves_no_entity_behind():
    shared, reasoner = linked((A, B))
    reasoner.add_axiom_json({"SubObjectPropertyOf": {"sub_property": P, "super_property": Q}})
    reasoner.add_axiom_json({"ClassAssertion": {"individual": P, "class": A}})  # punned
    before = snapshot(shared)
    assert before[0][P] == "ObjectPropertyIndividual"
    # C is new; the property P cannot also be a class: the edit fails as a
    # whole and C is not registered.
    with pytest.raises(RuntimeError, match="entity kind mismatch"):
        reasoner.add_axiom_json({"ObjectPropertyDomain": {"property": C, "domain": P}})
    with pytest.raises(RuntimeError, match="entity kind mismatch"):
        reasoner.add_subclass_of(C, P)
    assert snapshot(shared) == before


def test_json_dumps_errors_pass_unchanged():
    _, reasoner = linked()
    with pytest.raises(TypeError, match="not JSON serializable"):
        reasoner.add_axiom_json({"SubClassOf": {"subclass": object()}})


def test_size_cap_is_16_mib_exactly():
    _, reasoner = linked()
    cap = 16 * 1024 * 1024
    base = {"SubClassOf": {"subclass": A, "superclass": B}, "pad": ""}
    overhead = len(json.dumps(base))
    at_cap = dict(base, pad="x" * (cap - overhead))
    assert len(json.dumps(at_cap)) == cap
    reasoner.add_axiom_json(at_cap)
    over = dict(base, pad="x" * (cap - overhead + 1))
    with pytest.raises(ParseError, match=r"^serialization error: axiom JSON exceeds maximum size of 16777216 bytes$"):
        reasoner.add_axiom_json(over)


def test_adding_twice_stores_one_axiom_and_pushes_both_times():
    shared, reasoner = linked()
    other = Reasoner(ontology=shared)
    reasoner.add_subclass_of(A, B)
    reasoner.add_subclass_of(subclass=A, superclass=B)
    assert shared.axiom_count == 1
    # Each call advanced the shared revision: the other reasoner pulls
    # before its own edit and so meets no conflict.
    other.add_subclass_of(B, C)
    assert shared.axiom_count == 2


def test_remove_subclass_of_messages_and_second_removal():
    shared, reasoner = linked((A, B))
    with pytest.raises(RuntimeError, match="^unknown class IRI: http://ex.org/nowhere$"):
        reasoner.remove_subclass_of("http://ex.org/nowhere", B)
    with pytest.raises(RuntimeError, match=f"^no SubClassOf axiom for {B} \u2291 {A}$"):
        reasoner.remove_subclass_of(B, A)
    reasoner.remove_subclass_of(A, B)
    assert shared.axiom_count == 0
    with pytest.raises(RuntimeError, match=f"^no SubClassOf axiom for {A} \u2291 {B}$"):
        reasoner.remove_subclass_of(A, B)


def test_edit_argument_types():
    _, reasoner = linked()
    with pytest.raises(TypeError, match="argument 'superclass'"):
        reasoner.add_subclass_of(A, 3)
    with pytest.raises(TypeError, match="argument 'subclass'"):
        reasoner.remove_subclass_of(None, B)


def test_edits_drop_the_taxonomy():
    _, reasoner = linked((A, B), profile="el")
    for edit in (lambda: reasoner.add_subclass_of(B, C),
                 lambda: reasoner.add_axiom_json({"ClassAssertion": {"individual": I, "class": A}}),
                 lambda: reasoner.remove_subclass_of(B, C)):
        reasoner.classify()
        assert reasoner.taxonomy is not None
        edit()
        assert reasoner.taxonomy is None


def test_failed_edit_keeps_the_taxonomy():
    _, reasoner = linked((A, B), profile="el")
    reasoner.classify()
    with pytest.raises(RuntimeError):
        reasoner.add_axiom_json({"SubClassOf": {}})
    with pytest.raises(RuntimeError):
        reasoner.remove_subclass_of(B, A)
    assert reasoner.taxonomy is not None


def test_edits_on_a_reasoner_from_a_file_change_its_own_copy(tmp_path):
    reasoner = Reasoner(path=write_ofn(tmp_path, subclass_axioms([("A", "B")])), trusted=True)
    reasoner.add_subclass_of(iri("B"), iri("C"))
    reasoner.remove_subclass_of(iri("A"), iri("B"))
    with pytest.raises(RuntimeError, match="no SubClassOf axiom"):
        reasoner.remove_subclass_of(iri("A"), iri("B"))


# Edits of reasoners working on copies of one ontology of a few thousand
# classes (its tables span many chunks that the copies share): each case is a
# list of (add?, sub, super) edits made through one linked reasoner.
HUBS = 40
CLASSES = 3000
BASE_PAIRS = [(f"C{i}", f"H{i % HUBS}") for i in range(CLASSES)]
SHARING_CASES = {
    "one add": [(True, "C2999", "C0")],
    "adds far apart": [(True, "C0", "C2500"), (True, "C1500", "H7"), (True, "H39", "C1024")],
    "repeated add": [(True, "C10", "C20"), (True, "C10", "C20")],
    "remove after add": [(True, "C2047", "C2049"), (False, "C2047", "C2049")],
    "remove a loaded axiom": [(False, "C1023", "H23"), (False, "C2999", "H39")],
    "add, remove, add again": [(True, "C5", "C2005"), (False, "C5", "C2005"), (True, "C5", "C2005")],
}


@pytest.mark.parametrize("edits", SHARING_CASES.values(), ids=SHARING_CASES.keys())
def test_edits_through_copies_answer_as_a_fresh_load_of_the_edited_text(tmp_path, edits):
    from _trelvanic import Ontology

    write_ofn(tmp_path, subclass_axioms(BASE_PAIRS), name="base.ofn")
    shared = Ontology.load_in(str(tmp_path), "base.ofn")
    unlinked = Ontology.load_in(str(tmp_path), "base.ofn")
    before = unlinked.to_dict()
    editor = Reasoner(ontology=shared, profile="EL")
    reader = Reasoner(ontology=shared, profile="EL")
    from_file = Reasoner.load_in(str(tmp_path), "base.ofn", profile="EL")
    reader.classify()  # the reader's working copy now shares the shared tables
    pairs = list(BASE_PAIRS)
    for add, sub, sup in edits:
        if add:
            editor.add_subclass_of(iri(sub), iri(sup))
            if (sub, sup) not in pairs:
                pairs.append((sub, sup))
        else:
            editor.remove_subclass_of(iri(sub), iri(sup))
            pairs.remove((sub, sup))
    write_ofn(tmp_path, subclass_axioms(pairs), name="edited.ofn")
    fresh = Reasoner.load_in(str(tmp_path), "edited.ofn", profile="EL")

    subsumptions = lambda r: {tuple(p) for p in r.classify()["subsumptions"]}
    expected = subsumptions(fresh)
    assert subsumptions(editor) == expected
    assert subsumptions(reader) == expected  # pulled what the editor published
    assert shared.axiom_count == len(pairs)
    # Nothing reaches an ontology or reasoner that does not share the link.
    assert unlinked.to_dict() == before
    assert subsumptions(from_file) == {tuple(p) for p in Reasoner(ontology=unlinked, profile="EL").classify()["subsumptions"]}
    for add, sub, sup in edits:
        assert from_file.is_entailed(iri(sub), iri(sup)) == ((sub, sup) in BASE_PAIRS)
