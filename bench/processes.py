#!/usr/bin/env python3
"""Whole processes side by side, medians by hyperfine, against the NumPy anchor:

    python3 bench/processes.py CLI [BASELINE_CLI]

- the typical run, 1 5 0.1 0.0001 (target: the anchor at least 50 times as long);
- 1e7 points, 1 11 1e-6 1e-4, report only, on the default path (target: at most 0.4 times the
  anchor's time) and on AVX2, where the CPU has AVX-512 (target: at most 0.5 times);
- where build-windows/ holds the Windows build and wine is installed, the same 1e7 run by
  rootfinder-cli.exe under wine against CLI (target: at most 1.25 times as long);
- BASELINE_CLI, if given (an earlier build), beside CLI in each.

Prints the anchor's 1e7 median last as `numpy-1e7-ms N`, for the window's benchmark.
"""
import glob
import json
import os
import subprocess
import sys
import tempfile

PYTHON = "/usr/bin/python3"  # Debian's, with python3-numpy
ANCHOR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "numpy_anchor.py")
TYPICAL = "1 5 0.1 0.0001"
MILLION10 = "1 11 1e-6 1e-4"
WINE = "/usr/lib/wine/wine64"


def medians(commands, runs, env=None):
    """{name: median seconds} for {name: command line}, measured in one interleaved hyperfine run."""
    with tempfile.NamedTemporaryFile(suffix=".json") as out:
        subprocess.run(["hyperfine", "--shell=none", "--output=null", "--warmup", "2", "--runs", str(runs),
                        "--style", "none", "--export-json", out.name, *commands.values()],
                       check=True, stdout=subprocess.DEVNULL, env=env)
        results = json.load(open(out.name))["results"]
    return {name: result["median"] for name, result in zip(commands, results)}


def line(label, times, reference, target_text, ratio):
    shown = ", ".join(f"{name} {seconds * 1000:.1f} ms" for name, seconds in times.items())
    print(f"  {label}: {shown}; {target_text} = {ratio(times):.3f}")


def has_avx512():
    return "avx512f" in open("/proc/cpuinfo").read()


def windows_cli():
    found = glob.glob("build-windows/app/rootfinder-cli.exe")
    return found[0] if found and os.path.exists(WINE) else None


def main(cli, baseline=None):
    def programs(arguments, extra_env=""):
        commands = {"rootfinder-cli": f"{extra_env}{cli} {arguments}"}
        if baseline:
            commands["baseline"] = f"{extra_env}{baseline} {arguments}"
        return commands

    print("Whole processes, medians (hyperfine):")
    typical = medians({**programs(TYPICAL), "NumPy": f"{PYTHON} {ANCHOR} {TYPICAL}"}, 30)
    line("typical run " + TYPICAL, typical, "NumPy", "NumPy / rootfinder-cli (target: at least 50)",
         lambda t: t["NumPy"] / t["rootfinder-cli"])

    commands = {**programs(MILLION10), "NumPy": f"{PYTHON} {ANCHOR} {MILLION10}"}
    if has_avx512():
        commands["avx2"] = f"env ROOTFINDER_SIMD=avx2 {cli} {MILLION10}"
    big = medians(commands, 10)
    line("1e7 points " + MILLION10 + ", report only", big, "NumPy", "rootfinder-cli / NumPy (target: at most 0.4)",
         lambda t: t["rootfinder-cli"] / t["NumPy"])
    if "avx2" in big:
        print(f"    ROOTFINDER_SIMD=avx2 / NumPy (target: at most 0.5) = {big['avx2'] / big['NumPy']:.3f}")
    if baseline:
        print(f"    baseline / rootfinder-cli = {big['baseline'] / big['rootfinder-cli']:.2f}")

    exe = windows_cli()
    if exe:
        # A prefix of its own, and one wineserver kept running, as a Windows session keeps its own.
        env = dict(os.environ, WINEPREFIX=os.path.abspath("build-windows/bench-wine-prefix"), WINEDEBUG="-all")
        if not os.path.exists(os.path.join(env["WINEPREFIX"], "system.reg")):
            subprocess.run([WINE, "wineboot", "--init"], env=env, capture_output=True)
            subprocess.run(["/usr/lib/wine/wineserver", "-w"], env=env)
        server = subprocess.Popen(["/usr/lib/wine/wineserver", "-f", "-p"], env=env,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            windows = medians({"rootfinder-cli.exe under wine": f"{WINE} {exe} {MILLION10}",
                               "rootfinder-cli": f"{cli} {MILLION10}"}, 10, env)
        finally:
            server.terminate()
        line("Windows, 1e7 points", windows, "rootfinder-cli",
             "wine / Linux (target: at most 1.25)",
             lambda t: t["rootfinder-cli.exe under wine"] / t["rootfinder-cli"])
    else:
        print("  Windows: no build-windows/app/rootfinder-cli.exe or no wine: not compared")
    print(f"numpy-1e7-ms {big['NumPy'] * 1000:.1f}")


if __name__ == "__main__":
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__.split("\n\n")[1])
    main(*sys.argv[1:])
