#!/usr/bin/env python3
"""Launcher start-up against the platform's floor, in the current X display (run it under
xvfb-run).

Each run starts a program in a session of its own and measures the wall time from exec to the
first "page ..." line of its trace file (the launcher writes it through VESTIBAR_TEST_TRACE when
WebKit reports the first page loaded; the bare window writes the same line itself), then the peak
resident memory (VmHWM) summed over the program and the web processes it started. Afterwards
every process of the session is ended, by id. The two programs take turns; the medians are
reported as JSON on stdout.

    launcher_bench.py VESTIBAR BARE_WEBKIT_WINDOW PAGE_FILE [RUNS]
"""
import json
import os
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
        memory = peak_kilobytes(session_members(process.pid))
        return elapsed, memory
    finally:
        end_session(process)


def main():
    if len(sys.argv) not in (4, 5):
        sys.exit(__doc__)
    vestibar, bare_window, page = sys.argv[1:4]
    runs = int(sys.argv[4]) if len(sys.argv) == 5 else 5
    results = {"launcher": {"seconds": [], "kilobytes": []}, "bare": {"seconds": [], "kilobytes": []}}
    with tempfile.TemporaryDirectory(prefix="cognexa-bench-launcher-") as root:
        for run in range(runs):
            for name in ("launcher", "bare"):
                directory = os.path.join(root, f"{name}-{run}")
                os.makedirs(os.path.join(directory, "registry"))
                os.makedirs(os.path.join(directory, "runtime"), mode=0o700)
                trace = os.path.join(directory, "trace")
                environment = dict(os.environ)
                environment.update({
                    "VESTIBAR_REGISTRY_DIR": os.path.join(directory, "registry"),
                    "VESTIBAR_TEST_TRACE": trace,
                    "XDG_RUNTIME_DIR": os.path.join(directory, "runtime"),
                    "LANG": "C",
                })
                if name == "launcher":
                    command = [vestibar]
                else:
                    command = [bare_window, "file://" + os.path.abspath(page), trace]
                seconds, kilobytes = measure(command, trace, environment)
                results[name]["seconds"].append(seconds)
                results[name]["kilobytes"].append(kilobytes)
    summary = {name: {"first_page_ms": 1000 * statistics.median(values["seconds"]),
                      "peak_memory_mb": statistics.median(values["kilobytes"]) / 1024,
                      "runs": runs}
               for name, values in results.items()}
    json.dump(summary, sys.stdout, indent=2)
    print()


if __name__ == "__main__":
    main()
