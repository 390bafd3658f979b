#!/usr/bin/env python3
"""The speed anchor: the run rootfinder-cli makes, written as a NumPy user would write it.

    python3 bench/numpy_anchor.py A B H EPS

f(x) = e^x / x^3 - sin(x)^3 - 2 is evaluated with NumPy's ufuncs over the same abscissae as the
tool's, in blocks that stay in the cache, in two passes as the tool makes them:
  - the plot: x = a - h, a, a + h, ... while x < b + h;
  - the scan: x = a, a + h, ... while x <= b, each step [x, x + h]; x + h is the next abscissa
    of the same accumulation, so each is evaluated once.
Abscissae accumulate by repeated addition (np.cumsum adds in order: the doubles of x += h).
Steps whose ends have opposite signs are refined by the secant method on the C library's scalar
functions, and the roots are printed numbered with six decimals. It measures what such a run
costs in NumPy; it is no second implementation of the report (it checks no input and caps the
secant at a fixed number of steps).
"""
import math
import sys

import numpy as np

BLOCK = 1 << 16  # abscissae per block: a block and its temporaries stay in the L2 cache


def f_block(x):
    with np.errstate(all="ignore"):
        # Powers as products: np.power takes a slow path for a negative base.
        sine = np.sin(x)
        value = np.exp(x)
        value /= x * x * x
        value -= sine * sine * sine
        value -= 2.0
        return value


def f_scalar(x):
    try:
        return math.exp(x) / x**3 - math.sin(x) ** 3 - 2.0
    except (OverflowError, ZeroDivisionError):
        return float(f_block(np.array([x]))[0])


def secant(x0, x1, eps, max_steps=1000):
    f0, f1 = f_scalar(x0), f_scalar(x1)
    for _ in range(max_steps):
        if f1 == f0:
            break
        x2 = x1 - (x1 - x0) * f1 / (f1 - f0)
        if abs(x1 - x2) <= eps:
            return x2
        x0, f0, x1, f1 = x1, f1, x2, f_scalar(x2)
    return x1


def blocks(start, h, keep):
    """(x, f(x)) block by block for x = start, start + h, ... while keep(x)."""
    while True:
        steps = np.full(BLOCK, h)
        steps[0] = start
        x = np.cumsum(steps)
        if keep(x[-1]):
            yield x, f_block(x)
            start = float(x[-1]) + h
            continue
        inside = x[keep(x)]  # the last block
        if inside.size:
            yield inside, f_block(inside)
        return


def main(a, b, h, eps):
    plot_bound = b + h
    plotted = sum(x.size for x, _ in blocks(a - h, h, lambda x: x < plot_bound))
    roots = []
    last = None  # the previous block's last abscissa and value: the left end of a step across blocks
    for x, y in blocks(a, h, lambda x: x <= plot_bound):
        if last is not None:
            x, y = np.concatenate(([last[0]], x)), np.concatenate(([last[1]], y))
        steps = np.nonzero((x[:-1] <= b) & (y[:-1] * y[1:] < 0))[0]
        roots += [secant(float(x[i]), float(x[i + 1]), eps) for i in steps]
        last = (x[-1], y[-1])
    print(f"plot points: {plotted}, roots found: {len(roots)}")
    for number, root in enumerate(roots, 1):
        print(f"{number}: {root:.6f}")


if __name__ == "__main__":
    if len(sys.argv) != 5:
        sys.exit(__doc__.split("\n\n")[1])
    main(*map(float, sys.argv[1:5]))
