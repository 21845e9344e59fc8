// GeoJSON for the demo: the numeric properties of the features as columns,
// and the features drawn as an SVG map in an equirectangular projection
// scaled for the latitude of the map's middle (fine for a region the size of
// a country). No tiles, nothing fetched.

// The columns of a FeatureCollection whose properties are numbers or null
// (missing), in the order of the first feature's properties: {name, values
// (Float64Array, missing left out), missing, rows (the feature of every
// value)}. null when the text is not a FeatureCollection with polygons.
export function geoColumns(text) {
  let data;
  try {
    data = JSON.parse(text);
  } catch {
    return null;
  }
  if (data?.type !== 'FeatureCollection' || !Array.isArray(data.features)) return null;
  const features = data.features.filter((f) => ['Polygon', 'MultiPolygon'].includes(f?.geometry?.type));
  if (features.length === 0) return null;
  const names = [...new Set(features.flatMap((f) => Object.keys(f.properties ?? {})))];
  const columns = [];
  for (const name of names) {
    const cells = features.map((f) => f.properties?.[name] ?? null);
    if (!cells.every((v) => v === null || typeof v === 'number') || cells.every((v) => v === null)) continue;
    const rows = [];
    cells.forEach((v, i) => v !== null && rows.push(i));
    columns.push({ name, values: Float64Array.from(rows, (i) => cells[i]), missing: cells.length - rows.length, rows });
  }
  const label = names.find((name) => features.every((f) => typeof f.properties?.[name] === 'string'));
  return { features, columns, label };
}

// The rings of a feature's polygons.
function rings(feature) {
  const { type, coordinates } = feature.geometry;
  return type === 'Polygon' ? coordinates : coordinates.flat();
}

// A projection of longitude and latitude onto a box of the given width:
// {height, point([lon, lat]) -> [x, y]}.
export function fitProjection(features, width, pad = 4) {
  let west = Infinity, east = -Infinity, south = Infinity, north = -Infinity;
  for (const feature of features) {
    for (const ring of rings(feature)) {
      for (const [lon, lat] of ring) {
        west = Math.min(west, lon); east = Math.max(east, lon);
        south = Math.min(south, lat); north = Math.max(north, lat);
      }
    }
  }
  const stretch = Math.cos((((south + north) / 2) * Math.PI) / 180);
  const scale = (width - 2 * pad) / Math.max((east - west) * stretch, 1e-9);
  return {
    height: Math.ceil((north - south) * scale + 2 * pad),
    point: ([lon, lat]) => [pad + (lon - west) * stretch * scale, pad + (north - lat) * scale],
  };
}

// The SVG path data of a feature.
export function pathData(feature, projection) {
  return rings(feature).map((ring) => `M${ring.map((p) => projection.point(p).map((c) => c.toFixed(1)).join(',')).join('L')}Z`).join('');
}
