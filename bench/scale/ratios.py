#!/usr/bin/env python3
"""Turns the scale benchmarks' results into ratios to their baselines.

    ratios.py BENCH_JSON MEMORY_JSON

BENCH_JSON is travonix_bench's --benchmark_out (JSON format), MEMORY_JSON the
line travonix_scale_memory prints. Prints one table row per figure: the
measured value, its baseline, the ratio and the ratio the tool aims at.
"""
import json
import sys

LARGE = 20000
SMALL = 2000


def wall_times(path):
    """Median wall time in ms of each benchmark by its base name, N."""
    with open(path, encoding="utf-8") as f:
        report = json.load(f)
    runs = {}
    skipped = {}
    for b in report["benchmarks"]:
        parts = b["run_name"].split("/")
        key = (parts[0], int(parts[1]))
        if b.get("error_occurred"):
            skipped[key] = b.get("error_message", "skipped")
            continue
        if b.get("run_type") == "aggregate" and b.get("aggregate_name") != "median":
            continue
        scale = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}[b["time_unit"]]
        # A median aggregate, when there are repetitions, wins over the runs.
        if b.get("run_type") == "aggregate" or key not in runs:
            runs[key] = b["real_time"] * scale
    return runs, skipped


def main(argv):
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    runs, skipped = wall_times(argv[1])
    try:
        with open(argv[2], encoding="utf-8") as f:
            memory = json.load(f)
    except (OSError, ValueError):
        memory = {}  # the memory run failed and said why

    rows = []

    def timed(figure, measured, baseline, target):
        missing = [k for k in (measured, baseline) if k not in runs]
        if missing:
            reason = "; ".join(dict.fromkeys(skipped.get(k, "not run") for k in missing))
            rows.append((figure, "-", "-", "-", f"<= {target}" if target else "-", reason))
            return
        m, b = runs[measured], runs[baseline]
        ratio = m / b
        if target is None:  # a figure that explains the others
            rows.append((figure, f"{m:.0f} ms", f"{b:.0f} ms", f"{ratio:.2f}", "-", "-"))
            return
        met = "yes" if ratio <= target else "no"
        rows.append((figure, f"{m:.0f} ms", f"{b:.0f} ms", f"{ratio:.2f}", f"<= {target}", met))

    timed("read + rewrite + merge vs getline", ("BM_Scale_ReadRewriteMerge", LARGE),
          ("BM_Scale_GetlineBaseline", LARGE), 2.0)
    timed("the conversion steps alone vs getline", ("BM_Scale_ReadRewriteMergeSteps", LARGE),
          ("BM_Scale_GetlineBaseline", LARGE), 2.0)
    timed("the relocation check alone vs getline", ("BM_Scale_RelocationCheck", LARGE),
          ("BM_Scale_GetlineBaseline", LARGE), None)
    timed("steps alone, 10x the functions", ("BM_Scale_ReadRewriteMergeSteps", LARGE),
          ("BM_Scale_ReadRewriteMergeSteps", SMALL), 11.0)
    timed("individual mode vs plain writes", ("BM_Scale_IndividualMode", LARGE),
          ("BM_Scale_PlainWriteBaseline", LARGE), 2.0)
    timed("ELF end to end vs objdump alone", ("BM_Scale_ElfEndToEnd", LARGE),
          ("BM_Scale_ObjdumpBaseline", LARGE), 1.3)
    timed("merge run, 10x the functions", ("BM_Scale_ReadRewriteMerge", LARGE),
          ("BM_Scale_ReadRewriteMerge", SMALL), 11.0)
    timed("getline, 10x the functions", ("BM_Scale_GetlineBaseline", LARGE),
          ("BM_Scale_GetlineBaseline", SMALL), 11.0)

    if "peak_hwm_kib" in memory:
        peak = memory["peak_hwm_kib"] * 1024
        listing = memory["listing_bytes"]
        ratio = peak / listing
        rows.append(("peak memory of a merge run vs listing", f"{peak / 1e6:.1f} MB",
                     f"{listing / 1e6:.1f} MB", f"{ratio:.2f}", "<= 3",
                     "yes" if ratio <= 3 else "no"))
    else:
        rows.append(("peak memory of a merge run vs listing", "-", "-", "-", "<= 3",
                     "not measured"))

    header = ("figure", "measured", "baseline", "ratio", "target", "met")
    widths = [max(len(str(r[i])) for r in rows + [header]) for i in range(len(header))]
    for r in [header] + rows:
        print("  ".join(str(c).ljust(w) for c, w in zip(r, widths)).rstrip())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
