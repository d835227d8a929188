#!/usr/bin/env python3
"""Turns bench_compare's JSON (and its same-result check) into the markdown comparison.

For each screen and work item: the median of each peer in its fastest configuration,
lumora's time divided by the fastest peer's and by the memory limit, the goal and whether it
is met; then every configuration measured.
"""
import argparse
import csv
import json
import sys

PEERS = [  # column order; (peer, heading)
    ("memory", "memory limit"),
    ("pixman", "pixman"),
    ("sdl2", "SDL2 / SDL2_gfx"),
    ("plain", "straightforward C"),
]
PEER_NAMES = dict(PEERS, lumora="lumora", arith="exact blend arithmetic alone")

# The two screens, each with its work items: (id, title, unit, kind). Every work item's
# goal is to be ahead of every peer (lumora's time below the fastest peer's); fills and
# pictures are also to stay within MEMORY_GOAL x the memory limit.
MEMORY_GOAL = 1.5
SECTIONS = [
    ("1024 x 768", "", "lumora's back buffer, drawn on by the global calls", [
        ("fill_opaque", "full-screen fill, opaque", "us", "fill"),
        ("fill_translucent", "full-screen fill, black at transparency 100", "us", "fill"),
        ("picture_128", "400 x 300 picture, transparency 128", "us", "picture"),
        ("picture_key", "400 x 300 picture, colour key", "us", "picture"),
        ("scaled_opaque", "picture scaled to 800 x 600, opaque", "us", "picture"),
        ("scaled_128", "picture scaled to 800 x 600, transparency 128", "us", "picture"),
        ("lines", "random lines, translucent, per pixel", "ns", "other"),
        ("circles", "thin circles r 20..200, per circle, translucent", "us", "other"),
        ("ring", "ring r 160 width 9, translucent", "us", "other"),
        ("frame", "frame: clear + 5 translucent pictures + translucent full-screen fill", "us",
         "picture"),
    ]),
    ("3840 x 2160", "4k_", "a canvas, drawn on by the canvas-first calls", [
        ("4k_fill_opaque", "full-screen fill, opaque", "us", "fill"),
        ("4k_fill_translucent", "full-screen fill, black at transparency 100", "us", "fill"),
        ("4k_scaled_opaque", "1600 x 900 picture scaled to 3200 x 1800, opaque", "us", "picture"),
        ("4k_scaled_128", "1600 x 900 picture scaled to 3200 x 1800, transparency 128", "us",
         "picture"),
        ("4k_scaled_key", "1600 x 900 picture scaled to 3200 x 1800, colour key", "us", "picture"),
        ("4k_lines", "random lines, translucent, per pixel", "ns", "other"),
        ("4k_ring", "ring r 600 width 33, translucent", "us", "other"),
    ]),
]
RIVALS = ["pixman", "sdl2", "plain"]  # the peers to be ahead of

# Why a goal can be out of reach, printed under the summary for rows that miss theirs,
# with the measured limits of the work item.
LIMIT_NOTES = {
    "picture_key": (
        "SDL2's RLE blit copies from a run table it prepared when the colour key was set, "
        "so it reads only the pixels it copies. lumora keeps nothing between calls (the "
        "picture's pixels may change at any time), so every call reads every source pixel "
        "to find the key, and it must read the screen under the pixels it copies to keep "
        "their fourth bytes. *memory limit [scan]* is that least work alone: every source "
        "row compared with the key, the screen read and written under the rest, no "
        "clipping or mapping."),
    "fill_translucent": (
        "The exact blend (a multiply and a division by 255 per byte) costs more than the "
        "halving that stands for the memory limit while the screen fits the caches; "
        "*exact blend arithmetic alone* is that arithmetic over the same bytes with "
        "nothing else."),
    "picture_128": (
        "The exact blend of two bytes costs more than the average that stands for the "
        "memory limit while the picture fits the caches; *exact blend arithmetic alone* "
        "is that arithmetic over the same bytes with nothing else."),
    "scaled_128": (
        "The exact blend of two bytes costs more than the average that stands for the "
        "memory limit while the picture fits the caches; *exact blend arithmetic alone* "
        "is that arithmetic over rows of a pre-stretched copy, with no gathering."),
    "frame": (
        "The frame is a clear, five blended pictures and a blended fill: see those rows for "
        "the cost of the exact blend against the averages and halvings of the memory "
        "limit."),
    "4k_fill_opaque": (
        "A fill this large is bound by the memory's write bandwidth: lumora and SDL2 both "
        "write it with streaming stores, which is *memory limit [stream]*, the least any "
        "fill can do."),
}

TO_US = {"ns": 1e-3, "us": 1.0, "ms": 1e3, "s": 1e6}


def load_runs(path, clock):
    """{(work, peer, variant): run} with the median aggregate, or the single run."""
    with open(path) as f:
        data = json.load(f)
    runs = {}
    for b in data["benchmarks"]:
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
            continue
        name = b.get("run_name", b["name"])
        work, _, who = name.partition("/")
        peer, _, variant = who.partition(":")
        key = (work, peer, variant)
        if key in runs and b.get("run_type") != "aggregate":
            continue
        per_call_us = b[clock] * TO_US[b["time_unit"]]
        units = b.get("units", 1.0) or 1.0
        runs[key] = {"us": per_call_us / units, "label": b.get("label", ""),
                     "reps": b.get("repetitions", 1)}
    return data.get("context", {}), runs


def load_checks(path):
    checks = {}
    if not path:
        return checks
    with open(path) as f:
        for row in csv.DictReader(f, delimiter="\t"):
            checks[(row["work"], row["peer"], row["variant"])] = row
    return checks


def fmt_time(us, unit):
    if us is None:
        return ""
    if unit == "ns":
        return f"{us * 1e3:.2f} ns"
    if us < 10:
        return f"{us:.2f} us"
    if us < 100:
        return f"{us:.1f} us"
    return f"{us:,.0f} us"


def fmt_ratio(r):
    return "" if r is None else f"{r:.2f}"


def fastest(runs, work, peer, variant=None):
    """(variant, run) of the peer's fastest configuration, or of the named one."""
    cands = [(k[2], v) for k, v in runs.items() if k[0] == work and k[1] == peer
             and (variant is None or k[2] == variant)]
    return min(cands, key=lambda c: c[1]["us"]) if cands else (None, None)


def cpu_model():
    try:
        with open("/proc/cpuinfo") as f:
            for line in f:
                if line.startswith("model name"):
                    return line.split(":", 1)[1].strip()
    except OSError:
        pass
    return "unknown processor"


def row_met(runs, work, kind):
    """True when lumora is ahead of every rival (and, for fills and pictures, within the
    memory goal); True as well when lumora was not measured (nothing to judge)."""
    _, lum = fastest(runs, work, "lumora")
    if lum is None:
        return True
    rivals = [r for r in (fastest(runs, work, p)[1] for p in RIVALS) if r]
    if not rivals:
        return True
    met = lum["us"] < min(r["us"] for r in rivals)
    if kind in ("fill", "picture"):
        _, mem = fastest(runs, work, "memory")
        met = met and mem is not None and lum["us"] / mem["us"] <= MEMORY_GOAL
    return met


def goal_text(kind):
    text = "ahead of every peer"
    if kind in ("fill", "picture"):
        text += f", <= {MEMORY_GOAL:g} x memory limit"
    return text


def render(context, runs, checks, revision, clock):
    out = []
    w = out.append
    load = ", ".join(f"{x:.1f}" for x in context.get("load_avg", [])) or "unknown"
    what = ("CPU time of the benchmark thread, which a machine shared with other work "
            "disturbs less than wall time" if clock == "cpu_time" else "wall time")
    w("# lumora side by side: pixman, SDL2, straightforward C\n")
    w("Generated by `bench/run-compare.sh` (do not edit by hand). "
      f"Revision {revision}, {context.get('date', '')}, {cpu_model()}, "
      f"{context.get('num_cpus', '?')} CPUs; pixman {context.get('pixman', '?')}, "
      f"SDL2 {context.get('sdl2', '?')}; lumora pictures {context.get('lumora_picture', '?')}; "
      f"load average at the start {load}.\n")
    w("Every peer draws into the same pixels as lumora (XRGB, 4 bytes a pixel), one binary, "
      "one run, on two screens: lumora's own 1024 x 768 back buffer and a 3840 x 2160 "
      f"canvas. Times are medians of the repetitions, in {what}. A peer's "
      "column shows its fastest configuration for the same visible result (all configurations are listed "
      "under each work item). *lumora / peer* below 1 means lumora is faster. The memory "
      "limit is the cheapest loop touching the same bytes: memset for an opaque fill, an "
      "in-place read-modify-write for a translucent one, row copies or row averages for "
      "pictures. *Differ* counts pixels whose blue, green or red is more than 2 levels away "
      "from lumora's result on the same background (lumora maps a picture drawn at its own "
      "size one source column and row on, so edges of the keyed shape differ; lines and "
      "circles differ where the algorithms choose other pixels).\n")
    w("The *goal* column holds lumora's own goals: every row ahead of every peer (pixman, "
      "SDL2 / SDL2_gfx, straightforward C: lumora's time below the fastest of them), and "
      f"every fill and picture row within {MEMORY_GOAL:g} x its memory limit.\n")

    met_count = goal_count = 0
    for section, _, where, works in SECTIONS:
        if not any(k[0] == work for work, *_ in works for k in runs):
            continue
        w(f"## Summary, {section}\n")
        w(f"On {where}.\n")
        head = ("| work | lumora | " + " | ".join(h for _, h in PEERS) +
                " | lumora / fastest peer | lumora / memory limit | goal | met |")
        w(head)
        w("|" + "---|" * (head.count("|") - 1))
        for work, title, unit, kind in works:
            _, lum = fastest(runs, work, "lumora")
            if lum is None:
                continue
            cells = [title, fmt_time(lum["us"], unit)]
            for peer, _ in PEERS:
                _, r = fastest(runs, work, peer)
                cells.append(fmt_time(r and r["us"], unit))
            rivals = [r for r in (fastest(runs, work, p)[1] for p in RIVALS) if r]
            best = min(rivals, key=lambda r: r["us"]) if rivals else None
            _, mem = fastest(runs, work, "memory")
            peer_ratio = lum["us"] / best["us"] if best else None
            mem_ratio = lum["us"] / mem["us"] if mem else None
            cells.append(fmt_ratio(peer_ratio))
            cells.append(fmt_ratio(mem_ratio))
            cells.append(goal_text(kind))
            met = peer_ratio is not None and row_met(runs, work, kind)
            goal_count += 1
            met_count += met
            cells.append("yes" if met else "**no**")
            w("| " + " | ".join(cells) + " |")
        w("")
    w(f"Goals met: {met_count} of {goal_count}.\n")

    missed = [(section, work, title, unit) for section, _, _, works in SECTIONS
              for work, title, unit, kind in works if not row_met(runs, work, kind)]
    if missed:
        w("## Where a goal is not met\n")
        for section, work, title, unit in missed:
            _, lum = fastest(runs, work, "lumora")
            rivals = [(p, v, r) for p in RIVALS for v, r in [fastest(runs, work, p)] if r]
            peer, var, best = min(rivals, key=lambda t: t[2]["us"])
            text = (f"**{title} ({section})**: lumora {fmt_time(lum['us'], unit)}, the fastest "
                    f"peer {PEER_NAMES[peer]}{' [' + var + ']' if var else ''} "
                    f"{fmt_time(best['us'], unit)}")
            limits = sorted(((k[1], k[2], r) for k, r in runs.items()
                             if k[0] == work and k[1] in ("memory", "arith")),
                            key=lambda t: t[2]["us"])
            for p, v, r in limits:
                text += (f"; {PEER_NAMES[p]}{' [' + v + ']' if v else ''} "
                         f"{fmt_time(r['us'], unit)} ({r['label']})")
            w(text + ".")
            note = LIMIT_NOTES.get(work)
            if note:
                w(note)
            w("")

    for section, _, _, works in SECTIONS:
        for work, title, unit, _ in works:
            _, lum = fastest(runs, work, "lumora")
            if lum is None:
                continue
            w(f"## {title} ({section})\n")
            w("| peer | configuration | median | lumora / peer | pixels changed | differ (max levels) |")
            w("|---|---|---|---|---|---|")
            for peer in ["lumora"] + [p for p, _ in PEERS] + ["arith"]:
                best, _ = fastest(runs, work, peer)
                for (wk, pr, var), r in sorted(runs.items(), key=lambda kv: kv[1]["us"]):
                    if wk != work or pr != peer:
                        continue
                    how = r["label"] + (f" [{var}]" if var else "")
                    if var == best and sum(1 for k in runs if k[0] == work and k[1] == peer) > 1:
                        how += " (fastest)"
                    ratio = lum["us"] / r["us"] if peer != "lumora" else None
                    c = checks.get((wk, pr, var))
                    changed = c["changed"] if c else ""
                    differ = f"{c['differ']} ({c['max_diff']})" if c and peer != "lumora" else ""
                    if peer == "lumora":
                        differ = "reference"
                    w(f"| {PEER_NAMES[peer]} | {how} | {fmt_time(r['us'], unit)} | {fmt_ratio(ratio)} "
                      f"| {changed} | {differ} |")
            c = checks.get((work, "lumora", ""))
            if c and c["changed"] == "0":
                w("\nlumora changed no pixel here: its time is that of drawing nothing.")
            w("")
    return "\n".join(out)


def main():
    p = argparse.ArgumentParser(description=__doc__)
    p.add_argument("--json", required=True, help="bench_compare --benchmark_out file")
    p.add_argument("--checks", help="bench_compare --check_out file")
    p.add_argument("--out", help="markdown file to write (default: standard output only)")
    p.add_argument("--revision", default="unknown", help="source revision to name")
    p.add_argument("--real-time", action="store_true",
                   help="use wall time instead of the benchmark thread's CPU time")
    a = p.parse_args()
    clock = "real_time" if a.real_time else "cpu_time"
    context, runs = load_runs(a.json, clock)
    if not runs:
        sys.exit("table.py: no benchmark results in " + a.json)
    text = render(context, runs, load_checks(a.checks), a.revision, clock)
    if a.out:
        with open(a.out, "w") as f:
            f.write(text + "\n")
    print(text)


if __name__ == "__main__":
    main()
