#!/usr/bin/env python3
"""Prints the one table of `make bench` from Google Benchmark JSON files.

A benchmark names its peer (the OpenCV operation or the memcpy of the same bytes, measured in
the same run) with state.SetLabel("vs:<peer benchmark name>"); the peer's own rows are shown
only beside what they are compared with. A frame size "WxH" in a name fills the size column.
"""
import json
import re
import sys


def per_frame_ns(row):
    scale = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}[row.get("time_unit", "ns")]
    return row["real_time"] * scale


def pretty(ns):
    if ns >= 1e6:
        return f"{ns / 1e6:.2f} ms"
    if ns >= 1e3:
        return f"{ns / 1e3:.1f} us"
    return f"{ns:.0f} ns"


def main(paths):
    rows = []
    for path in paths:
        with open(path, encoding="utf-8") as f:
            data = json.load(f)
        rows.extend(r for r in data.get("benchmarks", []) if r.get("run_type", "iteration") == "iteration")
    by_name = {r["name"]: r for r in rows}
    peers = {r.get("label", "")[3:] for r in rows if r.get("label", "").startswith("vs:")}

    table = [("export", "frame", "time/frame", "frames/s", "peer", "peer time", "ratio")]
    for r in rows:
        if r["name"] in peers:
            continue
        name = re.sub(r"^BM_", "", r["name"])
        size = re.search(r"(\d+)x(\d+)", name)
        frame = size.group(0) if size else "-"
        export = re.sub(r"_?\d+x\d+", "", name)
        ns = per_frame_ns(r)
        fps = f"{1e9 / ns:.0f}" if ns > 0 else "-"
        peer_name, peer_time, ratio = "-", "-", "-"
        label = r.get("label", "")
        if label.startswith("vs:") and label[3:] in by_name:
            peer = by_name[label[3:]]
            peer_ns = per_frame_ns(peer)
            peer_name = re.sub(r"^BM_", "", peer["name"])
            peer_time = pretty(peer_ns)
            ratio = f"{ns / peer_ns:.2f}x" if peer_ns > 0 else "-"
        table.append((export, frame, pretty(ns), fps, peer_name, peer_time, ratio))

    widths = [max(len(row[i]) for row in table) for i in range(len(table[0]))]
    for i, row in enumerate(table):
        print("  ".join(cell.ljust(widths[j]) for j, cell in enumerate(row)).rstrip())
        if i == 0:
            print("  ".join("-" * w for w in widths))
    print("\nratio = our time / peer time (below 1 is faster than the peer)")


if __name__ == "__main__":
    main(sys.argv[1:])
