// The demo: a column of a CSV or GeoJSON file classified by the library and
// drawn as a histogram with the class breaks and a legend, and for GeoJSON as
// a map of the features in the colours of their classes; redrawn whenever a
// control changes.
import { load } from '../index.js';
import { numericColumns } from './csv.js';
import { fitProjection, geoColumns, pathData } from './map.js';

const $ = (id) => document.getElementById(id);
const SVG = 'http://www.w3.org/2000/svg';
// Breaks at or beyond this are the open ends of the standard-deviation classes.
const HUGE = 1e307;

// The inputs of each method, and how each input starts.
const METHOD_INPUTS = {
  equal: ['k'], quantile: ['k'], natural: ['k'], pretty: ['k'], maxbreaks: ['k'], geometric: ['k'],
  count: ['start', 'k', 'end'],
  step: ['start', 'step', 'end'],
  stddev: ['steps', 'times'],
  'stddev-window': ['steps', 'times', 'min', 'max'],
  headtail: ['headShare'],
  box: ['hinge'],
  breaks: ['breaks'],
  percentile: ['percentiles'],
};
const INPUTS = {
  k: { label: 'classes', initial: () => 5, min: 1 },
  start: { label: 'start', initial: (c) => c.min, data: true },
  step: { label: 'step', initial: (c) => niceStep((c.max - c.min) / 5), data: true },
  end: { label: 'end (blank: maximum)' },
  steps: { label: 'steps', initial: () => 1, min: 0 },
  times: { label: 'sd per step', initial: () => 1 },
  min: { label: 'min (blank: minimum)' },
  max: { label: 'max (blank: maximum)' },
  headShare: { label: 'head share', initial: () => 0.4 },
  hinge: { label: 'hinge', initial: () => 1.5 },
  breaks: { label: 'breaks', list: true, data: true,
    initial: (c) => [0, 1, 2, 3, 4].map((i) => c.min + ((c.max - c.min) * i) / 4).join(', ') },
  percentiles: { label: 'percentiles', list: true, initial: () => '0, 20, 40, 60, 80, 100' },
};

let mensora;
let columns = [];
let column;
let geo; // {features, label} of a GeoJSON file
const texts = {}; // the text of every option input, kept across methods

function niceStep(raw) {
  if (!(raw > 0) || !Number.isFinite(raw)) return 1;
  const power = 10 ** Math.floor(Math.log10(raw));
  const unit = [1, 2, 5, 10].find((u) => u * power >= raw);
  return unit * power;
}

function formatNumber(v) {
  if (v >= HUGE) return '∞';
  if (v <= -HUGE) return '−∞';
  return String(Number(v.toPrecision(5)));
}

function setStatus(text, error = false) {
  $('status').textContent = text;
  $('status').className = error ? 'error' : '';
}

function element(name, attributes = {}, parent = undefined, text = undefined) {
  const node = document.createElementNS(SVG, name);
  for (const [key, value] of Object.entries(attributes)) node.setAttribute(key, value);
  if (text !== undefined) node.textContent = text;
  parent?.appendChild(node);
  return node;
}

// A light-to-dark sequence (yellow, green, blue), interpolated for k classes.
const RAMP = [[255, 255, 204], [161, 218, 180], [65, 182, 196], [44, 127, 184], [37, 52, 148]];

function classColor(s, k) {
  const t = (k === 1 ? 0.5 : s / (k - 1)) * (RAMP.length - 1);
  const i = Math.min(Math.floor(t), RAMP.length - 2);
  const mix = RAMP[i].map((c, j) => Math.round(c + (RAMP[i + 1][j] - c) * (t - i)));
  return `rgb(${mix.join(', ')})`;
}

function renderOptions() {
  const box = $('options');
  box.replaceChildren();
  for (const name of METHOD_INPUTS[$('method').value] ?? []) {
    const field = INPUTS[name];
    const label = document.createElement('label');
    label.textContent = field.label;
    const input = document.createElement('input');
    input.id = `option-${name}`;
    input.type = field.list ? 'text' : 'number';
    if (field.list) input.className = 'list';
    if (field.min !== undefined) input.min = field.min;
    if (!field.list) input.step = 'any';
    input.value = texts[name] ?? '';
    input.addEventListener('input', () => {
      texts[name] = input.value;
      update();
    });
    label.appendChild(input);
    box.appendChild(label);
  }
}

// The method's options from the inputs; a blank input is left out.
function readOptions() {
  const options = { method: $('method').value, round: $('round').checked,
    intervalLabels: $('interval').checked };
  for (const name of METHOD_INPUTS[options.method] ?? []) {
    const text = (texts[name] ?? '').trim();
    if (text === '') continue;
    options[name] = INPUTS[name].list
      ? text.split(/[\s,;]+/).filter(Boolean).map(Number)
      : Number(text);
  }
  return options;
}

function resetDataInputs() {
  for (const [name, field] of Object.entries(INPUTS)) {
    if (field.initial && (field.data || texts[name] === undefined)) {
      texts[name] = String(field.initial(column));
    }
  }
  renderOptions();
}

function chooseColumn() {
  column = columns[Number($('column').value)];
  let min = Infinity;
  let max = -Infinity;
  for (const v of column.values) {
    if (v < min) min = v;
    if (v > max) max = v;
  }
  column.min = min;
  column.max = max;
  resetDataInputs();
  update();
}

function update() {
  if (!column) return;
  const options = readOptions();
  let result;
  try {
    result = mensora.classify(column.values, options);
  } catch (error) {
    setStatus(error.message, true);
    $('chart').replaceChildren();
    $('map').replaceChildren();
    return;
  }
  const n = column.values.length;
  const missing = column.missing ? `, ${column.missing} missing skipped` : '';
  setStatus(`${column.name}: ${n} values${missing}; ${options.method}, ${result.counts.length} classes`);
  draw(column.values, result);
}

function draw(values, { breaks, counts, classOf, fit, labels }) {
  const k = counts.length;
  const width = 760, height = 380, left = 56, right = 24, top = 16, bottom = 44;
  const plotWidth = width - left - right, plotHeight = height - top - bottom;
  const legendWidth = 250;
  // The axis spans the data and the round breaks just beyond them.
  const near = breaks.filter((b) => Math.abs(b) < HUGE && b >= column.min - (column.max - column.min)
    && b <= column.max + (column.max - column.min));
  let lo = Math.min(column.min, ...near), hi = Math.max(column.max, ...near);
  if (!(hi > lo)) {
    lo -= 0.5;
    hi += 0.5;
  }
  const bins = Math.min(40, Math.max(8, Math.ceil(2 * Math.sqrt(values.length))));
  const binWidth = (hi - lo) / bins;
  // stack[b][c + 1]: the values of bin b in class c (c = -1: no class).
  const stack = Array.from({ length: bins }, () => new Int32Array(k + 1));
  values.forEach((v, i) => {
    if (!Number.isFinite(v)) return;
    const b = Math.min(bins - 1, Math.floor((v - lo) / binWidth));
    ++stack[b][classOf[i] + 1];
  });
  const tallest = Math.max(1, ...stack.map((bin) => bin.reduce((a, c) => a + c, 0)));
  const x = (v) => left + ((v - lo) / (hi - lo)) * plotWidth;
  const y = (c) => top + plotHeight - (c / (1.08 * tallest)) * plotHeight;

  const svg = element('svg', { width: width + legendWidth, height, viewBox: `0 0 ${width + legendWidth} ${height}`,
    role: 'img', 'aria-label': 'histogram with class breaks' });
  const bars = element('g', { class: 'bars' }, svg);
  stack.forEach((bin, b) => {
    let base = 0;
    for (let c = -1; c < k; ++c) {
      const count = bin[c + 1];
      if (count === 0) continue;
      element('rect', { x: x(lo + b * binWidth) + 0.5, width: Math.max(1, plotWidth / bins - 1),
        y: y(base + count), height: y(base) - y(base + count),
        fill: c < 0 ? '#bbb' : classColor(c, k), stroke: 'rgba(0, 0, 0, 0.3)' }, bars);
      base += count;
    }
  });

  const axes = element('g', { class: 'axis' }, svg);
  element('line', { x1: left, x2: left + plotWidth, y1: top + plotHeight, y2: top + plotHeight }, axes);
  element('line', { x1: left, x2: left, y1: top, y2: top + plotHeight }, axes);
  const xStep = niceStep((hi - lo) / 6);
  for (let t = Math.ceil(lo / xStep) * xStep; t <= hi + xStep * 1e-9; t += xStep) {
    element('line', { x1: x(t), x2: x(t), y1: top + plotHeight, y2: top + plotHeight + 5 }, axes);
    element('text', { x: x(t), y: top + plotHeight + 18, 'text-anchor': 'middle' }, axes, formatNumber(t));
  }
  const yStep = Math.max(1, niceStep(tallest / 5));
  for (let t = 0; t <= tallest; t += yStep) {
    element('line', { x1: left - 5, x2: left, y1: y(t), y2: y(t) }, axes);
    element('text', { x: left - 8, y: y(t) + 4, 'text-anchor': 'end' }, axes, String(t));
  }
  element('text', { x: left + plotWidth / 2, y: height - 6, 'text-anchor': 'middle' }, axes, column.name);

  const lines = element('g', { class: 'breaks' }, svg);
  for (const b of breaks) {
    if (b >= lo && b <= hi) element('line', { class: 'break', x1: x(b), x2: x(b), y1: top, y2: top + plotHeight }, lines);
  }

  const legend = element('g', { id: 'legend', transform: `translate(${width + 8}, ${top})` }, svg);
  element('text', { x: 20, y: 10, 'font-weight': 'bold' }, legend, 'class');
  element('text', { x: 230, y: 10, 'font-weight': 'bold', 'text-anchor': 'end' }, legend, 'count');
  for (let s = 0; s < k; ++s) {
    const row = element('g', { class: 'class', 'data-class': s, 'data-count': counts[s],
      transform: `translate(0, ${22 + 20 * s})` }, legend);
    element('rect', { width: 14, height: 14, fill: classColor(s, k), stroke: '#666' }, row);
    element('text', { x: 20, y: 11 }, row, labels[s]);
    element('text', { x: 230, y: 11, 'text-anchor': 'end' }, row, String(counts[s]));
  }
  const none = classOf.reduce((a, c) => a + (c < 0 ? 1 : 0), 0);
  let rows = k;
  if (none > 0) {
    const row = element('g', { class: 'none', 'data-count': none, transform: `translate(0, ${22 + 20 * rows++})` }, legend);
    element('rect', { width: 14, height: 14, fill: '#bbb', stroke: '#666' }, row);
    element('text', { x: 20, y: 11 }, row, 'in no class');
    element('text', { x: 230, y: 11, 'text-anchor': 'end' }, row, String(none));
  }
  if (column.missing > 0) {
    const row = element('g', { class: 'missing', 'data-count': column.missing, transform: `translate(0, ${22 + 20 * rows++})` }, legend);
    element('rect', { width: 14, height: 14, fill: '#bbb', stroke: '#666', 'stroke-dasharray': '2 2' }, row);
    element('text', { x: 20, y: 11 }, row, 'missing');
    element('text', { x: 230, y: 11, 'text-anchor': 'end' }, row, String(column.missing));
  }
  const gvf = element('text', { id: 'gvf', 'data-gvf': fit.gvf, x: 20, y: 22 + 20 * rows + 14 }, legend,
    'goodness of variance fit');
  element('tspan', { x: 230, 'text-anchor': 'end' }, gvf, Number.isNaN(fit.gvf) ? '–' : fit.gvf.toFixed(3));
  $('chart').replaceChildren(svg);
  drawMap(classOf, k);
}

// The features of a GeoJSON file in the colours of their classes; those
// without a value (or in no class) grey.
function drawMap(classOf, k) {
  if (!geo) {
    $('map').replaceChildren();
    return;
  }
  const width = 760;
  const projection = fitProjection(geo.features, width);
  const svg = element('svg', { width, height: projection.height, viewBox: `0 0 ${width} ${projection.height}`,
    role: 'img', 'aria-label': `map of ${column.name} by class` });
  const classes = new Int32Array(geo.features.length).fill(-1);
  column.rows.forEach((feature, i) => { classes[feature] = classOf[i]; });
  geo.features.forEach((feature, i) => {
    const c = classes[i];
    const path = element('path', { class: 'feature', 'data-class': c, d: pathData(feature, projection),
      fill: c < 0 ? '#bbb' : classColor(c, k) }, svg);
    const name = geo.label ? `${feature.properties[geo.label]}: ` : '';
    const value = feature.properties[column.name];
    element('title', {}, path, `${name}${value ?? 'no value'}`);
  });
  $('map').replaceChildren(svg);
}

async function readFile() {
  const file = $('file').files[0];
  if (!file) return;
  const text = await file.text();
  geo = geoColumns(text) ?? undefined;
  columns = geo ? geo.columns : numericColumns(text);
  const select = $('column');
  select.replaceChildren(...columns.map((c, i) => new Option(c.name, i)));
  select.disabled = columns.length === 0;
  if (columns.length === 0) {
    column = undefined;
    setStatus(`${file.name}: no column of numbers`, true);
    $('chart').replaceChildren();
    $('map').replaceChildren();
    return;
  }
  chooseColumn();
}

async function main() {
  try {
    mensora = await load();
  } catch (error) {
    setStatus(`The library did not load: ${error.message}`, true);
    return;
  }
  $('method').replaceChildren(...mensora.methods.map((name) => new Option(name, name)));
  $('method').value = 'natural';
  $('file').addEventListener('change', readFile);
  $('column').addEventListener('change', chooseColumn);
  $('round').addEventListener('change', update);
  $('interval').addEventListener('change', update);
  $('method').addEventListener('change', () => {
    renderOptions();
    update();
  });
  $('footer').textContent += ` Mensora ${mensora.version}, WebAssembly.`;
  setStatus('Pick a CSV or GeoJSON file.');
  document.body.dataset.ready = 'true';
}

main();
