#!/usr/bin/env python3
"""Launcher start-up against the platform's floor, in the current X display (run it under
xvfb-run).

Each run starts a program in a session of its own and measures the wall time from exec to the
first "page ..." line of its trace file (the launcher writes it through VESTIBAR_TEST_TRACE when
WebKit reports the first page loaded; the bare window writes the same line itself), then the peak
resident memory (VmHWM) and the CPU time so far, summed over the program and the web processes
it started. Afterwards every process of the session is ended, by id.

The bare window shows the same content as the launcher: a copy of the page folder whose start
page answers the profile's keys with the texts the launcher gave in a warm-up run (that run is
not counted), so both windows draw the same background image and captions. The two programs
take turns; the medians of each and the median of the pairs' ratios are reported as JSON on
stdout, with the load average before and after.

    launcher_bench.py VESTIBAR BARE_WEBKIT_WINDOW PAGE_FILE [PAIRS]
"""
import html.parser
import json
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

LOAD_TIMEOUT = 60


def session_members(session):
    """Ids of the live processes whose session is the given one."""
    members = []
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat", encoding="utf-8") as stat:
                fields = stat.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        # After the command name: state, ppid, pgrp, session, ...
        if int(fields[3]) == session:
            members.append(int(entry))
    return members


def peak_kilobytes(pids):
    total = 0
    for pid in pids:
        try:
            with open(f"/proc/{pid}/status", encoding="utf-8") as status:
                for line in status:
                    if line.startswith("VmHWM:"):
                        total += int(line.split()[1])
        except OSError:
            pass
    return total


def cpu_milliseconds(pids):
    """User and system time the processes have used so far."""
    ticks = 0
    for pid in pids:
        try:
            with open(f"/proc/{pid}/stat", encoding="utf-8") as stat:
                fields = stat.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        ticks += int(fields[11]) + int(fields[12])
    return ticks * 1000 / os.sysconf("SC_CLK_TCK")


def end_session(process):
    """SIGTERM to the program, then SIGKILL to whatever of its session is left."""
    if process.poll() is None:
        process.send_signal(signal.SIGTERM)
        try:
            process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            pass
    for _ in range(50):
        members = session_members(process.pid)
        if not members:
            break
        for pid in members:
            try:
                os.kill(pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
        if process.poll() is None:
            process.wait(timeout=5)
        time.sleep(0.1)


def measure(command, trace, environment):
    start = time.monotonic()
    process = subprocess.Popen(command, env=environment, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, start_new_session=True)
    try:
        deadline = start + LOAD_TIMEOUT
        while time.monotonic() < deadline:
            try:
                with open(trace, encoding="utf-8") as lines:
                    if any(line.startswith("page ") for line in lines):
                        break
            except FileNotFoundError:
                pass
            if process.poll() is not None:
                raise RuntimeError(f"{command[0]} exited with {process.returncode} before a page loaded")
            time.sleep(0.002)
        else:
            raise RuntimeError(f"{command[0]} loaded no page within {LOAD_TIMEOUT} s")
        elapsed = time.monotonic() - start
        members = session_members(process.pid)
        return elapsed, peak_kilobytes(members), cpu_milliseconds(members)
    finally:
        end_session(process)


class ProfileKeysClass(html.parser.HTMLParser):
    """The profile keys a page asks for, in the order its script asks: the body's background key,
    then each caption's key."""

    def __init__(self):
        super().__init__()
        self.keys = []

    def handle_starttag(self, tag, attributes):
        attributes = dict(attributes)
        for name in ("data-background-key", "data-key"):
            if attributes.get(name):
                self.keys.append(attributes[name])


def same_content_page(page, launcher_trace, directory):
    """A copy of the page folder whose start page gets, without the launcher, the answers the
    launcher gave: the page's script then sets the same background and captions."""
    with open(page, encoding="utf-8") as file:
        markup = file.read()
    keys = ProfileKeysClass()
    keys.feed(markup)
    with open(launcher_trace, encoding="utf-8") as file:
        answers = [line.split(" -> ", 1)[1].rstrip("\n") for line in file
                   if line.startswith("call GetParameter -> ")]
    if len(answers) < len(keys.keys):
        raise RuntimeError(f"the launcher answered {len(answers)} of the page's {len(keys.keys)} keys")
    table = json.dumps(dict(zip(keys.keys, answers)))
    shim = ("<script>Object.defineProperty(window, \"external\", { value: { GetParameter: function (key) {"
            f" var table = {table}; return Promise.resolve(key in table ? table[key] : key); }} }},"
            " configurable: true });</script>")
    shutil.copytree(os.path.dirname(os.path.abspath(page)), directory)
    # The launcher finds its files in any case; the pages ask for them in lower case and the
    # profile names the backgrounds in mixed case, so the copy holds the files under those names.
    stored = {name.upper(): name for name in os.listdir(directory)}
    for wanted in [name.lower() for name in stored.values()] + answers:
        source = stored.get(wanted.upper())
        if source is not None and wanted != source and os.path.isfile(os.path.join(directory, source)):
            os.link(os.path.join(directory, source), os.path.join(directory, wanted))
    copy = os.path.join(directory, os.path.basename(page))
    with open(copy, "w", encoding="utf-8") as file:
        file.write(markup.replace("<head>", "<head>\n" + shim, 1))
    return copy


def environment_for(directory):
    os.makedirs(os.path.join(directory, "registry"))
    os.makedirs(os.path.join(directory, "runtime"), mode=0o700)
    environment = dict(os.environ)
    environment.update({
        "VESTIBAR_REGISTRY_DIR": os.path.join(directory, "registry"),
        "VESTIBAR_TEST_TRACE": os.path.join(directory, "trace"),
        "XDG_RUNTIME_DIR": os.path.join(directory, "runtime"),
        "LANG": "C",
    })
    return environment


def main():
    if len(sys.argv) not in (4, 5):
        sys.exit(__doc__)
    vestibar, bare_window, page = sys.argv[1:4]
    pairs = int(sys.argv[4]) if len(sys.argv) == 5 else 9
    figures = ("seconds", "kilobytes", "cpu_ms")
    results = {name: {figure: [] for figure in figures} for name in ("launcher", "bare")}
    load_before = os.getloadavg()
    with tempfile.TemporaryDirectory(prefix="cognexa-bench-launcher-") as root:
        warm_up = os.path.join(root, "warm-up")
        environment = environment_for(warm_up)
        measure([vestibar], environment["VESTIBAR_TEST_TRACE"], environment)
        bare_page = same_content_page(page, environment["VESTIBAR_TEST_TRACE"], os.path.join(root, "pages"))
        for run in range(pairs):
            for name in ("launcher", "bare"):
                environment = environment_for(os.path.join(root, f"{name}-{run}"))
                trace = environment["VESTIBAR_TEST_TRACE"]
                if name == "launcher":
                    command = [vestibar]
                else:
                    command = [bare_window, "file://" + bare_page, trace]
                for figure, value in zip(figures, measure(command, trace, environment)):
                    results[name][figure].append(value)
    summary = {name: {"first_page_ms": 1000 * statistics.median(values["seconds"]),
                      "peak_memory_mb": statistics.median(values["kilobytes"]) / 1024,
                      "cpu_ms": statistics.median(values["cpu_ms"]),
                      "runs": pairs}
               for name, values in results.items()}
    mine, bare = results["launcher"], results["bare"]
    summary["pair_ratios"] = {
        figure: {"median": statistics.median(ratios), "low": min(ratios), "high": max(ratios)}
        for figure, ratios in ((figure, [a / b for a, b in zip(mine[figure], bare[figure])])
                               for figure in figures)}
    summary["pairs"] = {name: values for name, values in results.items()}
    summary["load_average"] = {"before": load_before[0], "after": os.getloadavg()[0]}
    json.dump(summary, sys.stdout, indent=2)
    print()


if __name__ == "__main__":
    main()
