"""Reasoner construction from files: the warning, the loaders, the settings
(profile names, budget), the errors a load raises, the thread binding and
the parse_meta / taxonomy properties of a fresh reasoner."""
import os
import warnings

import pytest

import _trelvanic
from _trelvanic import ParseError, Reasoner
from helpers import subclass_axioms, write_ofn, write_text

WARNING = ("Reasoner(path=...): unsandboxed path load; use load_in() or pass trusted=True "
           "for trusted local files")
PROFILE_LIST = "; use auto, rdfs, rl, el, dl, or dl-preview"


@pytest.fixture
def ofn(tmp_path):
    return write_ofn(tmp_path, subclass_axioms([("A", "B"), ("B", "C")]))


def test_path_load_warns_exactly_once_and_trusted_or_load_in_do_not(ofn, tmp_path):
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        reasoner = Reasoner(path=ofn)
    assert [(w.category, str(w.message)) for w in caught] == [(UserWarning, WARNING)]
    assert reasoner.parse_meta["mapped_axiom_count"] == 2

    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        Reasoner(path=ofn, trusted=True)
        Reasoner.load_in(str(tmp_path), "o.ofn")
        Reasoner.load_in(str(tmp_path), ofn, lenient=True)
    assert caught == []


def test_warning_as_error_stops_before_the_file_is_read(tmp_path):
    # The file does not exist: reading it would raise ParseError instead.
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        with pytest.raises(UserWarning, match=r"^Reasoner\(path=\.\.\.\): unsandboxed"):
            Reasoner(path=str(tmp_path / "missing.ofn"))


LOAD_FAILURES = [
    # (what to write, name loaded, message pattern)
    (None, "missing.ofn", r"^parse error: "),
    ("Ontology(", "broken.ofn", r"^parse error: "),
    ("", "empty.ofn", r"^parse error: "),
]


@pytest.mark.parametrize("text,name,pattern", LOAD_FAILURES)
def test_failed_loads_raise_parse_error_with_the_loaders_text(tmp_path, text, name, pattern):
    if text is not None:
        write_text(tmp_path, name, text)
    for make in (lambda: Reasoner(path=str(tmp_path / name), trusted=True),
                 lambda: Reasoner.load_in(str(tmp_path), name)):
        with pytest.raises(ParseError, match=pattern):
            make()


def test_load_in_refuses_a_path_outside_its_base(tmp_path, ofn):
    inner = tmp_path / "inner"
    inner.mkdir()
    with pytest.raises(ParseError):
        Reasoner.load_in(str(inner), ofn)
    with pytest.raises(ParseError):
        Reasoner.load_in(str(inner), "../o.ofn")


def outcome_of(reasoner):
    """What classify() gives: the dict, or the exception's type and text."""
    try:
        return ("ok", reasoner.classify())
    except Exception as exc:  # noqa: BLE001 - the class is part of the outcome
        return (type(exc), str(exc))


SPELLINGS = [
    ("el", ["EL", "El", "eL"]),
    ("rdfs", ["RDFS", "Rdfs"]),
    ("rl", ["RL", "rL"]),
    ("auto", ["AUTO", "Auto"]),
    ("dl", ["DL", "alc", "ALC", "Alc"]),
    ("dl-preview", ["DL-PREVIEW", "dl_preview", "Dl_Preview"]),
    ("swrl", ["SWRL", "Swrl"]),
]


@pytest.mark.parametrize("name,others", SPELLINGS)
def test_profile_names_in_any_letter_case_select_the_same_engine(ofn, name, others):
    expected = outcome_of(Reasoner(path=ofn, trusted=True, profile=name))
    for other in others:
        assert outcome_of(Reasoner(path=ofn, trusted=True, profile=other)) == expected, other


UNSUPPORTED = [
    ("owl2", '"owl2"'),
    ("", '""'),
    ("OWL\"2\\", '"owl\\"2\\\\"'),
    ("El\t\r\n\x00", '"el\\t\\r\\n\\0"'),
    ("x\x01\x7f", '"x\\u{1}\\u{7f}"'),
    ("DL PREVIEW", '"dl preview"'),
    ("ÉL", '"Él"'),  # only ASCII letters are lowered
]


@pytest.mark.parametrize("name,shown", UNSUPPORTED)
def test_unknown_profile_names_are_runtime_errors_with_the_quoted_lowered_name(ofn, tmp_path, name, shown):
    message = "unsupported profile " + shown + PROFILE_LIST
    with pytest.raises(RuntimeError) as info:
        Reasoner(path=ofn, trusted=True, profile=name)
    assert str(info.value) == message
    with pytest.raises(RuntimeError) as info:
        Reasoner.load_in(str(tmp_path), "o.ofn", profile=name)
    assert str(info.value) == message


def test_settings_are_checked_only_after_a_successful_load(tmp_path):
    with pytest.raises(ParseError):
        Reasoner(path=str(tmp_path / "missing.ofn"), trusted=True, profile="owl2", budget_secs=0)


def test_budget_zero_is_refused_and_none_means_unlimited(ofn, tmp_path):
    message = "budget_secs must be greater than 0; omit the argument for unlimited reasoning"
    with pytest.raises(RuntimeError) as info:
        Reasoner(path=ofn, trusted=True, budget_secs=0)
    assert str(info.value) == message
    with pytest.raises(RuntimeError) as info:
        Reasoner.load_in(str(tmp_path), "o.ofn", budget_secs=0)
    assert str(info.value) == message
    Reasoner(path=ofn, trusted=True, budget_secs=None)
    Reasoner(path=ofn, trusted=True, budget_secs=2**64 - 1)


def test_fresh_reasoner_has_no_taxonomy_and_parse_meta_in_insertion_order(ofn):
    reasoner = Reasoner(path=ofn, trusted=True)
    assert reasoner.taxonomy is None
    meta = reasoner.parse_meta
    assert list(meta) == ["warnings", "mapped_axiom_count", "skipped_axiom_count", "logical_axiom_count"]
    assert meta == {"warnings": [], "mapped_axiom_count": 2, "skipped_axiom_count": 0,
                    "logical_axiom_count": 2}


def test_lenient_load_keeps_its_warnings_and_skips_where_strict_fails(tmp_path):
    path = write_ofn(tmp_path, "Declaration(Class(:A))\nDeclaration(DataProperty(:A))\nSubClassOf(:A :B)")
    with pytest.raises(ParseError, match="incompatible declaration kinds"):
        Reasoner(path=path, trusted=True)
    meta = Reasoner(path=path, trusted=True, lenient=True).parse_meta
    assert meta["skipped_axiom_count"] == 1
    assert any("incompatible declaration kinds" in w for w in meta["warnings"])


UNSENDABLE = "_trelvanic::reasoner::PyReasoner is unsendable, but sent to another thread"


@pytest.mark.parametrize("use", [lambda r: r.classify(), lambda r: r.taxonomy, lambda r: r.parse_meta])
def test_reasoner_used_on_another_thread_raises_past_except_exception(ofn, on_other_thread, use):
    reasoner = Reasoner(path=ofn, trusted=True)
    box = on_other_thread(lambda: use(reasoner))
    exc = box["escaped"]
    assert isinstance(exc, BaseException) and not isinstance(exc, Exception)
    assert str(exc) == UNSENDABLE
    # Nothing changed on the way.
    assert reasoner.taxonomy is None
    assert reasoner.parse_meta["mapped_axiom_count"] == 2


def test_a_second_thread_builds_and_uses_its_own_reasoner(ofn, on_other_thread):
    box = on_other_thread(lambda: Reasoner(path=ofn, trusted=True).parse_meta["mapped_axiom_count"])
    assert box == {"result": 2}


def test_every_exception_class_is_an_exception():
    for name in ["ParseError", "ResourceLimitError", "IncompleteReasoningError", "OntologyConflictError"]:
        assert issubclass(getattr(_trelvanic, name), Exception)
