"""A choropleth of a classification with matplotlib and geopandas, both
imported only here and only when a map is drawn."""
import numpy as np

MISSING_COLOUR = "#bdbdbd"


def class_colours(cmap, k):
    """k colours from light to dark along a matplotlib colour map (a name or a
    Colormap), its palest end left out so that class 0 stands apart from the
    background."""
    import matplotlib

    ramp = matplotlib.colormaps[cmap] if isinstance(cmap, str) else cmap
    return ramp(np.linspace(0.15, 1.0, k) if k > 1 else [0.6])


def choropleth(classes, geodataframe, ax=None, cmap="YlGnBu", legend=True, title=None,
               missing_colour=MISSING_COLOUR, edgecolor="white", linewidth=0.5,
               legend_kwds=None, **kwargs):
    """Draws the rows of `geodataframe` in the colours of their classes; see
    Classification.plot."""
    try:
        import matplotlib.pyplot as plt
        from matplotlib.patches import Patch
    except ImportError:
        raise ImportError("Classification.plot needs matplotlib "
                          "(Debian: python3-matplotlib)") from None
    if not hasattr(geodataframe, "geometry") or not hasattr(geodataframe, "plot"):
        raise TypeError("Classification.plot needs a geopandas GeoDataFrame "
                        f"(Debian: python3-geopandas), not {type(geodataframe).__name__}")
    yb = np.asarray(classes.yb)
    if len(geodataframe) != len(yb):
        raise ValueError(f"the GeoDataFrame has {len(geodataframe)} rows for {len(yb)} "
                         "classified values; give the rows the values came from, in their order")
    colours = class_colours(cmap, classes.k)
    faces = np.empty((len(yb), 4))
    faces[:] = _rgba(missing_colour)
    inside = yb >= 0
    faces[inside] = colours[yb[inside]]
    if ax is None:
        _, ax = plt.subplots(figsize=(10, 5))
    geodataframe.plot(ax=ax, color=faces, edgecolor=edgecolor, linewidth=linewidth, **kwargs)
    ax.set_axis_off()
    if title is not None:
        ax.set_title(title)
    if legend:
        handles = [Patch(facecolor=colours[s], edgecolor="0.5", label=f"{text}  ({count})")
                   for s, (text, count) in enumerate(zip(classes.labels(), classes.counts))]
        handles += [Patch(facecolor=missing_colour, edgecolor="0.5", label=f"{text}  ({count})")
                    for text, count in _unclassified(classes, yb)]
        options = {"loc": "lower left", "frameon": False, "fontsize": "small"}
        options.update(legend_kwds or {})
        ax.legend(handles=handles, **options)
    return ax


def _rgba(colour):
    from matplotlib.colors import to_rgba

    return to_rgba(colour)


def _unclassified(classes, yb):
    """The grey legend entry, (text, count), for the values in no class, or
    none: "missing" when they are all missing values (NaN), "in no class"
    when none is, otherwise both counts."""
    outside = int(np.count_nonzero(yb < 0))
    missing = getattr(classes, "n_missing", None)
    if outside == 0:
        return []
    if missing is None:
        return [("missing or in no class", outside)]
    if missing == outside or missing == 0:
        return [("missing" if missing else "in no class", outside)]
    return [(f"missing ({missing}), in no class", outside - missing)]
