#!/usr/bin/env python3
"""Runs every GoogleTest program of a build once more, whole and with its tests shuffled.

ctest gives each test a process of its own, so a test that only passes when it runs first, or
that another test leaves something for, goes unseen there. Each program runs here as ctest
would start it (its emulator, working directory and environment) but with every test in one
process in a random order; the seed is printed, and --seed repeats an order.

  tests/run_shuffled.py BUILD_DIR [--seed N]
"""
import argparse
import json
import os
import random
import subprocess
import sys


def gtest_programs(build_dir):
    """Each GoogleTest program once: its command without the test filter, and its properties."""
    listing = subprocess.run(["ctest", "--test-dir", build_dir, "--show-only=json-v1"],
                             check=True, capture_output=True, text=True).stdout
    programs = {}
    for test in json.loads(listing)["tests"]:
        command = test.get("command") or []
        if not any(argument.startswith("--gtest_filter=") for argument in command):
            continue
        program = tuple(argument for argument in command if not argument.startswith("--gtest_"))
        properties = {entry["name"]: entry["value"] for entry in test.get("properties", [])}
        programs.setdefault(program, properties)
    return programs


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("build_dir")
    parser.add_argument("--seed", type=int, default=random.randint(1, 99999))
    arguments = parser.parse_args()

    programs = gtest_programs(arguments.build_dir)
    if not programs:
        print(f"no GoogleTest programs in {arguments.build_dir}", file=sys.stderr)
        return 1
    failed = []
    for program, properties in sorted(programs.items()):
        environment = dict(os.environ)
        for setting in properties.get("ENVIRONMENT", []):
            name, _, value = setting.partition("=")
            environment[name] = value
        command = list(program) + ["--gtest_shuffle", f"--gtest_random_seed={arguments.seed}",
                                   "--gtest_brief=1"]
        run = subprocess.run(command, cwd=properties.get("WORKING_DIRECTORY"), env=environment,
                             stdin=subprocess.DEVNULL, capture_output=True, text=True, errors="replace")
        name = os.path.basename(program[-1])
        if run.returncode != 0:
            failed.append(name)
            print(run.stdout[-20000:], run.stderr[-5000:], sep="\n")
        print(f"{'FAILED' if run.returncode else 'passed'}: {name}, shuffled with seed {arguments.seed}")
    if failed:
        print(f"order-dependent: {', '.join(failed)} (repeat with --seed {arguments.seed})")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
