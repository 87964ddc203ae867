#!/usr/bin/env python3
"""Shares of the samples of a perf recording with call graphs, by function.

    perf script -i perf.data -F ip,sym > stacks.txt
    perf-shares.py stacks.txt inclusive NAME[,NAME...]
    perf-shares.py stacks.txt children NAME [COUNT]

"inclusive": the share of samples with each function anywhere on the stack
(a NAME matches every symbol it starts). "children": how the samples under
NAME split among the functions it called directly ("(self)": NAME itself).
"""
import collections
import re
import sys


def stacks(path):
    samples, current = [], []
    with open(path, encoding="utf-8", errors="replace") as f:
        for line in f:
            line = line.strip()
            if not line:
                if current:
                    samples.append(current)
                current = []
                continue
            parts = line.split(None, 1)
            symbol = parts[1] if len(parts) > 1 else "?"
            # Drop the offset and the parameter list, keep "(anonymous namespace)".
            symbol = re.sub(r"\+0x[0-9a-f]+$", "", symbol)
            symbol = re.sub(r"(?<=[\w>])\(.*$", "", symbol).replace("[abi:cxx11]", "")
            current.append(symbol)
    if current:
        samples.append(current)
    return samples


def inclusive(samples, names):
    for name in names:
        hits = sum(1 for s in samples if any(f.startswith(name) for f in s))
        print(f"{100 * hits / len(samples):5.1f}%  {name}")


def children(samples, name, count):
    split = collections.Counter()
    for s in samples:
        if name in s:
            at = s.index(name)
            split[s[at - 1] if at > 0 else "(self)"] += 1
    for symbol, hits in split.most_common(count):
        print(f"{100 * hits / len(samples):5.1f}%  {symbol[:110]}")


def main(argv):
    if len(argv) < 4 or argv[2] not in ("inclusive", "children"):
        print(__doc__, file=sys.stderr)
        return 2
    samples = stacks(argv[1])
    print(f"{len(samples)} samples")
    if argv[2] == "inclusive":
        inclusive(samples, argv[3].split(","))
    else:
        children(samples, argv[3], int(argv[4]) if len(argv) > 4 else 15)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
