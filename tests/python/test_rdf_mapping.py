"""What a load makes of an ontology file, per syntax: the told and DL axioms
stored and the parse metadata, for constructs every syntax spells its own
way (DisjointUnion, AllDifferent), and for RDF triples the mapping to OWL
cannot carry over."""
import os

import pytest

from _trelvanic import Ontology, ParseError, Reasoner
from helpers import EX, ONTOLOGY_IRI, iri, write_ofn, write_owx, write_text, write_ttl

RDF_XML_HEAD = ('<?xml version="1.0"?>\n'
                '<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#"\n'
                '         xmlns:rdfs="http://www.w3.org/2000/01/rdf-schema#"\n'
                '         xmlns:owl="http://www.w3.org/2002/07/owl#"\n'
                f'         xml:base="{EX}">\n'
                f'  <owl:Ontology rdf:about="{ONTOLOGY_IRI}"/>\n')


def write_rdf_xml(tmp_path, body, name="o.rdf"):
    return write_text(tmp_path, name, RDF_XML_HEAD + body + "\n</rdf:RDF>\n")


def short(iri):
    return iri[len(EX):] if iri.startswith(EX) else iri


def stored_axioms(path):
    """(told, dl) of a strict load: told axioms as their JSON dicts with short
    names, DL axioms rendered as Kind(operands) over expressions spelled
    out, each list sorted."""
    data = Ontology.load_in(os.path.dirname(path), os.path.basename(path)).to_dict()
    names = [short(e["iri"]) for e in data["entities"]]
    exprs = data["dl"]["expressions"]

    def expr(i):
        (kind, arg), = exprs[i].items()
        if kind == "Atomic":
            return names[arg]
        return f"{kind}({' '.join(expr(j) for j in arg)})"

    dl = []
    for axiom in data["dl"]["axioms"]:
        (kind, arg), = axiom.items()
        dl.append(f"{kind}({' '.join(expr(j) for j in arg)})")
    told = [repr(a).replace(EX, "") for a in data["axioms"]]
    return sorted(told), sorted(dl)


DISJOINT_UNION = {
    "o.ofn": lambda p: write_ofn(p, "SubClassOf(:D :E) DisjointUnion(:A :B :C)"),
    "o.owx": lambda p: write_owx(p, f'<SubClassOf><Class IRI="{EX}D"/><Class IRI="{EX}E"/></SubClassOf>'
                                    f'<DisjointUnion><Class IRI="{EX}A"/><Class IRI="{EX}B"/>'
                                    f'<Class IRI="{EX}C"/></DisjointUnion>'),
    "o.ttl": lambda p: write_ttl(p, f"<{EX}D> rdfs:subClassOf <{EX}E> .\n"
                                    f"<{EX}A> owl:disjointUnionOf ( <{EX}B> <{EX}C> ) ."),
    "o.rdf": lambda p: write_rdf_xml(p, '<owl:Class rdf:about="#D"><rdfs:subClassOf rdf:resource="#E"/></owl:Class>\n'
                                        '<owl:Class rdf:about="#A"><owl:disjointUnionOf rdf:parseType="Collection">'
                                        '<owl:Class rdf:about="#B"/><owl:Class rdf:about="#C"/>'
                                        '</owl:disjointUnionOf></owl:Class>'),
}


@pytest.mark.parametrize("name", sorted(DISJOINT_UNION))
def test_disjoint_union_is_an_equivalence_to_the_union_and_a_disjointness(tmp_path, name):
    path = DISJOINT_UNION[name](tmp_path)
    told, dl = stored_axioms(path)
    assert dl == ["DisjointClasses(B C)", "EquivalentClasses(A Or(B C))"]
    assert told == ["{'SubClassOf': {'subclass': 'D', 'superclass': 'E'}}"]
    meta = Reasoner(path=path, trusted=True).parse_meta
    assert meta == {"warnings": [], "mapped_axiom_count": 2, "skipped_axiom_count": 0, "logical_axiom_count": 2}


# An AllDifferent of one member says nothing; two members naming one
# individual cannot hold.
ALL_DIFFERENT = [
    ("ttl one member", "o.ttl", f"[] a owl:AllDifferent ; owl:distinctMembers ( <{EX}a> ) .", True),
    ("ttl a differs from a", "o.ttl", f"<{EX}a> owl:differentFrom <{EX}a> .", False),
    ("ttl a listed twice", "o.ttl", f"[] a owl:AllDifferent ; owl:distinctMembers ( <{EX}a> <{EX}b> <{EX}a> ) .",
     False),
    ("rdf one member", "o.rdf", '<owl:AllDifferent><owl:distinctMembers rdf:parseType="Collection">'
                                '<owl:Thing rdf:about="#a"/></owl:distinctMembers></owl:AllDifferent>', True),
    ("ofn one member", "o.ofn", "DifferentIndividuals(:a)", True),
    ("ofn a and a", "o.ofn", "DifferentIndividuals(:a :a)", False),
]


@pytest.mark.parametrize("label,name,body,consistent", ALL_DIFFERENT, ids=[c[0] for c in ALL_DIFFERENT])
@pytest.mark.parametrize("profile", ["auto", "rl"])
def test_all_different_is_degenerate_only_with_a_repeated_member(tmp_path, label, name, body, consistent, profile):
    if name.endswith(".ttl"):
        path = write_ttl(tmp_path, f"<{EX}a> a owl:NamedIndividual . <{EX}b> a owl:NamedIndividual .\n" + body)
    elif name.endswith(".rdf"):
        path = write_rdf_xml(tmp_path, '<owl:NamedIndividual rdf:about="#a"/>' + body)
    else:
        path = write_ofn(tmp_path, "Declaration(NamedIndividual(:a)) " + body)
    reasoner = Reasoner(path=path, trusted=True, lenient=True, profile=profile)
    meta = reasoner.parse_meta
    assert meta["skipped_axiom_count"] == 0
    if consistent:
        assert meta["warnings"] == []
        assert reasoner.check_consistency() == {"consistent": True, "complete": True}
    else:
        assert meta["warnings"] == ["degenerate DifferentIndividuals ignored in lenient parse"]
        assert reasoner.check_consistency() == {"consistent": False, "complete": True}


# Named classes carrying their constructors, an undeclared property, an
# unknown OWL term and a restriction with two fillers.
MIXED_TTL = f"""
<{EX}A> a owl:Class ; owl:intersectionOf ( <{EX}B> <{EX}C> ) .
<{EX}x> <{EX}undeclared> <{EX}y> .
<{EX}B> owl:someWeirdOwlTerm <{EX}C> .
<{EX}B> rdfs:subClassOf [ a owl:Restriction ; owl:onProperty <{EX}p> ;
                          owl:someValuesFrom <{EX}C> ; owl:allValuesFrom <{EX}B> ] .
"""
MIXED_RDF = f"""
<owl:Class rdf:about="#A"><owl:intersectionOf rdf:parseType="Collection">
  <rdf:Description rdf:about="#B"/><rdf:Description rdf:about="#C"/></owl:intersectionOf></owl:Class>
<rdf:Description rdf:about="#x"><undeclared xmlns="{EX}" rdf:resource="#y"/></rdf:Description>
<rdf:Description rdf:about="#B">
  <owl:someWeirdOwlTerm rdf:resource="#C"/>
  <rdfs:subClassOf><owl:Restriction><owl:onProperty rdf:resource="#p"/>
    <owl:someValuesFrom rdf:resource="#C"/><owl:allValuesFrom rdf:resource="#B"/></owl:Restriction></rdfs:subClassOf>
</rdf:Description>
"""


@pytest.mark.parametrize("write", [lambda p: write_ttl(p, MIXED_TTL), lambda p: write_rdf_xml(p, MIXED_RDF)],
                         ids=["turtle", "rdf-xml"])
def test_triples_the_mapping_cannot_carry_fail_strict_and_are_named_lenient(tmp_path, write):
    path = write(tmp_path)
    with pytest.raises(ParseError, match=r"strict parse: skipped 2 axioms due to limits or mapping failures"):
        Reasoner(path=path, trusted=True)
    meta = Reasoner(path=path, trusted=True, lenient=True).parse_meta
    assert meta["skipped_axiom_count"] == 2
    assert meta["mapped_axiom_count"] == 1  # the assertion; the definition of A lives in the DL store
    warnings = meta["warnings"]
    assert warnings[0] == f"undeclared property {EX}undeclared declared as an object property by its use"
    assert f"RDF triple not mapped: <{EX}B> <http://www.w3.org/2002/07/owl#someWeirdOwlTerm> <{EX}C> ." in warnings
    assert any(w.startswith(f"RDF triple not mapped: <{EX}B> <http://www.w3.org/2000/01/rdf-schema#subClassOf> _:")
               and w.endswith("(with 4 triples below it)") for w in warnings)
    assert any("a restriction needs exactly one kind of restriction and filler" in w for w in warnings)


def test_a_class_equivalent_to_itself_is_a_tautology(tmp_path):
    body = ("Declaration(Class(:C)) Declaration(Class(:D)) Declaration(ObjectProperty(:p))\n"
            "EquivalentClasses(:C :C)\n"
            "EquivalentClasses(ObjectSomeValuesFrom(:p :D) ObjectSomeValuesFrom(:p :D))\n"
            "SubClassOf(:C :D)")
    r = Reasoner.load_in(str(tmp_path), write_ofn(tmp_path, body))  # strict
    meta = r.parse_meta
    assert meta["skipped_axiom_count"] == 0
    assert meta["mapped_axiom_count"] == 3
    assert r.is_entailed(sub=iri("C"), sup=iri("D")) is True


# Two ontologies' triples merged into one document: whichever header the
# mapping takes as the ontology's, the other's name and annotations state
# nothing and its import is an import of what was read.
TWO_HEADERS = [
    "<http://ex.org/one> a owl:Ontology ; rdfs:label \"one\" ; owl:versionIRI <http://ex.org/one/v1> ;"
    " owl:imports <http://ex.org/missing-one> .",
    "<http://ex.org/two> a owl:Ontology ; rdfs:comment \"two\" ; owl:imports <http://ex.org/missing-two> .",
    f"<{EX}A> a owl:Class ; rdfs:subClassOf <{EX}B> .",
    f"<{EX}B> a owl:Class .",
]


@pytest.mark.parametrize("order", [(0, 1, 2, 3), (1, 0, 3, 2)])
def test_a_second_ontology_header_states_nothing_and_keeps_its_imports(tmp_path, order):
    prefixes = ("@prefix owl: <http://www.w3.org/2002/07/owl#> .\n"
                "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n")
    path = write_text(tmp_path, "merged.ttl", prefixes + "\n".join(TWO_HEADERS[i] for i in order))
    r = Reasoner(path=path, trusted=True)  # strict: nothing is lost
    assert r.parse_meta["skipped_axiom_count"] == 0
    unresolved = [w for w in r.parse_meta["warnings"] if w.startswith("unresolved owl:imports")]
    assert len(unresolved) == 2, r.parse_meta["warnings"]
    # What the missing imports hold could undo a "consistent".
    assert r.check_consistency() == {"consistent": True, "complete": False}
    assert r.is_entailed(iri("A"), iri("B")) is True
