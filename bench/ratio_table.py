#!/usr/bin/env python3
"""Prints the ratio table of one benchmark run as Markdown.

    ratio_table.py BENCHMARK_JSON [LAUNCHER_JSON]

BENCHMARK_JSON is Google Benchmark's --benchmark_out of cognexa_bench, LAUNCHER_JSON the output
of launcher_bench.py. Every ratio compares two figures of the same run; times are CPU times,
except the evaluation figures (best of interleaved rounds, wall clock) and the launcher's.
"""
import json
import math
import sys


def load_benchmarks(path):
    with open(path, encoding="utf-8") as file:
        data = json.load(file)
    return data["context"], {entry["name"]: entry for entry in data["benchmarks"]
                             if entry.get("run_type", "iteration") == "iteration"}


def nanoseconds(entry):
    scale = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[entry["time_unit"]]
    return entry["cpu_time"] * scale


def verdict(ratio, target, lower_is_better):
    if target is None or ratio is None or math.isnan(ratio):
        return ""
    met = ratio <= target if lower_is_better else ratio >= target
    return ("met" if met else "missed") + (f" (≤ {target}×)" if lower_is_better else f" (≥ {target}×)")


class TableClass:
    def __init__(self):
        self.rows = []

    def add(self, figure, ours, peer, ratio, target=None, lower_is_better=True):
        self.rows.append((figure, ours, peer, "n/a" if ratio is None else f"{ratio:.2f}×",
                          verdict(ratio, target, lower_is_better)))

    def print(self):
        print("| Figure | Cognexa / Vestibar | Peer | Ratio | Target |")
        print("|---|---|---|---|---|")
        for row in self.rows:
            print("| " + " | ".join(row) + " |")


def time_row(table, benchmarks, figure, ours, peer, peer_label, target=None, unit="ns"):
    if ours not in benchmarks or peer not in benchmarks:
        table.add(figure, "missing", "missing", None)
        return
    scale = {"ns": 1, "us": 1e3, "ms": 1e6}[unit]
    mine, theirs = nanoseconds(benchmarks[ours]), nanoseconds(benchmarks[peer])
    table.add(figure, f"{mine / scale:,.1f} {unit}", f"{peer_label} {theirs / scale:,.1f} {unit}", mine / theirs,
              target)


def rate_row(table, benchmarks, figure, ours, peer, peer_label, counter, unit, divisor, target=None):
    if ours not in benchmarks or peer not in benchmarks:
        table.add(figure, "missing", "missing", None)
        return
    mine, theirs = benchmarks[ours][counter] / divisor, benchmarks[peer][counter] / divisor
    table.add(figure, f"{mine:,.0f} {unit}", f"{peer_label} {theirs:,.0f} {unit}", mine / theirs, target,
              lower_is_better=False)


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    context, benchmarks = load_benchmarks(sys.argv[1])
    table = TableClass()

    evaluation = benchmarks.get("BM_Evaluation/iterations:1")
    if evaluation:
        mine = evaluation["library_ns"]
        label = f"geomean of {evaluation['expressions']:.0f} expressions"
        table.add(f"Evaluation ({label})", f"{mine:.1f} ns", f"muparser {evaluation['muparser_ns']:.1f} ns",
                  mine / evaluation["muparser_ns"], 1.0)
        table.add("Evaluation against the floor loop", f"{mine:.1f} ns", f"floor {evaluation['floor_ns']:.1f} ns",
                  mine / evaluation["floor_ns"], 1.1)
    time_row(table, benchmarks, "One token node (evaluation state, token callback, reset)", "BM_Node_Token",
             "BM_Node_Constant", "constant node")
    rate_row(table, benchmarks, "Building (equations/s)", "BM_Build_Library", "BM_Build_Muparser", "muparser",
             "items_per_second", "/s", 1, 1.0)
    for size in (1, 20):
        for peer, label, target in (("Pugixml", "pugixml", 1.0), ("Tinyxml2", "tinyxml2", None),
                                    ("Memchr", "memchr scan", None)):
            rate_row(table, benchmarks, f"XML {size} MB (MB/s)", f"BM_Xml_Library/{size}", f"BM_Xml_{peer}/{size}",
                     label, "bytes_per_second", "MB/s", 1 << 20, target)
    time_row(table, benchmarks, "Archive lookup, 10,000 members", "BM_Lookup_Library", "BM_Lookup_Physfs",
             "PhysFS", 1.0)
    time_row(table, benchmarks, "Member read, in memory", "BM_Read_Library_In_Memory", "BM_Read_Memcpy", "memcpy",
             1.2)
    time_row(table, benchmarks, "Member read, streamed", "BM_Read_Library_Streamed", "BM_Read_Posix",
             "lseek+read")
    for mode, label in ((0, "streamed"), (1, "in memory")):
        time_row(table, benchmarks, f"Open, read, close a member ({label})", f"BM_Open_Read_Close_Library/mode:{mode}",
                 "BM_Open_Read_Close_Physfs", "PhysFS")
    time_row(table, benchmarks, "Enumerate 10,000 members", "BM_Enumerate_Library", "BM_Enumerate_Physfs",
             "PhysFS", None, "ms")
    for source, label in ((-1, "loose files"), (0, "mega file, streamed"), (1, "mega file, in memory")):
        time_row(table, benchmarks, f"Start-up, 5,000 equations in 200 files ({label})",
                 f"BM_Startup_Library/source:{source}", "BM_Startup_Peer", "pugixml + muparser", None, "ms")

    launcher_note = None
    if len(sys.argv) == 3:
        with open(sys.argv[2], encoding="utf-8") as file:
            launcher = json.load(file)
        mine, bare, pairs = launcher["launcher"], launcher["bare"], launcher["pair_ratios"]
        # The ratio is the median of the pairs' ratios; the columns show each program's median.
        table.add(f"Launcher: exec to first page loaded (median of {mine['runs']} pairs)",
                  f"{mine['first_page_ms']:.0f} ms", f"bare WebKitGTK window {bare['first_page_ms']:.0f} ms",
                  pairs["seconds"]["median"], 1.1)
        table.add("Launcher: peak memory (program and web processes)", f"{mine['peak_memory_mb']:.0f} MB",
                  f"bare WebKitGTK window {bare['peak_memory_mb']:.0f} MB", pairs["kilobytes"]["median"], 1.05)
        table.add("Launcher: CPU time to first page (program and web processes)", f"{mine['cpu_ms']:.0f} ms",
                  f"bare WebKitGTK window {bare['cpu_ms']:.0f} ms", pairs["cpu_ms"]["median"])
        launcher_note = (f"Launcher pairs ran at a load average of {launcher['load_average']['before']:.1f} to "
                         f"{launcher['load_average']['after']:.1f}; time ratios of single pairs "
                         f"{pairs['seconds']['low']:.2f}× to {pairs['seconds']['high']:.2f}×.")

    print(f"Run of {context.get('date', '?')} on {context.get('host_name', '?')}: "
          f"{context.get('num_cpus', '?')} CPUs at {context.get('mhz_per_cpu', '?')} MHz, "
          f"load average {', '.join(f'{value:.1f}' for value in context.get('load_avg', []))}.")
    print()
    table.print()
    if launcher_note:
        print()
        print(launcher_note)


if __name__ == "__main__":
    main()
