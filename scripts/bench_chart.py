#!/usr/bin/python3
"""Draws the ratios of a scripts/bench summary into a PNG: one bar per benchmark and peer (peer
time / zor time, above 1: zor is faster, on a logarithmic axis), the spread over the rounds as a
whisker, and the goal of bench/goals.tsv as a line across the bar where one is set.

usage: bench_chart.py SUMMARY.json... --goals bench/goals.tsv --out docs/bench.png
Several summaries may be given (one per scripts/bench run); a later one replaces the rows of an
earlier one with the same benchmark and peer.
"""
import argparse
import json

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402


def read_goals(path):
    goals = {}
    if not path:
        return goals
    with open(path) as f:
        for line in f:
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            bench, peer, goal = line.split("\t")[:3]
            goals[(bench, peer)] = float(goal)
    return goals


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("summaries", nargs="+")
    ap.add_argument("--goals")
    ap.add_argument("--out", required=True)
    ap.add_argument("--title", default="zor against the peer a user would otherwise pick (peer time / zor time)")
    opt = ap.parse_args()

    rows = {}
    for path in opt.summaries:
        with open(path) as f:
            for r in json.load(f):
                if "ratio" in r:
                    rows[(r["benchmark"], r["implementation"])] = r
    goals = read_goals(opt.goals)
    keys = list(rows)
    if not keys:
        raise SystemExit("no ratios in " + ", ".join(opt.summaries))

    fig, ax = plt.subplots(figsize=(10, 0.28 * len(keys) + 1.2))
    ys = range(len(keys))
    ratios = [rows[k]["ratio"] for k in keys]
    colors = []
    for k, r in zip(keys, ratios):
        goal = goals.get(k)
        colors.append("#d9534f" if goal is not None and r < goal else "#4a7ab5")
    lo = [r - rows[k]["ratio_min"] for k, r in zip(keys, ratios)]
    hi = [rows[k]["ratio_max"] - r for k, r in zip(keys, ratios)]
    # Bars start at a fixed floor: a logarithmic axis has no zero.
    floor = min([0.1] + [rows[k]["ratio_min"] / 1.5 for k in keys] + [g / 1.5 for g in goals.values()])
    ax.barh(list(ys), [r - floor for r in ratios], left=floor, color=colors, xerr=[lo, hi],
            error_kw={"elinewidth": 0.8, "capsize": 2})
    for y, k in zip(ys, keys):
        if k in goals:
            ax.plot([goals[k], goals[k]], [y - 0.42, y + 0.42], color="black", linewidth=2)
    ax.axvline(1.0, color="grey", linewidth=0.8, linestyle=":")
    ax.set_xscale("log")
    ax.set_yticks(list(ys))
    ax.set_yticklabels([f"{b} vs {p}" for b, p in keys], fontsize=7)
    ax.invert_yaxis()
    ax.set_xlabel("peer time / zor time (log scale; black line: goal; red: goal missed)")
    ax.set_title(opt.title, fontsize=9)
    fig.tight_layout()
    fig.savefig(opt.out, dpi=110)


if __name__ == "__main__":
    main()
