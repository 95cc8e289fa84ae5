"""Small ontology files for the Python tests, written into a test's
tmp_path in functional syntax, OWL/XML or Turtle.

    path = write_ofn(tmp_path, subclass_axioms([("A", "B")]))
    path = write_owx(tmp_path, owx_subclass_axioms([("A", "B")]))
    path = write_ttl(tmp_path, ttl_subclass_triples([("A", "B")]))

Short names are made full IRIs under EX; every writer returns the path as a
str, ready for Reasoner(path=...), and takes `name` for the file name
(its extension decides the syntax the loader expects).
"""
import pathlib

EX = "http://example.org/t#"
ONTOLOGY_IRI = "http://example.org/t"


def iri(name):
    """The full IRI of a short name (names that are already IRIs stay)."""
    return name if ":" in name else EX + name


def write_text(tmp_path, name, text):
    path = pathlib.Path(tmp_path) / name
    path.parent.mkdir(parents=True, exist_ok=True)
    path.write_text(text, encoding="utf-8")
    return str(path)


# --- functional syntax -------------------------------------------------------

def ofn_document(body):
    return (f"Prefix(:=<{EX}>)\n"
            "Prefix(owl:=<http://www.w3.org/2002/07/owl#>)\n"
            f"Ontology(<{ONTOLOGY_IRI}>\n{body}\n)\n")


def _subclass_lines(pairs, declare, declaration, axiom):
    """Lines for (sub, super) name pairs: the classes declared first (in
    name order) when `declare`, then one axiom per pair; `declaration` and
    `axiom` are format strings over full IRIs."""
    lines = []
    if declare:
        names = sorted({n for pair in pairs for n in pair})
        lines += [declaration.format(iri(n)) for n in names]
    lines += [axiom.format(iri(a), iri(b)) for a, b in pairs]
    return "\n".join(lines)


def subclass_axioms(pairs, declare=True):
    """Functional-syntax SubClassOf axioms for (sub, super) name pairs."""
    return _subclass_lines(pairs, declare, "Declaration(Class(<{}>))", "SubClassOf(<{}> <{}>)")


def write_ofn(tmp_path, body, name="o.ofn"):
    return write_text(tmp_path, name, ofn_document(body))


# --- OWL/XML -----------------------------------------------------------------

def owx_document(body):
    return ('<?xml version="1.0"?>\n'
            '<Ontology xmlns="http://www.w3.org/2002/07/owl#" '
            f'ontologyIRI="{ONTOLOGY_IRI}">\n{body}\n</Ontology>\n')


def owx_subclass_axioms(pairs, declare=True):
    return _subclass_lines(pairs, declare, '  <Declaration><Class IRI="{}"/></Declaration>',
                           '  <SubClassOf><Class IRI="{}"/><Class IRI="{}"/></SubClassOf>')


def write_owx(tmp_path, body, name="o.owx"):
    return write_text(tmp_path, name, owx_document(body))


# --- Turtle ------------------------------------------------------------------

def ttl_document(body):
    return ("@prefix owl: <http://www.w3.org/2002/07/owl#> .\n"
            "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
            "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
            f"<{ONTOLOGY_IRI}> a owl:Ontology .\n{body}\n")


def ttl_subclass_triples(pairs, declare=True):
    return _subclass_lines(pairs, declare, "<{}> a owl:Class .", "<{}> rdfs:subClassOf <{}> .")


def write_ttl(tmp_path, body, name="o.ttl"):
    return write_text(tmp_path, name, ttl_document(body))


# --- generated ---------------------------------------------------------------

def write_large_el(tmp_path, classes, name="large.ofn"):
    """An EL ontology of `classes` classes in a shallow tree (each class
    below the class of a tenth its number) with an existential link per
    class and a domain on the link's property: work enough to keep a
    classification busy without deep subsumer chains."""
    lines = [f"Declaration(ObjectProperty(<{EX}r>))",
             f"ObjectPropertyDomain(<{EX}r> <{EX}C0>)"]
    for i in range(classes):
        lines.append(f"Declaration(Class(<{EX}C{i}>))")
    for i in range(1, classes):
        lines.append(f"SubClassOf(<{EX}C{i}> <{EX}C{i // 10}>)")
        lines.append(f"SubClassOf(<{EX}C{i}> ObjectSomeValuesFrom(<{EX}r> <{EX}C{(i * 7) % classes}>))")
    return write_ofn(tmp_path, "\n".join(lines), name)

