"""Tables (one per suite) and the machine-readable form of the results."""

from __future__ import annotations

SPEEDUP_NOTE = ("speed-up = the tool's time / trelvanic's time on the same input "
                "(above 1: trelvanic is faster), for load+reason and for reason alone")
PARSE_SPEEDUP_NOTE = ("speed-up = the tool's load time / trelvanic's load time of the same file "
                      "(above 1: trelvanic is faster)")


def _seconds(value) -> str:
    if value is None:
        return "-"
    return f"{value:.3f}" if value < 10 else f"{value:.1f}"


def _ratio(peer, own) -> str:
    if peer is None or own is None or own <= 0:
        return "n/a"
    return f"{peer / own:.2f}x"


def _answer(suite, run) -> str:
    s = run.summary
    if suite.answer_kind == "taxonomy":
        return f"{s.get('subsumptions', 0):,} subs, {s.get('unsatisfiable', 0)} unsat"
    if suite.answer_kind == "closure":
        text = f"{s.get('closure_size', 0):,} {s.get('closure_unit', '')}"
        if "common_view" in s:
            text += f" (view {s['common_view']:,})"
        return text
    if suite.answer_kind == "dl":
        verdict = {True: "consistent", False: "inconsistent"}.get(s.get("consistent"), "unknown")
        if s.get("consistent") and not s.get("complete", True):
            verdict += " (incomplete)"
        if s.get("undecided"):
            verdict += ", taxonomy undecided"
        if "subsumptions" in s:
            verdict += f", {s['subsumptions']:,} subs, {s.get('unsatisfiable', 0)} unsat"
        if s.get("not_available"):
            verdict += f" (not available: {s['not_available']})"
        return verdict
    if "triples" in s:
        return f"{s['triples']:,} triples"
    return f"{s['axioms']:,} axioms" if "axioms" in s else ""


def _agreement(run) -> str:
    a = run.agreement
    if not a:
        return "-"
    parts = []
    if a.get("reference"):
        parts.append("reference")
    if "only_here" in a:
        if a["only_here"] == 0 and a["only_reference"] == 0:
            parts.append(f"same as {a['reference_label']}")
        else:
            parts.append(f"{a['only_here']:,} extra, {a['only_reference']:,} missing vs {a['reference_label']}")
    if "inferred_not_in_reference" in a:
        parts.append(f"{a['inferred_not_in_reference']:,} inferred not in {a['reference_label']}")
    if "consistency_agrees" in a and not a["consistency_agrees"]:
        parts.append("CONSISTENCY VERDICTS DIFFER")
    if a.get("undecided"):
        parts.append(f"undecided, not compared ({a['undecided']})")
    if a.get("no_reference"):
        parts.append("no reference answer")
    return "; ".join(parts) or "-"


def _reason_time(run):
    if run.status != "ok":
        return None
    return sum(v for k, v in run.phases.items() if k != "load") or run.time("load")


def _own(row):
    """trelvanic's first successful run on this row, the baseline of the speed-ups."""
    return next((r for r in row.runs if r.tool == "trelvanic" and r.status == "ok"), None)


def suite_table(suite) -> str:
    parse = suite.answer_kind == "parse"
    timed = suite.answer_kind == "dl"
    head = ["input", "tool", "load s"] + ([] if parse else ["reason s", "total s"]) + \
           ["peak MiB", "answer", "speed-up", "agreement"] + (["time includes"] if timed else [])
    if parse:
        head.remove("agreement")
    lines = []
    for row in suite.rows:
        own = _own(row)
        for run in row.runs:
            cells = [row.input, run.label]
            if run.status == "ok":
                cells.append(_seconds(run.time("load")))
                if not parse:
                    cells += [_seconds(_reason_time(run)), _seconds(run.total())]
                cells += [f"{run.peak_mib:.0f}" if run.peak_mib else "-", _answer(suite, run)]
                if run.tool == "trelvanic":
                    cells.append("-")
                elif parse:
                    cells.append(_ratio(run.total(), own.total() if own else None))
                else:
                    cells.append(_ratio(run.total(), own.total() if own else None) + " / " +
                                 _ratio(_reason_time(run), _reason_time(own) if own else None))
                if not parse:
                    cells.append(_agreement(run))
                if timed:
                    cells.append(run.summary.get("timed", "-"))
            else:
                cells.append(f"{run.status}: {run.reason}")
            lines.append(cells)
        if row.note:
            lines.append([row.input, "(note)", row.note])
    return _render(suite.title, head, lines, [PARSE_SPEEDUP_NOTE if parse else SPEEDUP_NOTE] + suite.notes)


def _render(title, head, lines, notes) -> str:
    # Width from the full rows only; a status message runs past its column.
    widths = [len(h) for h in head]
    for cells in lines:
        full = len(cells) == len(head)
        for i, c in enumerate(cells if full else cells[:-1]):
            widths[i] = max(widths[i], len(c))
    out = [f"== {title}", "  ".join(h.ljust(w) for h, w in zip(head, widths)),
           "  ".join("-" * w for w in widths)]
    for cells in lines:
        out.append("  ".join(c.ljust(w) for c, w in zip(cells, widths)) if len(cells) == len(head)
                   else "  ".join(c.ljust(w) for c, w in zip(cells[:-1], widths)) + "  " + cells[-1])
    for note in notes:
        out.append(f"   {note}")
    return "\n".join(out)


def tools_table(tools: dict, trelvanic: dict) -> str:
    lines = ["== Tools"]
    lines.append(f"  trelvanic   {'ok' if trelvanic['ok'] else 'not available'}"
                 f"{'' if trelvanic['ok'] else ': ' + trelvanic['reason']} ({trelvanic['python']})")
    for tool, info in tools.items():
        lines.append(f"  {tool:<11} {'installed' if info['ok'] else 'NOT AVAILABLE: ' + info['reason']}")
    return "\n".join(lines)


def _run_json(row, run) -> dict:
    doc = run.to_json()
    own = _own(row)
    if own is not None and run.status == "ok" and run.tool != "trelvanic":
        doc["speedup_total"] = run.total() / own.total() if own.total() else None
        own_reason = _reason_time(own)
        doc["speedup_reason"] = _reason_time(run) / own_reason if own_reason else None
    return doc


def to_json(meta, tools, trelvanic, suites) -> dict:
    """Speed-ups are the tool's time / trelvanic's time on the same input, as in the tables."""
    return {
        "meta": meta,
        "tools": dict(tools, trelvanic=trelvanic),
        "suites": [{"key": s.key, "title": s.title, "notes": s.notes,
                    "rows": [{"input": r.input, "note": r.note, "runs": [_run_json(r, x) for x in r.runs]}
                             for r in s.rows]} for s in suites],
    }
