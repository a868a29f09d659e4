#!/usr/bin/env python3
"""Prints one Markdown table from Google Benchmark JSON files.

Benchmarks are named GROUP/IMPL[/ARGS...]: the implementation called "zor" is the reference of
its group, and every other implementation of the group is shown with the ratio
peer time / zor time (above 1: zor is faster). Counters (items per second, percentiles) are
shown as they were reported.
"""
import json
import sys
from collections import OrderedDict


def fmt_time(ns):
    if ns >= 1e9:
        return f"{ns / 1e9:.3f} s"
    if ns >= 1e6:
        return f"{ns / 1e6:.3f} ms"
    if ns >= 1e3:
        return f"{ns / 1e3:.3f} us"
    return f"{ns:.1f} ns"


def fmt_num(v):
    if abs(v) >= 1e9:
        return f"{v / 1e9:.2f}G"
    if abs(v) >= 1e6:
        return f"{v / 1e6:.2f}M"
    if abs(v) >= 1e3:
        return f"{v / 1e3:.2f}k"
    return f"{v:.3g}"


UNIT = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}
SKIP = {"name", "run_name", "run_type", "repetitions", "repetition_index", "threads", "iterations",
        "real_time", "cpu_time", "time_unit", "family_index", "per_family_instance_index",
        "aggregate_name", "aggregate_unit", "label", "error_occurred", "error_message"}


def main(paths):
    rows = []
    for p in paths:
        with open(p) as f:
            data = json.load(f)
        for b in data.get("benchmarks", []):
            if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
                continue
            name = b.get("run_name", b["name"])
            parts = name.split("/")
            group = parts[0]
            impl = parts[1] if len(parts) > 1 else "zor"
            rest = "/".join(parts[2:])
            key = group + ("/" + rest if rest else "")
            t = b["real_time"] * UNIT.get(b.get("time_unit", "ns"), 1.0)
            counters = {k: v for k, v in b.items() if k not in SKIP and isinstance(v, (int, float))}
            rows.append((key, impl, t, counters))
    groups = OrderedDict()
    for key, impl, t, c in rows:
        groups.setdefault(key, []).append((impl, t, c))
    print("| benchmark | implementation | time | peer / zor | counters |")
    print("|---|---|---|---|---|")
    for key, impls in groups.items():
        ref = next((t for i, t, _ in impls if i == "zor"), None)
        for impl, t, c in impls:
            ratio = "" if ref is None or impl == "zor" else f"{t / ref:.2f}"
            cs = ", ".join(f"{k}={fmt_num(v)}" for k, v in sorted(c.items()))
            print(f"| {key} | {impl} | {fmt_time(t)} | {ratio} | {cs} |")


if __name__ == "__main__":
    main(sys.argv[1:])
