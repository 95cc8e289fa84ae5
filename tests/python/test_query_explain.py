"""Reasoner.query (one-atom queries over a classification) and
Reasoner.explain (proof graphs of an EL classification)."""
import pytest

import _trelvanic
from helpers import EX, iri, write_ofn

# b is told a B, B ⊑ A; c reaches A only through an existential:
# c r b, ∃r.A ⊑ D; U is unsatisfiable.
BODY = """
Declaration(Class(:A)) Declaration(Class(:B)) Declaration(Class(:C))
Declaration(Class(:D)) Declaration(Class(:U)) Declaration(Class(:V))
Declaration(ObjectProperty(:r))
Declaration(NamedIndividual(:b)) Declaration(NamedIndividual(:c))
SubClassOf(:B :A)
SubClassOf(:C :A)
SubClassOf(ObjectSomeValuesFrom(:r :A) :D)
SubClassOf(:U :B) SubClassOf(:U :V) DisjointClasses(:B :V)
ClassAssertion(:B :b)
ObjectPropertyAssertion(:r :c :b)
"""


@pytest.fixture
def reasoner(tmp_path):
    return _trelvanic.Reasoner.load_in(str(tmp_path), write_ofn(tmp_path, BODY), profile="el")


def test_type_atoms_answer_entailed_instances(reasoner):
    assert reasoner.taxonomy is None
    assert reasoner.query(f"Type(?x, {iri('A')})") == [{"x": iri("b")}]
    assert reasoner.taxonomy is not None  # classified first
    assert reasoner.query(f"Type(?who, {iri('D')})") == [{"who": iri("c")}]
    assert reasoner.query(f"Type(?x, {iri('C')})") == []


def test_subclass_atoms_answer_direct_subclasses(reasoner):
    answers = reasoner.query(f"SubClassOf(?x, {iri('A')})")
    assert sorted(a["x"] for a in answers) == [iri("B"), iri("C")]


def test_unsatisfiable_classes_answer_nothing(reasoner):
    for atom in ("Type", "SubClassOf"):
        assert reasoner.query(f"{atom}(?x, {iri('U')})") == []


@pytest.mark.parametrize("text, message", [
    ("Type(?x, " + "a" * 4086 + ")", "unknown class in query: " + "a" * 4086),  # 4096 bytes
    ("Type(?x, " + "a" * 4087 + ")", "query parse error: query length exceeds maximum of 4096"),
    ("Instance(?x, A)", "query parse error: unsupported query atom: Instance(?x, A)"),
    ("Type(?x)", "query parse error: missing second argument"),
    (f"Type(?x, {EX}A) AND Type(?y, {EX}B)", "query parse error: query atom count exceeds maximum of 1"),
    ("  ", "query parse error: query must contain at least one atom"),
    (f"Type(?x, {EX}Missing)", f"unknown class in query: {EX}Missing"),
    (f"Type(?x, {EX}ANDROID)", f"query parse error: unsupported query atom: Type(?x, {EX}"),
    (f"Type(?x, {EX}b)", "unknown entity EntityId("),
], ids=lambda value: value[:30] if isinstance(value, str) else None)
def test_refused_queries(reasoner, text, message):
    with pytest.raises(RuntimeError) as info:
        reasoner.query(text)
    assert str(info.value).startswith(message)


def test_queries_need_a_taxonomy_route(tmp_path):
    path = write_ofn(tmp_path, BODY)
    rl = _trelvanic.Reasoner.load_in(str(tmp_path), path, profile="rl")
    with pytest.raises(RuntimeError, match="^query requires taxonomy classification outcome$"):
        rl.query(f"Type(?x, {iri('A')})")
    with pytest.raises(TypeError):
        rl.query(42)


def test_explain_gives_a_proof_graph_with_told_roots(reasoner):
    graph = reasoner.explain()
    nodes = graph["nodes"]
    assert list(graph) == ["node_count", "nodes", "parse_meta"]
    assert graph["node_count"] == len(nodes)
    assert graph["parse_meta"]["skipped_axiom_count"] == 0
    conclusion_keys = {"conclusion_axiom", "conclusion_sub", "conclusion_existential", "conclusion_subproperty"}
    for index, node in enumerate(nodes):
        assert list(node)[:2] == ["rule", "premises"]
        assert len(conclusion_keys & set(node)) == 1
        assert all(0 <= p < index for p in node["premises"])
        if node["rule"] == "asserted":
            assert node["premises"] == []
    told = [n["conclusion_sub"] for n in nodes if n["rule"] == "asserted" and "conclusion_sub" in n]
    assert (iri("B"), iri("A")) in told
    # U ⊑ A needs two steps over told axioms.
    derived = [n for n in nodes if n.get("conclusion_sub") == (iri("U"), iri("A"))]
    assert derived and all(n["rule"] != "asserted" and n["premises"] for n in derived)


def test_explain_without_parse_meta_and_on_other_routes(tmp_path):
    builder = _trelvanic.OntologyBuilder()
    builder.subclass_of(iri("A"), iri("B"))
    builder.subclass_of(iri("B"), iri("C"))
    built = builder.build()
    graph = _trelvanic.Reasoner(ontology=built, profile="el").explain()
    assert "parse_meta" not in graph
    assert any(n.get("conclusion_sub") == (iri("A"), iri("C")) and n["rule"] != "asserted" for n in graph["nodes"])
    rl = _trelvanic.Reasoner(ontology=built, profile="rl")
    with pytest.raises(Exception, match=r"^explanation is only supported for OWL EL classification \(got Rl\)$"):
        rl.explain()


def test_a_ten_thousand_step_derivation_is_explained(tmp_path):
    n = 10_000
    lines = [f"SubClassOf(:B{i} ObjectSomeValuesFrom(:r :B{i + 1}))" for i in range(n)]
    lines += [f"SubClassOf(:B{n} :X)", "SubClassOf(ObjectSomeValuesFrom(:r :X) :X)"]
    path = write_ofn(tmp_path, "\n".join(lines))
    nodes = _trelvanic.Reasoner.load_in(str(tmp_path), path, profile="el").explain()["nodes"]
    at = max(i for i, node in enumerate(nodes) if node.get("conclusion_sub") == (iri("B0"), iri("X")))
    depth = 0
    while True:
        subs = [p for p in nodes[at]["premises"] if "conclusion_sub" in nodes[p]]
        if not subs:
            break
        at, depth = subs[0], depth + 1
    assert depth == n


def test_type_atoms_on_the_dl_route(tmp_path):
    body = """
    SubClassOf(:A ObjectUnionOf(:B :C)) SubClassOf(:B :D) SubClassOf(:C :D)
    ClassAssertion(:A :x) ClassAssertion(:B :y) ClassAssertion(:E :z)
    """
    r = _trelvanic.Reasoner.load_in(str(tmp_path), write_ofn(tmp_path, body), profile="dl")
    assert r.query(f"Type(?i, {iri('D')})") == [{"i": iri("x")}, {"i": iri("y")}]
    assert r.query(f"Type(?i, {iri('B')})") == [{"i": iri("y")}]
