#!/usr/bin/env python3
"""Runs rootfinder-cli on every run of the run lists and, given a reference, compares everything
with it byte for byte: stdout, the exit status and every file written.

    compare-runs.py --kind KIND --out DIR [--reference DIR] [--env NAME=VALUE]... RUNS... -- CLI...

KIND names the files each run writes: points (--points), verdicts (--roots and --all-roots) or
all three. CLI is the program, with an emulator in front where the build needs one. A run line
holds rootfinder-cli's arguments, optionally after LC_ALL=NAME (C otherwise); # starts a comment.
Each run runs in a folder of its own, so that the files have relative names, which wine maps as
well as qemu does. Without --reference the outputs are only recorded (the reference itself).
"""
import argparse
import concurrent.futures
import filecmp
import os
import pathlib
import shutil
import subprocess
import sys

FILES = {"points": ["--points", "points.csv"],
         "verdicts": ["--roots", "roots.csv", "--all-roots", "zeros.csv"]}
FILES["all"] = FILES["points"] + FILES["verdicts"]
SHOWN = 5  # differing runs described in full


def read_runs(paths):
    runs = []
    for path in paths:
        for line in pathlib.Path(path).read_text().splitlines():
            if line.strip() and not line.lstrip().startswith("#"):
                runs.append(line.split())
    return runs


def run_one(folder, arguments, command, files, environment):
    locale = "C"
    if arguments and arguments[0].startswith("LC_ALL="):
        locale, arguments = arguments[0][len("LC_ALL="):], arguments[1:]
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    env = dict(os.environ, **environment, LC_ALL=locale)
    # rootfinder-cli says why whenever it fails, on a line of its own name; a failure without such
    # a line is the emulator's (seen under wine: no output, or only wine's), and the run is tried
    # again, up to three times in all.
    for attempt in range(3):
        with open(folder / "stdout", "wb") as out, open(folder / "stderr", "wb") as err:
            try:
                status = subprocess.run(command + files + arguments, cwd=folder, env=env, stdin=subprocess.DEVNULL,
                                        stdout=out, stderr=err, timeout=120).returncode
            except subprocess.TimeoutExpired:
                status = "timeout"
        said = b"rootfinder-cli: " in (folder / "stderr").read_bytes()
        silent = (folder / "stdout").stat().st_size == 0 and not said
        if status in (0, "timeout") or not silent or attempt == 2:
            break
        print(f"{folder.name}: status {status} without a word of its own; run again", file=sys.stderr)
    (folder / "status").write_text(f"{status}\n")


def differences(reference, here):
    """The outputs of one run that differ, stderr aside."""
    names = {p.name for p in reference.iterdir()} | {p.name for p in here.iterdir()}
    return [name for name in sorted(names - {"stderr"})
            if not (reference / name).exists() or not (here / name).exists()
            or not filecmp.cmp(reference / name, here / name, shallow=False)]


def describe(reference, here, name):
    try:
        ours = (here / name).read_bytes().splitlines()
        theirs = (reference / name).read_bytes().splitlines()
    except FileNotFoundError:
        return "    present on one side only"
    for number, (mine, other) in enumerate(zip(ours, theirs), 1):
        if mine != other:
            return f"    line {number}: {other!r} (reference) against {mine!r}"
    return f"    {len(theirs)} lines (reference) against {len(ours)}"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--kind", choices=FILES, required=True)
    parser.add_argument("--out", type=pathlib.Path, required=True)
    parser.add_argument("--reference", type=pathlib.Path)
    parser.add_argument("--env", action="append", default=[])
    parser.add_argument("runs", nargs="+")
    arguments = sys.argv[1:]
    split = arguments.index("--") if "--" in arguments else len(arguments)
    options, command = parser.parse_args(arguments[:split]), arguments[split + 1:]
    if not command or not shutil.which(command[0]):
        sys.exit(f"compare-runs: no program {command[:1]} (the native reference is build/, from the native preset)")
    runs = read_runs(options.runs)
    environment = dict(setting.split("=", 1) for setting in options.env)
    folders = [options.out / str(index) for index in range(len(runs))]
    with concurrent.futures.ThreadPoolExecutor(os.cpu_count()) as pool:
        list(pool.map(lambda job: run_one(job[0], job[1], command, FILES[options.kind], environment),
                      zip(folders, runs)))
    if not options.reference:
        print(f"{len(runs)} runs recorded in {options.out}")
        return 0
    differing = 0
    for index, (folder, arguments) in enumerate(zip(folders, runs)):
        names = differences(options.reference / str(index), folder)
        if names:
            differing += 1
            if differing <= SHOWN:
                print(f"run {index} '{' '.join(arguments)}' differs in {', '.join(names)}")
                for name in names:
                    print(describe(options.reference / str(index), folder, name))
    print(f"{len(runs) - differing} of {len(runs)} runs identical to the reference ({options.kind})")
    return 1 if differing else 0


if __name__ == "__main__":
    sys.exit(main())
