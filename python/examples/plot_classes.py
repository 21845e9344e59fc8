"""Classes of the bundled per-capita incomes of 1974 as a picture: a histogram
with one colour per natural-breaks class and the breaks as dashed lines.

    python3 python/examples/plot_classes.py [OUTPUT.png]
"""
import csv
import sys
from pathlib import Path

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402

import mensora  # noqa: E402

DATA = Path(__file__).resolve().parents[2] / "examples" / "us_states_1977.csv"


def main():
    output = sys.argv[1] if len(sys.argv) > 1 else "income-classes.png"
    with open(DATA, newline="") as f:
        income = np.array([float(row["Income"]) for row in csv.DictReader(f)])
    classes = mensora.classify(income, "natural_breaks", k=4, round=True)
    colours = plt.get_cmap("YlOrRd")(np.linspace(0.3, 1.0, classes.k))
    # Histogram bins that never straddle a break, so every bar has one class.
    bins = np.union1d(np.linspace(income.min(), income.max(), 33), classes.breaks)
    fig, ax = plt.subplots(figsize=(8, 4.5))
    stacks = [income[classes.yb == s] for s in range(classes.k)]
    labels = [f"{label}  ({n} state{'s' if n != 1 else ''})"
              for label, n in zip(classes.labels(), classes.counts)]
    ax.hist(stacks, bins=bins, stacked=True, color=colours, label=labels)
    for b in classes.breaks:
        ax.axvline(b, color="0.3", linestyle="--", linewidth=0.8)
    ax.set_xlabel("per-capita income 1974 (dollars)")
    ax.set_ylabel("states")
    ax.set_title("US states by income: natural breaks, 4 classes")
    ax.legend()
    fig.tight_layout()
    fig.savefig(output, dpi=120)
    print(f"wrote {output}")


if __name__ == "__main__":
    main()
