#!/usr/bin/env python3
"""Whole-process figures of travonix-cli beside the baselines a user compares
it with, each run a process of its own under /usr/bin/time, the two runs of a
pair one after the other and the pairs alternating which goes first, so load
on the machine falls on both alike. Reports medians and ranges of CPU (user +
system), wall clock and peak memory (max RSS), and writes them as JSON.

Called by whole-process.sh, which makes the inputs."""
import argparse
import json
import os
import shutil
import statistics
import subprocess
import sys
import tempfile


def timed(command, cwd=None):
    """One run: (user+sys seconds, wall seconds, max RSS in KiB)."""
    with tempfile.NamedTemporaryFile("r", suffix=".time") as t:
        full = ["/usr/bin/time", "-o", t.name, "-f", "%U %S %e %M"] + command
        done = subprocess.run(full, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if done.returncode != 0:
            sys.exit("failed (%d): %s" % (done.returncode, " ".join(command)))
        user, system, wall, rss = t.read().split()[-4:]
    return float(user) + float(system), float(wall), int(rss)


def summary(values):
    return {"median": statistics.median(values), "min": min(values), "max": max(values),
            "runs": values}


def pairs(name, first, second, count, prepare=None):
    """Runs `first` and `second` (name, command) `count` times each,
    alternating which goes first. `prepare` runs before each run, untimed."""
    got = {first[0]: [], second[0]: []}
    for k in range(count):
        order = (first, second) if k % 2 == 0 else (second, first)
        for label, command in order:
            if prepare:
                prepare()
            got[label].append(timed(command))
    result = {"figure": name}
    for label, runs in got.items():
        result[label] = {"cpu_s": summary([r[0] for r in runs]),
                         "wall_s": summary([r[1] for r in runs]),
                         "max_rss_kib": summary([r[2] for r in runs])}
    a, b = first[0], second[0]
    result["cpu_ratio"] = result[a]["cpu_s"]["median"] / max(result[b]["cpu_s"]["median"], 1e-9)
    result["wall_ratio"] = result[a]["wall_s"]["median"] / max(result[b]["wall_s"]["median"], 1e-9)
    return result


def show(result):
    print("== %s" % result["figure"])
    for label, v in result.items():
        if not isinstance(v, dict):
            continue
        c, w, m = v["cpu_s"], v["wall_s"], v["max_rss_kib"]
        print("  %-28s cpu %.3f s (%.3f-%.3f)  wall %.3f s (%.3f-%.3f)  max RSS %.1f MiB (%.1f-%.1f)"
              % (label, c["median"], c["min"], c["max"], w["median"], w["min"], w["max"],
                 m["median"] / 1024, m["min"] / 1024, m["max"] / 1024))
    for key in ("cpu_ratio", "wall_ratio", "rss_over_input"):
        if key in result:
            print("  %s %.2f" % (key, result[key]))
    sys.stdout.flush()


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--cli", required=True)
    p.add_argument("--before", help="another travonix-cli to pair with --cli")
    p.add_argument("--getline", required=True)
    p.add_argument("--objdump", required=True)
    p.add_argument("--scale-dis", required=True)
    p.add_argument("--scale-elf", required=True)
    p.add_argument("--gap-dis", required=True)
    p.add_argument("--long-dis", required=True)
    p.add_argument("--pairs", type=int, default=7)
    p.add_argument("--individual-pairs", type=int, default=3)
    p.add_argument("--only", default="", help="comma-separated figure names to run")
    p.add_argument("--json", required=True)
    a = p.parse_args()

    work = tempfile.mkdtemp(prefix="travonix-whole-")
    out = os.path.join(work, "out")
    os.makedirs(out)
    results = []
    wanted = set(filter(None, a.only.split(",")))

    def want(name):
        return not wanted or name in wanted

    def merge(cli, listing, folder=out):
        return [cli, "-m", "merge", "-n", "Big", "-o", folder, listing]

    def fresh_out():
        shutil.rmtree(out, ignore_errors=True)
        os.makedirs(out)

    scale_size = os.path.getsize(a.scale_dis)
    if want("merge"):
        r = pairs("merge run on the 20,000-function listing vs a getline read",
                  ("travonix-cli merge", merge(a.cli, a.scale_dis)),
                  ("getline read", [a.getline, a.scale_dis]), a.pairs)
        r["input_bytes"] = scale_size
        r["rss_over_input"] = r["travonix-cli merge"]["max_rss_kib"]["median"] * 1024 / scale_size
        results.append(r)
        show(r)
    if want("elf"):
        listing = os.path.join(work, "objdump.dis")
        elf_out = os.path.join(work, "elf-out")
        os.makedirs(elf_out)
        # The tool makes its listing beside the ELF file: a copy in the work folder.
        elf = os.path.join(work, "scale.elf")
        shutil.copyfile(a.scale_elf, elf)
        objdump_alone = ["/bin/sh", "-c", '"$0" -D -z "$1" >"$2"', a.objdump, elf, listing]
        r = pairs("ELF end to end vs objdump alone",
                  ("travonix-cli on the ELF",
                   [a.cli, "--objdump", a.objdump + " -D -z", "-m", "merge", "-n", "Big", "-o",
                    elf_out, elf]),
                  ("objdump alone", objdump_alone), a.pairs)
        results.append(r)
        show(r)
    if want("gap"):
        r = pairs("largest allowed gap filler, merge run vs a getline read",
                  ("travonix-cli merge", merge(a.cli, a.gap_dis)),
                  ("getline read", [a.getline, a.gap_dis]), a.pairs)
        r["input_bytes"] = os.path.getsize(a.gap_dis)
        results.append(r)
        show(r)
    if want("long"):
        r = pairs("one function a million lines long, merge run vs a getline read",
                  ("travonix-cli merge", merge(a.cli, a.long_dis)),
                  ("getline read", [a.getline, a.long_dis]), a.pairs)
        size = os.path.getsize(a.long_dis)
        r["input_bytes"] = size
        r["rss_over_input"] = r["travonix-cli merge"]["max_rss_kib"]["median"] * 1024 / size
        results.append(r)
        show(r)
    if a.before:
        for name, listing in (("merge", a.scale_dis), ("gap", a.gap_dis), ("long", a.long_dis)):
            if want("before-" + name):
                r = pairs("before and after: merge run on %s" % os.path.basename(listing),
                          ("after", merge(a.cli, listing)), ("before", merge(a.before, listing)),
                          a.pairs)
                results.append(r)
                show(r)
        if want("before-individual"):
            r = pairs("before and after: individual mode, 40,000 files",
                      ("after", [a.cli, "-o", out, a.scale_dis]),
                      ("before", [a.before, "-o", out, a.scale_dis]), a.individual_pairs,
                      prepare=fresh_out)
            results.append(r)
            show(r)

    with open(a.json, "w") as f:
        json.dump({"pairs": a.pairs, "results": results}, f, indent=1)
    shutil.rmtree(work, ignore_errors=True)
    print("JSON written to %s" % a.json)


if __name__ == "__main__":
    main()
