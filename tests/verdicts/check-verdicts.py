#!/usr/bin/env python3
"""Checks rootfinder-cli's --roots and --all-roots against zeros of f found independently with
mpmath at 40 digits.
    check-verdicts.py CLI
Exits 77 (skipped) when mpmath is missing.

The reference zeros: f < -1 for x < 0 (e^x/x^3 < 0, -sin^3 x <= 1) and f > 0 for x >= 7
(e^x/x^3 grows past x = 3 and e^7/343 > 3); on (0, 7) every sign change of f on a grid of step
1/1024 is refined with mpmath's root finder, and each zero is checked for a sign change across
+-1e-30."""
import math
import os
import subprocess
import sys
import tempfile

try:
    from mpmath import mp, mpf, exp, sin, findroot
except ImportError:
    print("python3-mpmath is missing: the verdicts are not checked")
    sys.exit(77)

mp.dps = 40


def f(x):
    return exp(x) / x**3 - sin(x) ** 3 - 2


def reference_zeros():
    assert exp(7) / 343 > 3
    zeros, step = [], mpf(1) / 1024
    x, fx = mpf("0.5"), f(mpf("0.5"))
    while x < 7:
        y = x + step
        fy = f(y)
        if fx * fy < 0:
            z = findroot(f, (x, y), solver="anderson")
            assert x <= z <= y and f(z - mpf("1e-30")) * f(z + mpf("1e-30")) < 0, z
            zeros.append(z)
        x, fx = y, fy
    return zeros


ZEROS = reference_zeros()
assert len(ZEROS) == 4, ZEROS


def exact(text):
    """The double a CSV field or argument names, exactly."""
    return mpf(float(text))


# A B H EPS, the verdict of each root line, and the report lines found for each zero on [a, b];
# None where the verdicts hang on the secant's last bits: whatever the 40-digit zeros say.
CASES = [
    ("1 5 0.1 1e-4", ["root", "root"], ["1", "2"]),                          # converged roots
    ("-1 1 0.1 1e-4", ["pole", "root"], []),                                 # the pole's sign change
    ("-2.5 1 2.9 1e-4", ["pole", "no-root"], []),                            # -1.892, once "converged"
    ("-2.0965 -2.0965 2.83 1e-6", ["pole"], []),
    ("0.892 8 1.1 0.001", ["no-root", "no-root"], ["", "", "", ""]),        # the stalled secant
    ("0.5 8 1.3 1e-4", ["no-root", "root"], ["", "", "", "2"]),              # -37.38
    ("4.5 6.5 2 1e-6", ["root"], ["1", "", ""]),                             # three zeros in one step
    ("1 10 0.5 1e-4", ["root", "root", "root", "root"], ["1", "", "3", "2 4"]),
    ("0 3 1.5 1e-4", ["pole"], [""]),                                       # the pole on a step's left end
    # EPS below the spacing of doubles: the zero itself within EPS decides, not its enclosure
    ("0.5 7 0.01 6e-16", None, None),                                        # each root within 6e-16 of its zero
    ("1 5 0.1 1e-16", None, None),                                           # here 3.4e-17 and 1.5e-16 away
    ("1 5 0.1 5e-324", ["no-root", "no-root"], ["", ""]),
    # EPS coarser than the zeros' spacing: a zero far off, with the pole in the step
    ("-2.5 1 2.9 4", ["root", "root"], []),
    ("-1 1 0.1 1", ["root", "root"], []),
    ("1 5 0.1 1e308", ["root", "root"], ["1 2", "1 2"]),
]


def read_csv(path):
    with open(path, encoding="utf-8") as file:
        rows = [line.rstrip("\n").split(",") for line in file]
    return rows[0], rows[1:]


def reference_verdict(line, eps):
    """The first verdict that applies to a --roots line, by the reference zeros."""
    root, f_root, left, right = (float(field) for field in (line[1], line[2], line[4], line[5]))
    if not math.isfinite(root) or not math.isfinite(f_root):
        return "not-finite"
    if any(abs(z - mpf(root)) <= eps for z in ZEROS):
        return "root"
    return "pole" if left <= 0 <= right else "no-root"


def check(cli, arguments, verdicts, zero_lines):
    problems = []
    with tempfile.TemporaryDirectory() as directory:
        roots, all_roots = os.path.join(directory, "roots.csv"), os.path.join(directory, "all.csv")
        subprocess.run([cli, "--roots", roots, "--all-roots", all_roots, "--"] + arguments.split(),
                       check=True, stdout=subprocess.DEVNULL, env=dict(os.environ, LC_ALL="C"))
        header, lines = read_csv(roots)
        zheader, zrows = read_csv(all_roots)
    assert header == "n,root,f_root,updates,left,right,in_step,status,lower,upper,pole_in_step,distance".split(","), header
    assert zheader == "lower,upper,status,lines".split(","), zheader
    a, b, _, eps_text = arguments.split()
    eps = exact(eps_text)

    if verdicts is None:
        verdicts = [reference_verdict(line, eps) for line in lines]
    if [line[7] for line in lines] != verdicts:
        problems.append(f"verdicts {[line[7] for line in lines]}, expected {verdicts}")
    near = {}  # zero -> lines within EPS
    for line in lines:
        n, root, left, right, status = line[0], exact(line[1]), exact(line[4]), exact(line[5]), line[7]
        within = [z for z in ZEROS if abs(z - root) <= eps]
        for z in within:
            near.setdefault(z, []).append(n)
        if line[6] != ("true" if left <= root <= right else "false"):
            problems.append(f"line {n}: in_step {line[6]}")
        if line[10] != ("true" if left <= 0 <= right else "false"):
            problems.append(f"line {n}: pole_in_step {line[10]}")
        if status == "root":
            lower, upper = exact(line[8]), exact(line[9])
            inside = [z for z in ZEROS if lower <= z <= upper]
            if float(upper) != math.nextafter(float(lower), math.inf) or len(inside) != 1 or f(lower) * f(upper) >= 0:
                problems.append(f"line {n}: [{line[8]}, {line[9]}] is no narrowest enclosure of one zero")
            elif abs(inside[0] - root) > eps:
                problems.append(f"line {n}: root, yet {mp.nstr(inside[0], 20)} lies farther than EPS")
            # The least double at or above the distance.
            elif not mpf(float(line[11])) >= abs(inside[0] - root) > mpf(math.nextafter(float(line[11]), 0)):
                problems.append(f"line {n}: distance {line[11]}, not |z - root| = {mp.nstr(abs(inside[0] - root), 20)} rounded up")
        elif line[11] != "":
            problems.append(f"line {n}: distance {line[11]!r} without a root")
        if status in ("pole", "no-root"):
            if within:
                problems.append(f"line {n}: {status}, yet {within[0]} lies within EPS")
            if status == "pole" and not left <= 0 <= right:
                problems.append(f"line {n}: pole, yet its step does not hold 0")

    expected_zeros = [z for z in ZEROS if min(exact(a), exact(b)) <= z <= max(exact(a), exact(b))]
    if len(zrows) != len(expected_zeros) or zero_lines is not None and [row[3] for row in zrows] != zero_lines:
        problems.append(f"--all-roots {zrows}, expected lines {zero_lines}")
    for row, z in zip(zrows, expected_zeros):
        lower, upper = exact(row[0]), exact(row[1])
        narrow = upper - lower < eps or float(upper) == math.nextafter(float(lower), math.inf)
        if row[2] != "root" or not lower <= z <= upper or not narrow:
            problems.append(f"--all-roots: {row} does not enclose {mp.nstr(z, 20)} narrower than EPS or the doubles allow")
        if row[3] != " ".join(near.get(z, [])):
            problems.append(f"--all-roots: lines {row[3]!r} for {mp.nstr(z, 20)}, within EPS: {near.get(z, [])}")
    return problems


def main():
    failures = 0
    for arguments, verdicts, zero_lines in CASES:
        for problem in check(sys.argv[1], arguments, verdicts, zero_lines):
            print(f"FAILED {arguments}: {problem}")
            failures += 1
    print(f"{len(CASES)} runs against {len(ZEROS)} zeros at {mp.dps} digits, {failures} failure(s)")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
