"""Argument handling of the three classes' entry points: what they accept,
what they refuse (naming the argument), the `Reasoner(path=...)` warning.
"""
import warnings

import pytest

import _trelvanic
from _trelvanic import Ontology, OntologyBuilder, Reasoner

WARNING = ("Reasoner(path=...): unsandboxed path load; use load_in() or pass trusted=True "
           "for trusted local files")


@pytest.mark.parametrize("kwargs", [{}, {"path": None, "ontology": None}, {"profile": "el"}])
def test_reasoner_requires_a_path_or_an_ontology(kwargs):
    with pytest.raises(RuntimeError, match=r"^Reasoner requires exactly one of `path` or `ontology`$"):
        Reasoner(**kwargs)


# (keyword arguments, argument named in the TypeError)
REASONER_BAD_ARGS = [
    ({"path": b"a.ofn"}, "path"),
    ({"path": "a.ofn", "ontology": "not an ontology"}, "ontology"),
    ({"path": "a.ofn", "profile": 1}, "profile"),
    ({"path": "a.ofn", "incremental": None}, "incremental"),
    ({"path": "a.ofn", "incremental": 1}, "incremental"),
    ({"path": "a.ofn", "budget_secs": 1.5}, "budget_secs"),
    ({"path": "a.ofn", "budget_secs": True}, "budget_secs"),
    ({"path": "a.ofn", "trusted": None}, "trusted"),
    ({"path": "a.ofn", "trusted": 1}, "trusted"),
    ({"path": "a.ofn", "lenient": "yes"}, "lenient"),
]


@pytest.mark.parametrize("kwargs,name", REASONER_BAD_ARGS)
def test_reasoner_refuses_wrong_argument_types(kwargs, name):
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        with pytest.raises(TypeError, match=rf"argument '{name}'"):
            Reasoner(**kwargs)
    assert caught == []  # refused before the warning


@pytest.mark.parametrize("value", [-1, 2**64])
def test_reasoner_budget_out_of_range_fails_in_conversion(value):
    with pytest.raises(OverflowError, match="argument 'budget_secs'"):
        Reasoner(path="a.ofn", budget_secs=value, trusted=True)


def test_reasoner_positional_arguments_follow_the_signature():
    with pytest.raises(TypeError, match="argument 'incremental'"):
        Reasoner("a.ofn", None, None, None)
    with pytest.raises(TypeError, match=r"at most 7 positional arguments \(8 given\)"):
        Reasoner("a.ofn", None, None, False, None, True, False, 1)
    with pytest.raises(TypeError, match="unexpected keyword argument 'paths'"):
        Reasoner(paths="a.ofn")
    with pytest.raises(TypeError, match="multiple values for argument 'path'"):
        Reasoner("a.ofn", path="b.ofn")


def test_path_load_warns_once_unless_trusted():
    with pytest.warns(UserWarning) as record:
        with pytest.raises(_trelvanic.ParseError):
            Reasoner(path="missing.ofn")
    assert [str(w.message) for w in record] == [WARNING]
    assert record[0].category is UserWarning

    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        with pytest.raises(_trelvanic.ParseError):
            Reasoner(path="missing.ofn", trusted=True)
        with pytest.raises(_trelvanic.ParseError):
            Reasoner.load_in("base", "missing.ofn")
    assert caught == []


def test_warning_turned_into_error_ends_the_constructor_before_loading():
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        with pytest.raises(UserWarning, match=r"^Reasoner\(path=\.\.\.\): unsandboxed path load"):
            Reasoner(path="missing.ofn")


def test_warning_raised_through_a_replaced_warn_is_passed_on():
    class Refused(Exception):
        pass

    def refuse(message, *args, **kwargs):
        raise Refused(message)

    original = warnings.warn
    warnings.warn = refuse
    try:
        with pytest.raises(Refused, match="unsandboxed"):
            Reasoner(path="missing.ofn")
    finally:
        warnings.warn = original


def test_load_in_takes_two_strings_then_keyword_only_settings():
    with pytest.raises(TypeError, match="missing required argument 'path'"):
        Reasoner.load_in("base")
    with pytest.raises(TypeError, match=r"at most 2 positional arguments \(3 given\)"):
        Reasoner.load_in("base", "a.ofn", "el")
    with pytest.raises(TypeError, match="argument 'base' must be str"):
        Reasoner.load_in(1, "a.ofn")
    with pytest.raises(TypeError, match="argument 'lenient'"):
        Reasoner.load_in("base", "a.ofn", lenient=None)
    with pytest.raises(_trelvanic.ParseError):
        Reasoner.load_in(base="base", path="a.ofn", profile="EL", incremental=True, budget_secs=3)


def test_ontology_class_methods_check_their_arguments():
    with pytest.raises(TypeError, match="argument 'json' must be str"):
        Ontology.from_json(b"{}")
    with pytest.raises(TypeError, match="argument 'data' must be dict, not list"):
        Ontology.from_dict([])
    with pytest.raises(OverflowError, match="argument 'max_entities'"):
        Ontology.from_json_with_limits("{}", max_entities=-1)
    with pytest.raises(TypeError, match="argument 'max_axioms'"):
        Ontology.from_json_with_limits("{}", max_axioms=2.0)
    with pytest.raises(TypeError, match="positional"):
        Ontology.from_json_with_limits("{}", 10)
    with pytest.raises(TypeError, match="argument 'path' must be str"):
        Ontology.load_in("base", None)


BUILDER_BAD_ARGS = [
    ("add_class", (1,), {}, "iri"),
    ("individual", (None,), {}, "iri"),
    ("subclass_of", ("urn:a",), {"superclass": b"urn:b"}, "superclass"),
    ("subproperty_of", (), {"sub": "urn:p", "sup": 2}, "sup"),
    ("property_range", ("urn:p", ["urn:C"]), {}, "range"),
    ("class_assertion", ("urn:i",), {"class": 3}, "class"),
    ("object_property_assertion", ("urn:a", "urn:p", None), {}, "object"),
]


@pytest.mark.parametrize("method,args,kwargs,name", BUILDER_BAD_ARGS)
def test_builder_names_the_argument_that_is_not_a_str(method, args, kwargs, name):
    builder = OntologyBuilder()
    with pytest.raises(TypeError, match=rf"^{method}\(\) argument '{name}' must be str"):
        getattr(builder, method)(*args, **kwargs)
    # The refused call gave its borrow back: the builder is still usable.
    assert builder.add_class("urn:x") is None


def test_builder_constructor_takes_no_arguments():
    with pytest.raises(TypeError):
        OntologyBuilder(1)
    with pytest.raises(TypeError):
        OntologyBuilder(iri="urn:a")
    with pytest.raises(TypeError, match="takes no arguments"):
        OntologyBuilder().build(1)


UNSENDABLE = "_trelvanic::ontology::PyOntologyBuilder is unsendable, but sent to another thread"


@pytest.mark.parametrize("use", [lambda b: b.add_class("urn:a"), lambda b: b.add_class(1),
                                 lambda b: b.build()])
def test_builder_used_on_another_thread_raises_past_except_exception(use, on_other_thread):
    builder = OntologyBuilder()
    box = on_other_thread(lambda: use(builder))
    assert "caught" not in box and "result" not in box
    exc = box["escaped"]
    assert isinstance(exc, BaseException) and not isinstance(exc, Exception)
    assert str(exc) == UNSENDABLE
    assert type(exc) not in [getattr(_trelvanic, n) for n in _trelvanic.__all__]
    # Nothing was taken from the builder on the way: on its own thread the
    # call proceeds as before.
    assert builder.add_class("urn:a") is None
    assert builder.build().entity_count == 1


def test_builder_dropped_on_another_thread_reports_to_the_unraisable_hook(monkeypatch, on_other_thread):
    seen = []
    monkeypatch.setattr("sys.unraisablehook", lambda u: seen.append((u.exc_type, str(u.exc_value))))
    holder = [OntologyBuilder()]
    box = on_other_thread(holder.clear)
    assert box == {"result": None}
    assert seen == [(RuntimeError, "_trelvanic::ontology::PyOntologyBuilder is unsendable, "
                                   "but is being dropped on another thread")]
    # Dropped on its own thread: silent.
    OntologyBuilder()
    assert len(seen) == 1
