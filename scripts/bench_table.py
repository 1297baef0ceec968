#!/usr/bin/env python3
"""Prints the one table of `make bench` from Google Benchmark JSON files.

A benchmark's label pairs it with peers measured in the same run and states its limits:
  vs:<benchmark>   a peer (the OpenCV operation, the memcpy of the same bytes, the plain
                   system call loop, or another export)
  max:<r>          after a vs: token, the highest acceptable ratio of our time to that peer's
  fps:<n>          the lowest acceptable frames per second
A row is printed once per peer it names. A peer that names no peer of its own is shown only
beside what it is compared with. A frame size "WxH" (or "size:384" / "size:640") in a name
fills the frame column.

With repetitions, the median of each benchmark is used. Times are CPU time per frame, except for benchmarks measured in real time (names ending in
"/real_time": network and file paths; "/manual_time": paths that time several frames at once and
report the time per frame), as the machine may be shared while the suite runs.
"""
import json
import re
import sys

KNOWN_SIZES = {"384": "384x288", "640": "640x480"}


def per_frame_ns(row):
    scale = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}[row.get("time_unit", "ns")]
    key = "real_time" if row["name"].endswith(("/real_time", "/manual_time")) else "cpu_time"
    return row[key] * scale


def pretty(ns):
    if ns >= 1e6:
        return f"{ns / 1e6:.2f} ms"
    if ns >= 1e3:
        return f"{ns / 1e3:.1f} us"
    return f"{ns:.0f} ns"


def plain(name):
    return re.sub(r"/(real|manual)_time$", "", name)


def parse_label(label):
    """The pairings [(peer, max ratio or None)] and the minimum frame rate (or None)."""
    pairs, fps = [], None
    for token in label.split():
        if token.startswith("vs:"):
            pairs.append([plain(token[3:]), None])
        elif token.startswith("max:") and pairs:
            pairs[-1][1] = float(token[4:])
        elif token.startswith("fps:"):
            fps = float(token[4:])
    return pairs, fps


def frame_of(name):
    size = re.search(r"(\d+)x(\d+)", name)
    if size:
        return size.group(0)
    arg = re.search(r"size:(\d+)", name)
    if arg:
        return KNOWN_SIZES.get(arg.group(1), arg.group(1))
    return "-"


def export_of(name):
    name = re.sub(r"^BM_", "", plain(name))
    name = re.sub(r"_?\d+x\d+", "", name)
    name = re.sub(r"/?size:\d+", "", name)
    return name.strip("/_") or name


def limit_text(ratio_limit, fps_limit):
    parts = []
    if ratio_limit is not None:
        parts.append(f"<={ratio_limit:g}x")
    if fps_limit is not None:
        parts.append(f">={fps_limit:g}/s")
    return " ".join(parts) or "-"


def main(paths):
    rows = []
    for path in paths:
        try:
            with open(path, encoding="utf-8") as f:
                data = json.load(f)
        except (OSError, ValueError) as error:
            print(f"skipping {path}: {error}", file=sys.stderr)
            continue
        found = data.get("benchmarks", [])
        medians = [r for r in found if r.get("aggregate_name") == "median"]
        if medians:
            # Repeated runs: the median of each benchmark, under its own name.
            for r in medians:
                r = dict(r)
                r["name"] = r.get("run_name", r["name"])
                rows.append(r)
        else:
            rows.extend(r for r in found if r.get("run_type", "iteration") == "iteration")
    failed = [r for r in rows if r.get("error_occurred")]
    rows = [r for r in rows if not r.get("error_occurred")]
    by_name = {plain(r["name"]): r for r in rows}
    named_as_peer = set()
    for r in rows:
        named_as_peer.update(peer for peer, _ in parse_label(r.get("label", ""))[0])

    header = ("export", "frame", "time/frame", "frames/s", "peer", "peer time", "ratio", "limit",
              "")
    table = [header]
    missed = 0
    for r in rows:
        pairs, fps_limit = parse_label(r.get("label", ""))
        if plain(r["name"]) in named_as_peer and not pairs:
            continue
        ns = per_frame_ns(r)
        fps = 1e9 / ns if ns > 0 else 0.0
        for index, (peer_name, ratio_limit) in enumerate(pairs or [(None, None)]):
            peer_text, peer_time, ratio_text = "-", "-", "-"
            verdict = []
            if peer_name in by_name:
                peer = by_name[peer_name]
                peer_ns = per_frame_ns(peer)
                peer_text = re.sub(r"^BM_", "", peer_name)
                peer_time = pretty(peer_ns)
                if peer_ns > 0:
                    ratio = ns / peer_ns
                    ratio_text = f"{ratio:.2f}x"
                    if ratio_limit is not None:
                        verdict.append(ratio <= ratio_limit)
            elif peer_name:
                peer_text = re.sub(r"^BM_", "", peer_name) + " (not run)"
            row_fps_limit = fps_limit if index == 0 else None
            if row_fps_limit is not None:
                verdict.append(fps >= row_fps_limit)
            mark = "" if not verdict else ("ok" if all(verdict) else "MISSED")
            missed += mark == "MISSED"
            first = index == 0
            table.append((export_of(r["name"]) if first else "", frame_of(r["name"]) if first else "",
                          pretty(ns) if first else "", f"{fps:.0f}" if first else "", peer_text,
                          peer_time, ratio_text, limit_text(ratio_limit, row_fps_limit), mark))

    widths = [max(len(row[i]) for row in table) for i in range(len(header))]
    for i, row in enumerate(table):
        print("  ".join(cell.ljust(widths[j]) for j, cell in enumerate(row)).rstrip())
        if i == 0:
            print("  ".join("-" * w for w in widths).rstrip())
    print("\nratio = our time / peer time (below 1 is faster than the peer); "
          "limit = the ratio or frame rate to meet")
    for r in failed:
        print(f"FAILED {r['name']}: {r.get('error_message', '')}")
    print(f"{missed} limit(s) missed" if missed else "every stated limit met")


if __name__ == "__main__":
    main(sys.argv[1:])
