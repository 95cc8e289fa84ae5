"""Shared fixtures of the Python tests."""
import hashlib
import importlib.util
import os
import pathlib
import shutil
import subprocess
import sys
import sysconfig
import threading

import pytest

REPO = pathlib.Path(__file__).resolve().parents[2]


def _probe_build_key(cmd, inputs):
    """A digest of what the probe's build reads: the command line (compiler
    first), the compiler's identity and every source and header it uses."""
    digest = hashlib.sha256()
    digest.update("\0".join(cmd).encode())
    version = subprocess.run([cmd[0], "--version"], capture_output=True, text=True)
    digest.update(version.stdout.encode())
    for path in inputs:
        digest.update(str(path).encode() + b"\0" + path.read_bytes())
    return digest.hexdigest()[:24]


@pytest.fixture(scope="session")
def binding_probe(pytestconfig):
    """The probe extension of tests/python/probe, compiled against the
    binding layer's sources and the running interpreter. The build is kept
    in pytest's cache directory, keyed by its inputs, so later runs load it
    without compiling again."""
    suffix = sysconfig.get_config_var("EXT_SUFFIX")
    compiler = os.environ.get("CXX") or shutil.which("g++") or shutil.which("c++")
    assert compiler, "a C++ compiler is needed to build the binding probe"
    launcher = [shutil.which("ccache")] if shutil.which("ccache") else []
    sources = sorted(str(p) for p in (REPO / "binding").glob("*.cpp"))
    sources.append(str(REPO / "tests/python/probe/binding_probe.cpp"))
    flags = [
        compiler, "-std=gnu++2b", "-O1", "-shared", "-fPIC", "-fvisibility=hidden",
        "-Wall", "-Wextra", "-Wno-unused-parameter",
        f"-I{REPO}", f"-I{sysconfig.get_paths()['include']}",
        # e.g. "-fsanitize=address,undefined" to run the probe under sanitizers
        *os.environ.get("TRELVANIC_PROBE_CXXFLAGS", "").split(),
        *sources,
    ]
    inputs = sorted((REPO / "binding").glob("*.[ch]*")) + sorted((REPO / "tests/python/probe").iterdir())
    key = _probe_build_key(flags + [suffix], inputs)
    out_dir = pytestconfig.cache.mkdir("binding-probe")
    target = out_dir / f"{key}{suffix}"
    if not target.exists():
        partial = out_dir / f"{key}.{os.getpid()}.partial"
        done = subprocess.run(launcher + flags + ["-o", str(partial)], capture_output=True, text=True)
        assert done.returncode == 0, done.stderr
        os.replace(partial, target)
        for old in out_dir.iterdir():  # earlier builds of other inputs
            if old != target and not old.name.endswith(".partial"):
                old.unlink(missing_ok=True)
    spec = importlib.util.spec_from_file_location("binding_probe", target)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    sys.modules["binding_probe"] = module
    return module


@pytest.fixture
def on_other_thread():
    """Runs fn() on a new thread and reports how it ended: "result", or
    "caught" for an Exception, or "escaped" for a BaseException that an
    `except Exception` clause would let through."""

    def run(fn):
        box = {}

        def target():
            try:
                try:
                    box["result"] = fn()
                except Exception as exc:  # noqa: BLE001 - what gets caught is the point
                    box["caught"] = exc
            except BaseException as exc:  # noqa: BLE001
                box["escaped"] = exc

        thread = threading.Thread(target=target)
        thread.start()
        thread.join()
        return box

    return run
