"""What Python sees of the `_trelvanic` module: its names, exception
classes, classes, docstrings and text signatures, and its refusal of
sub-interpreters."""
import copy
import inspect
import keyword
import pickle
import subprocess
import sys
import textwrap
import weakref

import pytest

import _trelvanic

EXCEPTIONS = ["ParseError", "ResourceLimitError", "IncompleteReasoningError", "OntologyConflictError"]
CLASSES = ["Reasoner", "Ontology", "OntologyBuilder"]


def test_module_lists_its_seven_names_in_order_and_has_an_empty_docstring():
    assert _trelvanic.__all__ == EXCEPTIONS + CLASSES
    assert _trelvanic.__doc__ == ""
    public = sorted(n for n in vars(_trelvanic) if not n.startswith("__"))
    assert public == sorted(EXCEPTIONS + CLASSES)


@pytest.mark.parametrize("name", EXCEPTIONS)
def test_exception_classes_are_plain_exception_subclasses(name):
    cls = getattr(_trelvanic, name)
    assert cls.__module__ == "_trelvanic"
    assert cls.__name__ == name
    assert cls.__bases__ == (Exception,)
    assert cls.__doc__ is None
    assert str(cls("the message")) == "the message"
    with pytest.raises(Exception):
        raise cls("caught by except Exception")


CLASS_TABLE = [
    ("Reasoner", "Python wrapper around the TrelVanic reasoner.",
     "(path=None, ontology=None, profile=None, incremental=False, budget_secs=None, "
     "trusted=False, lenient=False)"),
    ("Ontology", "In-memory ontology constructed from JSON or the builder API.", None),
    ("OntologyBuilder", "Fluent builder for constructing ontologies in memory.", "()"),
]


@pytest.mark.parametrize("name,doc,signature", CLASS_TABLE)
def test_classes_show_docstring_signature_and_builtins_module(name, doc, signature):
    cls = getattr(_trelvanic, name)
    assert cls.__name__ == name
    assert cls.__module__ == "builtins"
    assert cls.__doc__ == doc
    assert cls.__text_signature__ == signature
    assert cls.__bases__ == (object,)


@pytest.mark.parametrize("name", CLASSES)
def test_classes_are_final(name):
    cls = getattr(_trelvanic, name)
    with pytest.raises(TypeError):
        type("Derived", (cls,), {})


@pytest.mark.parametrize("make", [
    lambda: object.__new__(_trelvanic.Reasoner),
    lambda: object.__new__(_trelvanic.Ontology),
    lambda: object.__new__(_trelvanic.OntologyBuilder),
    lambda: _trelvanic.Ontology.__new__(_trelvanic.Ontology),
    lambda: copy.copy(_trelvanic.OntologyBuilder()),
    lambda: pickle.dumps(_trelvanic.OntologyBuilder()),
])
def test_no_object_is_made_without_its_native_value(make):
    with pytest.raises(TypeError):
        make()


def test_objects_take_no_new_attributes_and_no_weak_references():
    builder = _trelvanic.OntologyBuilder()
    with pytest.raises(AttributeError):
        builder.anything = 1
    with pytest.raises(TypeError):
        weakref.ref(builder)
    for name in CLASSES:
        cls = getattr(_trelvanic, name)
        assert "__dict__" not in vars(cls) and "__weakref__" not in vars(cls)


@pytest.mark.parametrize("args,kwargs", [((), {}), ((1,), {}), ((), {"json": "{}"})])
def test_ontology_has_no_constructor(args, kwargs):
    with pytest.raises(TypeError, match=r"^No constructor defined for Ontology$"):
        _trelvanic.Ontology(*args, **kwargs)


# (class, member, kind, text signature, docstring after the signature)
MEMBERS = [
    ("Reasoner", "load_in", "classmethod",
     "($cls, base, path, *, profile=None, incremental=False, budget_secs=None, lenient=False)", None),
    ("Reasoner", "parse_meta", "property", None,
     "Parse metadata from the loaded ontology (warnings and axiom counts)."),
    ("Reasoner", "taxonomy", "property", None,
     "Taxonomy from the last EL classification (`None` for RDFS/RL runs)."),
    ("Reasoner", "classify", "method", "($self)", None),
    ("Reasoner", "explain", "method", "($self)", None),
    ("Reasoner", "add_subclass_of", "method", "($self, subclass, superclass)", None),
    ("Reasoner", "remove_subclass_of", "method", "($self, subclass, superclass)", None),
    ("Reasoner", "add_axiom_json", "method", "($self, axiom)", None),
    ("Reasoner", "check_consistency", "method", "($self)",
     'Check ontology consistency; returns `{"consistent": bool, "complete": bool}`.'),
    ("Reasoner", "is_consistent", "method", "($self)", ...),
    ("Reasoner", "is_entailed", "method",
     "($self, sub=None, sup=None, *, individual=None, class_=None, subject=None, property=None, "
     "object=None)",
     "Check entailment for `SubClassOf`, `ClassAssertion`, or `ObjectPropertyAssertion`."),
    ("Reasoner", "query", "method", "($self, query)", ...),
    ("Ontology", "from_json", "classmethod", "($cls, json)", None),
    ("Ontology", "from_json_with_limits", "classmethod",
     "($cls, json, *, max_json_bytes=None, max_entities=None, max_axioms=None, max_iri_len=None)",
     None),
    ("Ontology", "from_dict", "classmethod", "($cls, data)", None),
    ("Ontology", "load_in", "classmethod", "($cls, base, path)", None),
    ("Ontology", "to_json", "method", "($self)", None),
    ("Ontology", "to_dict", "method", "($self)", None),
    ("Ontology", "axiom_count", "property", None, ""),
    ("Ontology", "entity_count", "property", None, ""),
    ("OntologyBuilder", "add_class", "method", "($self, iri)", None),
    ("OntologyBuilder", "individual", "method", "($self, iri)", None),
    ("OntologyBuilder", "object_property", "method", "($self, iri)", None),
    ("OntologyBuilder", "subclass_of", "method", "($self, subclass, superclass)", None),
    ("OntologyBuilder", "subproperty_of", "method", "($self, sub, sup)", None),
    ("OntologyBuilder", "property_domain", "method", "($self, property, domain)", None),
    ("OntologyBuilder", "property_range", "method", "($self, property, range)", None),
    ("OntologyBuilder", "class_assertion", "method", "($self, individual, class)", None),
    ("OntologyBuilder", "object_property_assertion", "method", "($self, subject, property, object)",
     None),
    ("OntologyBuilder", "build", "method", "($self)", None),
]


@pytest.mark.parametrize("cls_name,name,kind,signature,doc", MEMBERS,
                         ids=[f"{m[0]}.{m[1]}" for m in MEMBERS])
def test_member_kind_signature_and_docstring(cls_name, name, kind, signature, doc):
    cls = getattr(_trelvanic, cls_name)
    raw = vars(cls)[name]
    expected_kind = {"classmethod": "classmethod_descriptor", "method": "method_descriptor",
                     "property": "getset_descriptor"}[kind]
    assert type(raw).__name__ == expected_kind
    if kind != "property":
        assert raw.__text_signature__ == signature
        names = [p.strip(" $*").split("=")[0] for p in signature.strip("()").split(",")]
        if not any(keyword.iskeyword(n) for n in names):  # `class` cannot be a Python parameter
            inspect.signature(getattr(cls, name))
    if doc is ...:
        assert raw.__doc__  # free wording, but present
    else:
        assert raw.__doc__ == doc


def test_member_tables_hold_nothing_else():
    for cls_name in CLASSES:
        cls = getattr(_trelvanic, cls_name)
        own = {n for n in vars(cls) if not n.startswith("__")}
        assert own == {m[1] for m in MEMBERS if m[0] == cls_name}


def test_query_and_is_consistent_docstrings_say_what_they_do():
    assert _trelvanic.Reasoner.query.__doc__.startswith("Answer a conjunctive query after classification (")
    assert "Type(?x, " in _trelvanic.Reasoner.query.__doc__
    assert "consisten" in _trelvanic.Reasoner.is_consistent.__doc__


def test_reimport_after_removal_from_sys_modules_gives_the_same_module():
    first = sys.modules["_trelvanic"]
    parse_error = first.ParseError
    reasoner = first.Reasoner
    del sys.modules["_trelvanic"]
    try:
        import _trelvanic as again
    finally:
        sys.modules["_trelvanic"] = first
    assert again is first
    assert again.ParseError is parse_error and again.Reasoner is reasoner
    assert again.__all__ == EXCEPTIONS + CLASSES


def run_python(code):
    return subprocess.run([sys.executable, "-c", textwrap.dedent(code)],
                          capture_output=True, text=True, timeout=120)


def test_import_is_refused_in_a_sub_interpreter():
    pytest.importorskip("_xxsubinterpreters")
    done = run_python("""
        import _trelvanic
        import _xxsubinterpreters as interpreters
        interp = interpreters.create()
        try:
            interpreters.run_string(interp, "import _trelvanic")
        except interpreters.RunFailedError as exc:
            print("refused:", exc)
        else:
            print("imported")
        interpreters.destroy(interp)
        # The first interpreter's module is unaffected.
        print(_trelvanic.__all__[-1], type(_trelvanic.OntologyBuilder()).__name__)
    """)
    assert done.returncode == 0, done.stderr
    refused, after = done.stdout.splitlines()
    assert "ImportError" in refused
    assert "does not support sub-interpreters" in refused
    assert "http" not in refused and "PyO3" not in refused
    assert after == "OntologyBuilder OntologyBuilder"


def test_import_runs_nothing_else_and_raises_no_warnings():
    done = run_python("""
        import threading
        before = threading.active_count()
        import _trelvanic
        assert threading.active_count() == before
        print("ok")
    """)
    assert done.returncode == 0 and done.stdout == "ok\n", done.stderr
    strict = subprocess.run([sys.executable, "-W", "error", "-c", "import _trelvanic"],
                            capture_output=True, text=True, timeout=120)
    assert strict.returncode == 0, strict.stderr
