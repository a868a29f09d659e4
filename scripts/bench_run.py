#!/usr/bin/env python3
"""Runs Google Benchmark programs so that no contender pays for another's allocations.

Benchmarks are named GROUP/IMPL[/ARGS...]; the implementation "zor" is the reference of its group.
Every contender (one GROUP/IMPL with all its argument variants) runs in a process of its own: in
one process, whoever runs after millions of frees of another contender pays for the allocator's
clean-up, which flatters or penalises the ratios. The contenders of a group run one after the
other, in alternating order over ROUNDS rounds (forward, backward, forward...), so that a drift of
the machine (heat, a neighbour's load) does not always favour the same side.

Each round gives one ratio peer time / zor time per benchmark (above 1: zor is faster); the table
shows the median over the rounds with the spread (lowest..highest), the median times, and the
peak resident memory of each contender's process (ru_maxrss, which includes the input the
program builds for it). Counters that the programs report (items per second, percentiles) are
shown from the round whose time is the median.

usage: bench_run.py [--rounds N] [--out-dir DIR] [--only REGEX] EXE... [-- BENCHMARK ARGS...]
With --out-dir, the summary of each program goes to DIR/<program>.json (for bench_chart.py).
"""
import argparse
import json
import os
import re
import statistics
import subprocess
import sys
import tempfile
from collections import OrderedDict

UNIT = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}
SKIP = {"name", "run_name", "run_type", "repetitions", "repetition_index", "threads", "iterations",
        "real_time", "cpu_time", "time_unit", "family_index", "per_family_instance_index",
        "aggregate_name", "aggregate_unit", "label", "error_occurred", "error_message"}


def fmt_time(ns):
    for limit, div, unit in ((1e9, 1e9, "s"), (1e6, 1e6, "ms"), (1e3, 1e3, "us")):
        if ns >= limit:
            return f"{ns / div:.3g} {unit}" if ns / div < 100 else f"{ns / div:.0f} {unit}"
    return f"{ns:.3g} ns"


def fmt_num(v):
    for limit, unit in ((1e9, "G"), (1e6, "M"), (1e3, "k")):
        if abs(v) >= limit:
            return f"{v / limit:.3g}{unit}"
    return f"{v:.3g}"


def split_name(name):
    parts = name.split("/")
    group = parts[0]
    impl = parts[1] if len(parts) > 1 else ""
    rest = "/".join(parts[2:])
    return group, impl, rest


def list_contenders(exe, only):
    """GROUP/IMPL pairs of a program in the order it declares them."""
    out = subprocess.run([exe, "--benchmark_list_tests=true"], capture_output=True, text=True, check=True).stdout
    contenders = OrderedDict()
    for line in out.splitlines():
        line = line.strip()
        if not line or "/" not in line:
            continue
        if only and not re.search(only, line):
            continue
        group, impl, _ = split_name(line)
        contenders.setdefault(group, [])
        if impl not in contenders[group]:
            contenders[group].append(impl)
    return contenders


def run_one(exe, group, impl, args, only):
    """Runs one contender in a fresh process; returns its benchmark entries and peak RSS in bytes."""
    pattern = "^" + re.escape(group) + "/" + re.escape(impl) + "(/.*)?$"
    with tempfile.NamedTemporaryFile(suffix=".json", delete=False) as f:
        out = f.name
    try:
        cmd = [exe, f"--benchmark_filter={pattern}", f"--benchmark_out={out}", "--benchmark_out_format=json",
               "--benchmark_format=console"] + args
        proc = subprocess.Popen(cmd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        console = proc.stdout.read()
        _, status, usage = os.wait4(proc.pid, 0)
        proc.returncode = os.waitstatus_to_exitcode(status)
        if proc.returncode != 0:
            sys.stderr.write(console)
            raise SystemExit(f"{os.path.basename(exe)} {group}/{impl} failed with {proc.returncode}")
        with open(out) as f:
            text = f.read()
        data = json.loads(text) if text.strip() else {"benchmarks": []}
    finally:
        os.unlink(out)
    entries = []
    for b in data.get("benchmarks", []):
        if b.get("error_occurred"):
            sys.stderr.write(f"{b['name']}: {b.get('error_message', 'error')}\n")
            continue
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
            continue
        if only and not re.search(only, b.get("run_name", b["name"])):
            continue
        entries.append(b)
    return entries, usage.ru_maxrss * 1024


def main():
    argv = sys.argv[1:]
    bench_args = []
    if "--" in argv:
        i = argv.index("--")
        argv, bench_args = argv[:i], argv[i + 1:]
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--rounds", type=int, default=3)
    ap.add_argument("--out-dir", help="write each program's summary (medians, spreads, peak memory) here")
    ap.add_argument("--only", help="keep only benchmarks whose name matches this regular expression")
    ap.add_argument("exes", nargs="+")
    opt = ap.parse_args(argv)

    # times[key][impl] = [ns per round]; rss[(exe, group, impl)] = [bytes per round]
    times, cpu, counters, rss, order = {}, {}, {}, {}, OrderedDict()
    for exe in opt.exes:
        name = os.path.basename(exe)
        contenders = list_contenders(exe, opt.only)
        if not contenders:
            continue
        print(f"== {name}: {sum(len(v) for v in contenders.values())} contenders, {opt.rounds} rounds", flush=True)
        for rnd in range(opt.rounds):
            for group, impls in contenders.items():
                for impl in (impls if rnd % 2 == 0 else list(reversed(impls))):
                    entries, peak = run_one(exe, group, impl, bench_args, opt.only)
                    rss.setdefault((name, group, impl), []).append(peak)
                    for b in entries:
                        g, i, rest = split_name(b.get("run_name", b["name"]))
                        key = (name, g + ("/" + rest if rest else ""))
                        order.setdefault(key, [])
                        if i not in order[key]:
                            order[key].append(i)
                        unit = UNIT.get(b.get("time_unit", "ns"), 1.0)
                        times.setdefault(key, {}).setdefault(i, []).append(b["real_time"] * unit)
                        cpu.setdefault(key, {}).setdefault(i, []).append(b["cpu_time"] * unit)
                        counters.setdefault(key, {}).setdefault(i, []).append(
                            {k: v for k, v in b.items() if k not in SKIP and isinstance(v, (int, float))})
            print(f"   round {rnd + 1} done", flush=True)

    summary = []
    print()
    print("| benchmark | implementation | time (median) | peer / zor (median) | spread | peak memory | counters |")
    print("|---|---|---|---|---|---|---|")
    for key, impls in order.items():
        exe, bench = key
        group = bench.split("/")[0]
        ref = times[key].get("zor")
        for impl in impls:
            ts = times[key][impl]
            med = statistics.median(ts)
            mid = min(range(len(ts)), key=lambda k: abs(ts[k] - med))
            ratio = spread = ""
            row = {"program": exe, "benchmark": bench, "implementation": impl, "time_ns": med,
                   "cpu_ns": statistics.median(cpu[key][impl]), "rounds": len(ts),
                   "peak_rss_bytes": max(rss.get((exe, group, impl), [0]))}
            if ref and impl != "zor":
                # ratio of each round against zor's time of the same round
                rs = [t / z for t, z in zip(ts, ref)]
                row.update(ratio=statistics.median(rs), ratio_min=min(rs), ratio_max=max(rs))
                ratio = f"{row['ratio']:.2f}x"
                spread = f"{row['ratio_min']:.2f}..{row['ratio_max']:.2f}"
            cs = counters[key][impl][mid]
            row["counters"] = cs
            shown = ", ".join(f"{k}={fmt_num(v)}" for k, v in sorted(cs.items()))
            mem = f"{row['peak_rss_bytes'] / 2**20:.0f} MiB" if row["peak_rss_bytes"] else ""
            print(f"| {bench} | {impl} | {fmt_time(med)} | {ratio} | {spread} | {mem} | {shown} |")
            summary.append(row)
    if opt.out_dir:
        os.makedirs(opt.out_dir, exist_ok=True)
        for exe in sorted({r["program"] for r in summary}):
            with open(os.path.join(opt.out_dir, exe + ".json"), "w") as f:
                json.dump([r for r in summary if r["program"] == exe], f, indent=1)


if __name__ == "__main__":
    main()
