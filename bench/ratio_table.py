#!/usr/bin/env python3
"""Prints the ratio table of one benchmark run as Markdown.

    ratio_table.py BENCHMARK_JSON... [LAUNCHER_JSON]

Each BENCHMARK_JSON is Google Benchmark's --benchmark_out of cognexa_bench or
cognexa_evaluation_bench (their results are merged; cognexa_xml_bench's is read from xml.json
beside the first), LAUNCHER_JSON the output of launcher_bench.py (told apart by its content).
Every ratio compares two figures of the same run; times are CPU times, except the evaluation
figures (best of interleaved rounds, wall clock), the XML figures (best of seven turns, thread
CPU time) and the launcher's.
"""
import json
import math
import os
import sys


def load_json(path):
    with open(path, encoding="utf-8") as file:
        return json.load(file)


def benchmarks_of(data):
    return {entry["name"]: entry for entry in data["benchmarks"] if entry.get("run_type", "iteration") == "iteration"}


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


def frame_rows(table, benchmarks):
    """The frame figures: ns per expression and context, geometric means over the expressions."""
    notes = []
    for count in (1000, 10000):
        frame = benchmarks.get(f"BM_Frame/{count}/iterations:1")
        if frame is None:
            continue
        label = f"Frame, {count:,} contexts, {frame['expressions']:.0f} expressions"

        def row(figure, mine, theirs, peer_label, target=None, throughput=False):
            a, b = frame[mine + "_ns"], frame[theirs + "_ns"]
            if throughput:
                table.add(f"{label}: {figure}", f"2 threads {b:.2f} ns", f"1 thread {a:.2f} ns", a / b, target,
                          lower_is_better=False)
            else:
                table.add(f"{label}: {figure}", f"{a:.2f} ns", f"{peer_label} {b:.2f} ns", a / b, target)

        loop = "Evaluate loop, 1 thread"
        row("many contexts, per-lane callbacks", "cognexa_many_lane_1t", "cognexa_loop_1t", loop,
            0.6 if count == 1000 else None)
        row("many contexts, bulk hand-in", "cognexa_many_bulk_1t", "cognexa_loop_1t", loop, 0.2)
        row("many contexts, bulk hand-in", "cognexa_many_bulk_1t", "muparser_bulk_var_1t",
            "muparser bulk, variables bound to arrays, 1 thread", 0.3)
        row("many contexts, bulk hand-in", "cognexa_many_bulk_1t", "floor_arrays", "floor, values from arrays")
        row("Evaluate loop", "cognexa_loop_1t", "muparser_loop_fun", "muparser Eval() loop, a callback per variable")
        for peer, peer_label in (("muparser_bulk_fun_1t", "muparser bulk, a bulk callback per variable, 1 thread"),
                                 ("muparser_bulk_var_1t", "muparser bulk, variables bound to arrays, 1 thread"),
                                 ("floor_arrays", "floor, values from arrays"),
                                 ("floor_calls", "floor, a call per lane per variable")):
            row("Evaluate loop", "cognexa_loop_1t", peer, peer_label)
        for form, name, target in (("cognexa_loop", "Evaluate loop", None),
                                   ("cognexa_many_lane", "many contexts, per-lane callbacks",
                                    1.8 if count == 10000 else None),
                                   ("cognexa_many_bulk", "many contexts, bulk hand-in", 1.8 if count == 10000 else None),
                                   ("muparser_bulk_fun", "muparser bulk, bulk callbacks (OpenMP)", None),
                                   ("muparser_bulk_var", "muparser bulk, arrays (OpenMP)", None)):
            row(f"{name}, 2 threads' throughput / 1 thread's", f"{form}_1t", f"{form}_2t", None, target,
                throughput=True)
        notes.append(f"Frame of {count:,} contexts: {frame['mismatches']:.0f} runs differing from the Evaluate loop "
                     f"in a bit or a success flag (must be 0), {frame['disagreements']:.0f} muparser runs outside "
                     f"the tolerance, {frame['failed_lanes']:.0f} lanes failing (a division by zero), "
                     f"{frame['rejected']:.0f} corpus lines not taken by every engine.")
    return notes


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    context, benchmarks, launcher = None, {}, None
    for path in sys.argv[1:]:
        data = load_json(path)
        if "benchmarks" in data:
            context = context or data["context"]
            benchmarks.update(benchmarks_of(data))
        else:
            launcher = data
    context = context or {}
    table = TableClass()

    evaluation = benchmarks.get("BM_Evaluation/iterations:1")
    if evaluation:
        mine = evaluation["library_ns"]
        label = f"geomean of {evaluation['expressions']:.0f} expressions, through the shared library"
        peers = (("muparser_fun_ns", "muparser, a callback per variable", 0.8),
                 ("muparser_var_ns", "muparser, variables by pointer", 1.5),
                 ("fparser_fun_ns", "fparser, a function per variable", None),
                 ("fparser_array_ns", "fparser, variables from an array", None),
                 ("lua_cfun_ns", "Lua 5.4, a C function per variable", 1.0),
                 ("lua_table_ns", "Lua 5.4, variables from a table", None),
                 ("luajit_ffi_call_ns", "LuaJIT, an FFI call per variable", 1.0),
                 ("luajit_ffi_array_ns", "LuaJIT, variables from an FFI array", None))
        for counter, peer_label, target in peers:
            if counter in evaluation:
                table.add(f"Evaluation ({label})", f"{mine:.1f} ns", f"{peer_label} {evaluation[counter]:.1f} ns",
                          mine / evaluation[counter], target)
    floor = benchmarks.get("BM_Evaluation_Floor/iterations:1")
    if floor:
        table.add("Evaluation against the floor loop over the same nodes (static library)",
                  f"{floor['library_ns']:.1f} ns", f"floor {floor['floor_ns']:.1f} ns",
                  floor["library_ns"] / floor["floor_ns"], 1.1)
    frame_notes = frame_rows(table, benchmarks)
    time_row(table, benchmarks, "One token node (evaluation state, token callback, reset)", "BM_Node_Token",
             "BM_Node_Constant", "constant node")
    for peer, label, target in (("muparser_var", "muparser (SetExpr + first Eval)", 1.0),
                                ("fparser_array", "fparser (Parse)", 1.0)):
        rate_row(table, benchmarks, "Building (equations/s)", "BM_Build_Library", f"BM_Build_{peer}", label,
                 "items_per_second", "/s", 1, target)
    xml_path = os.path.join(os.path.dirname(sys.argv[1]), "xml.json")
    xml = benchmarks_of(load_json(xml_path)) if os.path.exists(xml_path) else {}
    for size in (1, 20):
        turns = xml.get(f"BM_Xml_Turns/{size}/iterations:1")
        if turns is None:
            table.add(f"XML {size} MB (MB/s)", "missing", "missing", None)
            continue
        mine = turns["library_MBps"]
        for peer, label, target in (("pugixml", "pugixml load_file", 1.0), ("tinyxml2", "tinyxml2 LoadFile", None),
                                    ("memchr", "memchr scan", None)):
            theirs = turns[f"{peer}_MBps"]
            table.add(f"XML {size} MB (MB/s, best of 7 turns)", f"{mine:,.0f} MB/s", f"{label} {theirs:,.0f} MB/s",
                      mine / theirs, target, lower_is_better=False)
        base = turns["none_peak_KiB"]
        for peer, label, target in (("pugixml", "pugixml", 1.0), ("tinyxml2", "tinyxml2", None)):
            table.add(f"XML {size} MB peak memory (above a bare process)",
                      f"{(turns['library_peak_KiB'] - base) / 1024:,.1f} MB",
                      f"{label} {(turns[f'{peer}_peak_KiB'] - base) / 1024:,.1f} MB",
                      (turns["library_peak_KiB"] - base) / (turns[f"{peer}_peak_KiB"] - base), target)
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
    time_row(table, benchmarks, "Loading 5,000 numbered names (Equation_0000…) from 200 files, through the shared library",
             "BM_Load_Names/numbered", "BM_Load_Names/varied", "varied names", 1.1, "ms")

    launcher_note = None
    if launcher:
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
    for note in frame_notes:
        print()
        print(note)


if __name__ == "__main__":
    main()
