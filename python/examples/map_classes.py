"""A choropleth of the bundled North Carolina counties: sudden infant deaths
per 1000 live births, 1979-84, in five natural-breaks classes with round
breaks, and a legend with the labels and counts. Needs geopandas and
matplotlib (Debian: python3-geopandas, python3-matplotlib).

    python3 python/examples/map_classes.py [OUTPUT.png]
"""
import sys
from pathlib import Path

import matplotlib

matplotlib.use("Agg")
import geopandas  # noqa: E402
import matplotlib.pyplot as plt  # noqa: E402

import mensora  # noqa: E402

DATA = Path(__file__).resolve().parents[2] / "examples" / "north_carolina_counties.geojson"


def main():
    output = sys.argv[1] if len(sys.argv) > 1 else "nc-sids-classes.png"
    counties = geopandas.read_file(DATA)
    rate = 1000 * counties["SID79"] / counties["BIR79"]
    classes = mensora.classify(rate, "natural_breaks", k=5, round=True)
    print(classes)
    fig, ax = plt.subplots(figsize=(10, 4.6))
    classes.plot(counties, ax=ax, cmap="YlOrRd",
                 legend_kwds={"title": "deaths per 1000 births", "loc": "lower left"})
    ax.set_title("North Carolina, sudden infant deaths 1979-84: natural breaks, 5 classes")
    fig.tight_layout()
    fig.savefig(output, dpi=110)
    print(f"wrote {output}")


if __name__ == "__main__":
    main()
