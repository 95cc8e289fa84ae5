"""Reasoner.check_consistency, is_consistent and is_entailed: the result
shapes, the keyword groups, sound answers for unsatisfiable classes, the
lenient-load flag and memberships that follow from property assertions,
and what the calls leave behind."""
import pytest

from _trelvanic import IncompleteReasoningError, OntologyBuilder, Reasoner
from helpers import iri, ofn_document, write_ofn, write_text


THING = "http://www.w3.org/2002/07/owl#Thing"
NOTHING = "http://www.w3.org/2002/07/owl#Nothing"

# A is below two disjoint classes: unsatisfiable, but nothing is in it.
UNSAT_CLASS = """
Declaration(Class(:A)) Declaration(Class(:B)) Declaration(Class(:C))
SubClassOf(:A :B) SubClassOf(:A :C) DisjointClasses(:B :C)
"""

# p has domain D; i p j; l is a D by a subclass; l r j with r below p.
MEMBERSHIP = """
Declaration(Class(:D)) Declaration(Class(:E)) Declaration(Class(:F))
Declaration(ObjectProperty(:p))
Declaration(NamedIndividual(:i)) Declaration(NamedIndividual(:j)) Declaration(NamedIndividual(:l))
ObjectPropertyDomain(:p :D) ObjectPropertyAssertion(:p :i :j)
SubClassOf(:E :D) ClassAssertion(:E :l)
Declaration(ObjectProperty(:r)) SubObjectPropertyOf(:r :p) ObjectPropertyAssertion(:r :l :j)
"""


def reasoner_on(tmp_path, body, **kwargs):
    path = write_text(tmp_path, "o.ofn", ofn_document(body))
    return Reasoner(path=path, trusted=True, **kwargs)


def test_check_consistency_dict_keys_in_order_and_unsat_class_is_not_inconsistency(tmp_path):
    reasoner = reasoner_on(tmp_path, UNSAT_CLASS, profile="el")
    result = reasoner.check_consistency()
    assert list(result) == ["consistent", "complete"]
    assert result == {"consistent": True, "complete": True}
    assert reasoner.is_consistent() is True


def test_an_instance_of_an_unsatisfiable_class_is_inconsistent(tmp_path):
    reasoner = reasoner_on(tmp_path, UNSAT_CLASS + "ClassAssertion(:A :x)", profile="el")
    assert reasoner.check_consistency() == {"consistent": False, "complete": True}
    assert reasoner.is_consistent() is False


@pytest.mark.parametrize("profile", ["auto", "el", "rl", "rdfs", "dl", "swrl"])
def test_lenient_load_that_dropped_a_reflexive_difference_is_inconsistent_everywhere(tmp_path, profile):
    body = "Declaration(NamedIndividual(:a)) DifferentIndividuals(:a :a)"
    reasoner = reasoner_on(tmp_path, body, lenient=True, profile=profile)
    assert reasoner.check_consistency() == {"consistent": False, "complete": True}
    assert reasoner.is_consistent() is False


def test_incomplete_answer_is_a_pair_or_an_error(tmp_path):
    # A negative property assertion is outside what the EL engine decides.
    body = """Declaration(ObjectProperty(:p)) Declaration(NamedIndividual(:a))
    NegativeObjectPropertyAssertion(:p :a :a)"""
    reasoner = reasoner_on(tmp_path, body, profile="el")
    assert reasoner.check_consistency() == {"consistent": False, "complete": False}
    with pytest.raises(IncompleteReasoningError, match="^consistency check incomplete$"):
        reasoner.is_consistent()


# Ordinary OWL 2 RL: a union on the left, a universal and a hasValue on the
# right, an enumeration; once refused as "not in OWL EL profile".
RL_ONTOLOGY = """
Declaration(Class(:A)) Declaration(Class(:B)) Declaration(Class(:C)) Declaration(Class(:E))
Declaration(ObjectProperty(:p)) Declaration(NamedIndividual(:a)) Declaration(NamedIndividual(:b))
SubClassOf(ObjectUnionOf(:A :B) :C)
SubClassOf(:C ObjectAllValuesFrom(:p :E))
SubClassOf(:E ObjectHasValue(:p :b))
SubClassOf(ObjectOneOf(:a) :A)
ObjectPropertyAssertion(:p :a :b)
"""


@pytest.mark.parametrize("body,expected", [
    (UNSAT_CLASS, {"consistent": True, "complete": True}),
    (UNSAT_CLASS + "ClassAssertion(:A :x)", {"consistent": False, "complete": True}),
    (RL_ONTOLOGY, {"consistent": True, "complete": True}),
    # a is an A (oneOf), so a C, so its p-value b is an E; b as an A is also
    # a C, which E is disjoint with.
    (RL_ONTOLOGY + "DisjointClasses(:E :C) ClassAssertion(:A :b)", {"consistent": False, "complete": True}),
    # Nothing puts a into E.
    (RL_ONTOLOGY + "DisjointClasses(:E :A)", {"consistent": True, "complete": True}),
])
def test_rl_route_gives_the_rl_verdict(tmp_path, body, expected):
    reasoner = reasoner_on(tmp_path, body, profile="rl")
    assert reasoner.check_consistency() == expected


def test_rdfs_route_proves_no_consistency(tmp_path):
    reasoner = reasoner_on(tmp_path, UNSAT_CLASS, profile="rdfs")
    assert reasoner.check_consistency() == {"consistent": False, "complete": False}
    with pytest.raises(IncompleteReasoningError, match="^consistency check incomplete$"):
        reasoner.is_consistent()


def test_swrl_route_without_rules_proves_an_empty_class_consistent(tmp_path):
    reasoner = reasoner_on(tmp_path, UNSAT_CLASS, profile="swrl")
    assert reasoner.check_consistency() == {"consistent": True, "complete": True}


def test_dl_route_proves_an_empty_class_consistent(tmp_path):
    reasoner = reasoner_on(tmp_path, UNSAT_CLASS, profile="dl")
    assert reasoner.check_consistency() == {"consistent": True, "complete": True}


@pytest.mark.parametrize("kwargs,expected", [
    ({"individual": iri("i"), "class_": iri("D")}, True),
    ({"individual": iri("j"), "class_": iri("D")}, False),
    ({"sub": iri("E"), "sup": iri("D")}, True),
    ({"sub": iri("D"), "sup": iri("E")}, False),
    ({"subject": iri("l"), "property": iri("p"), "object": iri("j")}, True),
    ({"subject": iri("j"), "property": iri("p"), "object": iri("l")}, False),
])
def test_rl_route_decides_entailments(tmp_path, kwargs, expected):
    reasoner = reasoner_on(tmp_path, MEMBERSHIP, profile="rl")
    assert reasoner.is_entailed(**kwargs) is expected


def test_consistency_checks_leave_the_taxonomy(tmp_path):
    reasoner = reasoner_on(tmp_path, UNSAT_CLASS, profile="el")
    reasoner.classify()
    before = reasoner.taxonomy
    reasoner.check_consistency()
    reasoner.is_consistent()
    assert reasoner.taxonomy == before is not None


ARGUMENT_ERRORS = [
    ({}, "entail requires exactly one of: (--sub and --sup), (--individual and --class), or "
         "(--subject, --property, and --object)"),
    ({"sub": "x", "individual": "y"}, "entail requires exactly one of"),
    ({"sub": "x"}, "--sup required"),
    ({"sup": "x"}, "--sub required"),
    ({"class_": "x"}, "--individual required"),
    ({"property": "x"}, "--subject required"),
    ({"subject": "x", "property": "y"}, "--object required"),
    ({"sub": "", "sup": iri("D")}, "unknown class IRI: "),
    ({"individual": iri("i"), "class_": iri("p")}, "expected class IRI: " + iri("p")),
    ({"subject": iri("i"), "property": iri("D"), "object": iri("j")}, "expected object property IRI: " + iri("D")),
]


@pytest.mark.parametrize("kwargs,message", ARGUMENT_ERRORS)
def test_is_entailed_usage_and_lookup_failures_are_plain_exceptions(tmp_path, kwargs, message):
    reasoner = reasoner_on(tmp_path, MEMBERSHIP, profile="el")
    with pytest.raises(Exception) as info:
        reasoner.is_entailed(**kwargs)
    assert type(info.value) is Exception
    assert str(info.value).startswith(message)


def test_is_entailed_argument_types(tmp_path):
    reasoner = reasoner_on(tmp_path, MEMBERSHIP)
    with pytest.raises(TypeError, match="argument 'sub'"):
        reasoner.is_entailed(1, iri("D"))
    with pytest.raises(TypeError, match="argument 'class_'"):
        reasoner.is_entailed(individual=iri("i"), class_=2)


@pytest.mark.parametrize("profile", ["auto", "el", "rl", "rdfs", "dl"])
def test_trivial_subsumptions_hold_on_every_route(tmp_path, profile):
    reasoner = reasoner_on(tmp_path, MEMBERSHIP, profile=profile)
    assert reasoner.is_entailed(iri("D"), iri("D")) is True
    assert reasoner.is_entailed(sub=iri("D"), sup=THING) is True
    assert reasoner.is_entailed(sub=NOTHING, sup=iri("D")) is True
    assert reasoner.is_entailed(individual=iri("i"), class_=THING) is True


@pytest.mark.parametrize("individual,cls,expected", [
    ("i", "D", True),   # through the domain of p
    ("l", "D", True),   # through E ⊑ D
    ("j", "D", False),
    ("i", "E", False),
    ("l", "F", False),
])
def test_el_class_assertions_count_property_assertions_and_subclasses(tmp_path, individual, cls, expected):
    reasoner = reasoner_on(tmp_path, MEMBERSHIP, profile="el")
    assert reasoner.is_entailed(individual=iri(individual), class_=iri(cls)) is expected


def test_el_subsumption_and_property_assertions(tmp_path):
    reasoner = reasoner_on(tmp_path, MEMBERSHIP, profile="el")
    assert reasoner.is_entailed(iri("E"), iri("D")) is True
    assert reasoner.is_entailed(iri("D"), iri("E")) is False
    assert reasoner.is_entailed(subject=iri("i"), property=iri("p"), object=iri("j")) is True
    # Through the sub-property: the earlier lookup of stated values alone
    # missed it.
    assert reasoner.is_entailed(subject=iri("l"), property=iri("p"), object=iri("j")) is True
    assert reasoner.is_entailed(subject=iri("j"), property=iri("p"), object=iri("i")) is False
    assert reasoner.is_entailed(subject=iri("i"), property=iri("r"), object=iri("j")) is False


def test_is_entailed_drops_the_taxonomy_only_on_success(tmp_path):
    reasoner = reasoner_on(tmp_path, MEMBERSHIP, profile="el")
    reasoner.classify()
    with pytest.raises(Exception):
        reasoner.is_entailed(sub=iri("nowhere"), sup=iri("D"))
    assert reasoner.taxonomy is not None
    assert reasoner.is_entailed(iri("E"), iri("D")) is True
    assert reasoner.taxonomy is None


def test_linked_reasoner_answers_on_the_newer_shared_ontology():
    builder = OntologyBuilder()
    builder.subclass_of(iri("A"), iri("B"))
    builder.add_class(iri("C"))
    shared = builder.build()
    reader = Reasoner(ontology=shared, profile="el")
    writer = Reasoner(ontology=shared, profile="el")
    assert reader.is_entailed(iri("A"), iri("C")) is False
    writer.add_subclass_of(iri("B"), iri("C"))
    assert reader.is_entailed(iri("A"), iri("C")) is True
    assert shared.entity_count == 3


@pytest.mark.parametrize("sub,sup,expected", [
    ("http://www.w3.org/2002/07/owl#Thing", "B", True),     # every element is S-linked to itself
    ("http://www.w3.org/2002/07/owl#Thing", "A", False),
    ("X", "http://www.w3.org/2002/07/owl#Nothing", True),
    ("A", "http://www.w3.org/2002/07/owl#Nothing", False),
    ("http://www.w3.org/2002/07/owl#Thing", "http://www.w3.org/2002/07/owl#Thing", True),
])
def test_standard_classes_need_not_be_registered(tmp_path, sub, sup, expected):
    body = "\n".join([
        "Declaration(Class(:A))", "Declaration(Class(:B))", "Declaration(Class(:C))", "Declaration(Class(:X))",
        "Declaration(ObjectProperty(:S))",
        "ReflexiveObjectProperty(:S)", "ObjectPropertyRange(:S :B)",
        "SubClassOf(:X :A)", "SubClassOf(:X :C)", "DisjointClasses(:A :C)",
    ])
    path = write_ofn(tmp_path, body)
    reasoner = Reasoner.load_in(str(tmp_path), path, profile="el")
    assert reasoner.is_entailed(sub=iri(sub), sup=iri(sup)) is expected
