"""The binding layer's machinery, exercised through the probe extension
(tests/python/probe): argument parsing and strict conversions, thread
binding, borrow flags on re-entrant calls, native work with the
interpreter lock released, and the json/warnings helpers."""
import collections
import gc
import json
import sys
import warnings

import pytest


@pytest.fixture
def Cell(binding_probe):
    return binding_probe.Cell


# (positional, keywords, expected (a, b, flag, n, size, mapping))
PARSE_OK = [
    (("x",), {}, ("x", None, False, None, None, None)),
    (("x", "y"), {"flag": True, "n": 2**64 - 1, "size": 3, "mapping": {"k": 1}},
     ("x", "y", True, 2**64 - 1, 3, {"k": 1})),
    ((), {"b": None, "a": "é\u2603"}, ("é\u2603", None, False, None, None, None)),
    (("x",), {"n": None, "size": None, "flag": False}, ("x", None, False, None, None, None)),
    (("x",), {"n": 0}, ("x", None, False, 0, None, None)),
]


@pytest.mark.parametrize("args,kwargs,expected", PARSE_OK)
def test_parse_accepts(Cell, args, kwargs, expected):
    assert Cell.parse(*args, **kwargs) == expected


def test_parse_accepts_subclasses_of_str_and_dict(Cell):
    class Text(str):
        pass

    ordered = collections.OrderedDict(k=1)
    assert Cell.parse(Text("x"), mapping=ordered) == ("x", None, False, None, None, ordered)


# (positional, keywords, exception, message pattern)
PARSE_BAD = [
    ((), {}, TypeError, r"^parse\(\) missing required argument 'a'$"),
    (("x", "y", "z"), {}, TypeError, r"^parse\(\) takes at most 2 positional arguments \(3 given\)$"),
    (("x",), {"c": 1}, TypeError, r"^parse\(\) got an unexpected keyword argument 'c'$"),
    (("x",), {"a": "y"}, TypeError, r"^parse\(\) got multiple values for argument 'a'$"),
    ((1,), {}, TypeError, r"^parse\(\) argument 'a' must be str, not int$"),
    (("x", b"y"), {}, TypeError, r"^parse\(\) argument 'b' must be str, not bytes$"),
    (("x",), {"flag": 1}, TypeError, r"^parse\(\) argument 'flag' must be bool, not int$"),
    (("x",), {"flag": None}, TypeError, r"^parse\(\) argument 'flag' must be bool, not None$"),
    (("x",), {"flag": "true"}, TypeError, r"argument 'flag' must be bool, not str"),
    (("x",), {"n": -1}, OverflowError, r"^parse\(\) argument 'n' must be an integer from 0 to 18446744073709551615$"),
    (("x",), {"n": 2**64}, OverflowError, r"argument 'n' must be an integer from 0 to"),
    (("x",), {"n": 1.0}, TypeError, r"argument 'n' must be int or None, not float"),
    (("x",), {"n": True}, TypeError, r"argument 'n' must be int or None, not bool"),
    (("x",), {"n": "1"}, TypeError, r"argument 'n' must be int or None, not str"),
    (("x",), {"size": -5}, OverflowError, r"argument 'size'"),
    (("x",), {"mapping": []}, TypeError, r"argument 'mapping' must be dict, not list"),
    (("x",), {"mapping": None}, TypeError, r"argument 'mapping' must be dict, not None"),
    (("\ud800",), {}, UnicodeEncodeError, r"surrogate"),
]


@pytest.mark.parametrize("args,kwargs,exc,pattern", PARSE_BAD)
def test_parse_refuses(Cell, args, kwargs, exc, pattern):
    with pytest.raises(exc, match=pattern):
        Cell.parse(*args, **kwargs)


def test_keyword_only_parameters_cannot_be_given_by_position(Cell):
    with pytest.raises(TypeError, match=r"at most 2 positional arguments \(3 given\)"):
        Cell.parse("x", None, True)


def test_constructor_parses_tuple_and_dict_arguments(Cell):
    assert Cell().get() == 0
    assert Cell(7).value == 7
    assert Cell(value=8).value == 8
    with pytest.raises(TypeError, match=r"^Cell\(\) argument 'value' must be int or None, not str$"):
        Cell("7")
    with pytest.raises(TypeError, match=r"^Cell\(\) got an unexpected keyword argument 'valu'$"):
        Cell(valu=1)
    with pytest.raises(TypeError, match=r"^Cell\(\) got multiple values for argument 'value'$"):
        Cell(1, value=2)


def test_re_entrant_exclusive_call_is_already_borrowed(Cell):
    cell = Cell(1)
    with pytest.raises(RuntimeError, match=r"^Already borrowed$"):
        cell.set(2, callback=lambda: cell.set(3))
    assert cell.value == 1  # the outer call failed before storing
    cell.set(4)  # and gave its borrow back
    assert cell.value == 4


@pytest.mark.parametrize("read", [lambda c: c.value, lambda c: c.get(),
                                  lambda c: c.call_shared(lambda: None)])
def test_read_during_an_exclusive_call_is_already_mutably_borrowed(Cell, read):
    cell = Cell(1)
    with pytest.raises(RuntimeError, match=r"^Already mutably borrowed$"):
        cell.set(2, callback=lambda: read(cell))
    assert cell.value == 1


def test_shared_borrows_nest_but_refuse_an_exclusive_one(Cell):
    cell = Cell(5)
    assert cell.call_shared(lambda: cell.call_shared(lambda: cell.value)) == 5
    with pytest.raises(RuntimeError, match=r"^Already borrowed$"):
        cell.call_shared(lambda: cell.set(6))
    assert cell.value == 5
    cell.set(6)
    assert cell.value == 6


def test_re_entry_from_a_warnings_hook_is_refused(Cell):
    cell = Cell(1)
    seen = []

    def show(message, category, filename, lineno, file=None, line=None):
        seen.append(str(message))
        cell.get()

    with warnings.catch_warnings():
        warnings.simplefilter("always")
        warnings.showwarning = show
        with pytest.raises(RuntimeError, match=r"^Already mutably borrowed$"):
            cell.set(2, callback=lambda: Cell.warn("careful"))
    assert seen == ["careful"]
    assert cell.value == 1


@pytest.mark.parametrize("use", [lambda c: c.set(9), lambda c: c.get(), lambda c: c.value,
                                 lambda c: c.set("not a number")])
def test_use_on_another_thread_raises_the_panic_exception_and_changes_nothing(Cell, use, on_other_thread):
    cell = Cell(3)
    box = on_other_thread(lambda: use(cell))
    assert set(box) == {"escaped"}
    exc = box["escaped"]
    assert not isinstance(exc, Exception)
    assert type(exc).__bases__ == (BaseException,)
    assert str(exc) == "binding_probe::Cell is unsendable, but sent to another thread"
    assert cell.value == 3
    cell.set(4)
    assert cell.value == 4


def test_class_methods_and_new_objects_work_on_any_thread(Cell, on_other_thread):
    box = on_other_thread(lambda: (Cell.parse("x")[0], Cell(2).value))
    assert box == {"result": ("x", 2)}


def test_drop_on_another_thread_leaks_and_reports_unraisable(Cell, monkeypatch, on_other_thread):
    gc.collect()  # as below
    seen = []
    monkeypatch.setattr(sys, "unraisablehook", lambda u: seen.append((u.exc_type, str(u.exc_value))))
    holder = [Cell(1), Cell(2)]
    assert on_other_thread(holder.clear) == {"result": None}
    message = "binding_probe::Cell is unsendable, but is being dropped on another thread"
    assert seen == [(RuntimeError, message)] * 2


def test_drop_on_another_thread_keeps_an_exception_being_handled(Cell, monkeypatch, on_other_thread):
    # Cells of earlier tests still in reference cycles (an exception kept with
    # its traceback) must not be collected, on the other thread, in this one.
    gc.collect()
    seen = []
    monkeypatch.setattr(sys, "unraisablehook", lambda u: seen.append(u.exc_type))
    holder = [Cell(1)]

    def drop_while_handling():
        try:
            raise KeyError("k")
        except KeyError:
            holder.clear()
            return repr(sys.exc_info()[1])

    assert on_other_thread(drop_while_handling) == {"result": "KeyError('k')"}
    assert seen == [RuntimeError]


def test_native_work_runs_without_the_interpreter_lock(Cell):
    assert Cell.native("ok") is True


def test_native_work_errors_come_out_as_values(Cell):
    with pytest.raises(RuntimeError, match=r"^native work failed$"):
        Cell.native("error")
    try:
        Cell.native("throw")
    except Exception:  # noqa: BLE001
        pytest.fail("a C++ exception must not be an ordinary Exception")
    except BaseException as exc:  # noqa: BLE001
        assert "boom" in str(exc)


def test_texts_that_are_not_utf8_still_reach_python_as_str(Cell):
    with pytest.raises(RuntimeError, match="^bad \ufffd byte$"):
        Cell.native("bad error")
    assert Cell.native("bad text") == "caf\ufffd \ufffd\ufffd\ufffd!"


def test_json_helpers_call_the_json_module(Cell, monkeypatch):
    assert Cell.loads('{"b": [1, 2.5, null], "a": "\\u00e9"}') == {"b": [1, 2.5, None], "a": "é"}
    with pytest.raises(json.JSONDecodeError):
        Cell.loads("{")
    assert Cell.dumps({"a": [1, True]}) == '{"a": [1, true]}'
    with pytest.raises(TypeError, match="not JSON serializable"):
        Cell.dumps({"a": object()})
    monkeypatch.setattr(json, "dumps", lambda obj: 5)
    with pytest.raises(TypeError, match=r"^json.dumps returned int, not str$"):
        Cell.dumps({})


def test_warn_helper_issues_a_user_warning(Cell):
    with pytest.warns(UserWarning, match=r"^careful$"):
        Cell.warn("careful")
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        with pytest.raises(UserWarning, match="careful"):
            Cell.warn("careful")


def test_binding_outlives_the_creating_thread(Cell, on_other_thread, monkeypatch):
    # Thread identities are reused by the system once a thread ends; an
    # object made on an ended thread must still refuse every other thread.
    made = on_other_thread(lambda: Cell(1))["result"]
    for _ in range(5):
        box = on_other_thread(lambda: made.value)
        assert set(box) == {"escaped"}
        assert "unsendable, but sent to another thread" in str(box["escaped"])
    with pytest.raises(BaseException, match="unsendable, but sent to another thread"):
        made.get()
    seen = []
    monkeypatch.setattr(sys, "unraisablehook", lambda u: seen.append(str(u.exc_value)))
    del made, box
    assert seen == ["binding_probe::Cell is unsendable, but is being dropped on another thread"]
