#!/usr/bin/env python3
"""A small reach study: which targets in a plane in front of the right
shoulder the right hand of three manikins reaches, from standing, plotted
with Matplotlib into reach-study.png (printed as text without Matplotlib).

    PYTHONPATH=build/python python3 examples/python/reach_study.py [PNG]
"""
import sys

import mkmanikin

MANIKINS = [("female", 5), ("male", 50), ("male", 95)]
X = 20.0  # cm to the side of the body's mid-plane, where the right hand works
HEIGHTS = range(-20, 101, 10)  # Y, cm, in the manikin's world frame (Y up)
DEPTHS = range(0, 91, 10)  # Z, cm, forward


def study():
    rows = []
    for sex, percentile in MANIKINS:
        man = mkmanikin.Manikin.create(sex=sex, percentile=percentile)
        for y in HEIGHTS:
            for z in DEPTHS:
                man.posture = "standing"
                result = man.reach(hand="right", position=(X, y, z))
                rows.append((sex, percentile, y, z, result.reached, result.hand_error))
    return rows


def plot(rows, path):
    import matplotlib

    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    figure, axes = plt.subplots(1, len(MANIKINS), figsize=(4 * len(MANIKINS), 4.5), sharey=True)
    for axis, (sex, percentile) in zip(axes, MANIKINS):
        mine = [r for r in rows if r[:2] == (sex, percentile)]
        for reached, style in ((True, dict(c="tab:green", marker="o")),
                               (False, dict(c="0.6", marker="x"))):
            points = [(z, y) for _, _, y, z, ok, _ in mine if ok == reached]
            if points:
                axis.scatter(*zip(*points), label="reached" if reached else "not reached",
                             **style)
        axis.set_title(f"{sex}, {percentile}th percentile")
        axis.set_xlabel("forward Z (cm)")
        axis.set_aspect("equal")
    axes[0].set_ylabel("height Y (cm)")
    axes[0].legend(loc="lower left")
    figure.suptitle(f"Right-hand reach at X = {X:g} cm, from standing")
    figure.tight_layout()
    figure.savefig(path, dpi=100)


def main(path):
    rows = study()
    for sex, percentile in MANIKINS:
        count = sum(1 for r in rows if r[:2] == (sex, percentile) and r[4])
        print(f"{sex} p{percentile}: {count} of {len(HEIGHTS) * len(DEPTHS)} targets reached")
    try:
        plot(rows, path)
        print("plotted into", path)
    except ImportError:
        for sex, percentile in MANIKINS:
            print(f"\n{sex} p{percentile} (rows: Y from high to low; columns: Z; # reached)")
            for y in reversed(HEIGHTS):
                line = "".join("#" if r[4] else "." for r in rows
                               if r[:3] == (sex, percentile, y))
                print(f"{y:5d} {line}")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "reach-study.png")
