"""The benchmark environment: a virtual environment under the build tree with the peer reasoners
from PyPI, so that the trelvanic module itself gains no dependency.

Each peer is installed on its own, so one that fails to install does not keep the others out; the
outcome (installed, or the installer's last words) is kept in peers.json beside the environment
and shown in the tables. Installation is skipped when peers.json records the same requirements.
"""

from __future__ import annotations

import json
import os
import shutil
import subprocess
import sys

# pip requirement groups, one install per peer. py-whelk 0.4.0 loads its reasoner library through
# py-horned-owl's plugin interface, whose layout changed in py-horned-owl 2: with 2.x every call
# into the reasoner crashes the process, with 1.4.0 it works.
PEERS = {
    "owlready2": ["owlready2"],
    "rdflib": ["rdflib"],
    "owlrl": ["owlrl", "rdflib"],
    "reasonable": ["reasonable"],
    "py-whelk": ["py-whelk", "py-horned-owl==1.4.0"],
}

# Tool -> (peer package it comes from, import statement that proves it works).
TOOLS = {
    "hermit": ("owlready2", "import owlready2"),
    "owlready2": ("owlready2", "import owlready2"),
    "rdflib": ("rdflib", "import rdflib"),
    "owlrl": ("owlrl", "import owlrl, rdflib"),
    "reasonable": ("reasonable", "import reasonable"),
    "whelk": ("py-whelk", "import pywhelk, pyhornedowl.reasoning"),
    "horned-owl": ("py-whelk", "import pyhornedowl"),
}


def venv_python(venv_dir: str) -> str:
    return os.path.join(venv_dir, "bin", "python")


def _tail(text: str, lines: int = 2) -> str:
    kept = [l for l in text.strip().splitlines() if l.strip() and not l.startswith("WARNING: Location")]
    return " | ".join(kept[-lines:])[-300:]


def _log(msg: str) -> None:
    print(msg, file=sys.stderr, flush=True)


def ensure(venv_dir: str, reinstall: bool = False, offline: bool = False) -> dict:
    """Creates the environment and installs the peers where needed; returns
    {tool: {"ok": bool, "reason": str}} for every tool in TOOLS."""
    state_path = os.path.join(venv_dir, "peers.json")
    python = venv_python(venv_dir)
    state = None
    if os.path.exists(state_path) and not reinstall:
        with open(state_path, encoding="utf-8") as f:
            state = json.load(f)
        if state.get("requirements") != PEERS:
            state = None
    if state is None and offline:
        state = {"requirements": PEERS, "peers": {p: {"ok": os.path.exists(python), "reason": ""}
                                                   for p in PEERS}}
    if state is None:
        state = {"requirements": PEERS, "peers": {}}
        if not os.path.exists(python):
            _log(f"bench: creating the benchmark environment in {venv_dir}")
            done = subprocess.run([sys.executable, "-m", "venv", venv_dir], capture_output=True, text=True)
            if done.returncode != 0:
                reason = f"cannot create the environment: {_tail(done.stderr)}"
                return {t: {"ok": False, "reason": reason} for t in TOOLS}
            subprocess.run([python, "-m", "pip", "install", "-q", "--upgrade", "pip"], capture_output=True)
        for peer, reqs in PEERS.items():
            _log(f"bench: installing {peer} ({' '.join(reqs)})")
            done = subprocess.run([python, "-m", "pip", "install", "-q", *reqs], capture_output=True, text=True)
            ok = done.returncode == 0
            state["peers"][peer] = {"ok": ok, "reason": "" if ok else f"pip install failed: {_tail(done.stderr)}"}
        with open(state_path, "w", encoding="utf-8") as f:
            json.dump(state, f, indent=1)
    return check_tools(python, state["peers"])


def check_tools(python: str, peers: dict) -> dict:
    """Which tools import in the environment, and why the others do not."""
    tools = {}
    for tool, (peer, statement) in TOOLS.items():
        info = peers.get(peer, {"ok": False, "reason": "not installed"})
        if not info["ok"]:
            tools[tool] = {"ok": False, "reason": f"{peer} could not be installed: {info['reason']}"}
            continue
        done = subprocess.run([python, "-c", statement], capture_output=True, text=True)
        if done.returncode != 0:
            tools[tool] = {"ok": False, "reason": f"{peer} installed but does not import: {_tail(done.stderr, 1)}"}
        else:
            tools[tool] = {"ok": True, "reason": ""}
    if tools["hermit"]["ok"] and shutil.which("java") is None:
        tools["hermit"] = {"ok": False, "reason": "HermiT needs Java: no java on PATH (apt-get install default-jre-headless)"}
    return tools
