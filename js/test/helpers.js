// What the tests share: the native mensora tool as the reference, the bundled
// data and seeded random samples.
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

import { numericColumns } from '../demo/csv.js';
import { random } from './random.js';

export const repo = resolve(fileURLToPath(import.meta.url), '../../..');

// The tool of the native build: MENSORA_TOOL, or build/ of the repository.
// When MENSORA_TOOL is set the tool must be there; otherwise the comparisons
// are skipped without it.
export const tool = process.env.MENSORA_TOOL ?? join(repo, 'build/tools/mensora');
if (process.env.MENSORA_TOOL && !existsSync(tool)) throw new Error(`MENSORA_TOOL: no file ${tool}`);
export const noTool = existsSync(tool) ? false : `no native tool at ${tool} (build it or set MENSORA_TOOL)`;

export function exampleColumns(file) {
  return numericColumns(readFileSync(join(repo, 'examples', file), 'utf8'));
}

// The tool's options for a classify() options object.
const FLAGS = { k: '--classes', start: '--start', step: '--step', end: '--end', steps: '--steps',
  times: '--times', min: '--min', max: '--max', breaks: '--breaks', percentiles: '--percentiles',
  headShare: '--head-share', hinge: '--hinge', gvf: '--gvf', maxClasses: '--max-classes' };

function decode(x) {
  return typeof x === 'string' ? Number(x) : x;
}

function repr(v) {
  if (typeof v === 'object') return Array.from(v, repr).join(',');
  return Object.is(v, -0) ? '-0' : String(v);
}

let scratch;

// The values in a scratch file for the tool, one a line, exactly.
function writeSample(values) {
  scratch ??= mkdtempSync(join(tmpdir(), 'mensora-js-'));
  const file = join(scratch, 'values.txt');
  writeFileSync(file, Array.from(values, repr).join('\n') + '\n');
  return file;
}

// The tool's exit status when the library refuses a call.
const LIBRARY_FAILURE = 7;

// The native result of classify(values, options): {breaks, counts, classOf,
// labels (in interval notation), fit}, or null when the library refuses the
// call. round: true is the tool's --round.
export function nativeClassify(values, { method, round, ...options }) {
  const file = writeSample(values);
  const args = ['classify', file, '--method', method, '--format', 'json', '--members', '--missing', 'skip'];
  for (const [key, value] of Object.entries(options)) args.push(FLAGS[key], repr(value));
  if (round) args.push('--round');
  let output;
  try {
    output = execFileSync(tool, args, { encoding: 'utf8', maxBuffer: 1 << 28, stdio: ['ignore', 'pipe', 'pipe'] });
  } catch (error) {
    if (error.status === LIBRARY_FAILURE) return null;
    throw error;
  }
  const json = JSON.parse(output);
  const classOf = new Int32Array(values.length).fill(-1);
  // The tool leaves NaN out as missing; a member's row is its line in the file.
  json.classes.forEach((c, s) => c.members.forEach((member) => { classOf[member.row - 1] = s; }));
  return {
    breaks: Float64Array.from(json.breaks, decode),
    counts: Int32Array.from(json.classes, (c) => c.count),
    classOf,
    labels: json.classes.map((c) => c.label),
    fit: Object.fromEntries(Object.entries(json.fit).map(([key, value]) => [key, decode(value)])),
  };
}

// The tool's summary under the package's names.
const MEASURES = { count: 'count', mean: 'mean', weighted_mean: 'weightedMean',
  geometric_mean: 'geometricMean', mode: 'mode', median: 'median', minimum: 'min',
  maximum: 'max', range: 'range', mean_absolute_deviation: 'meanAbsoluteDeviation',
  sum_of_squares: 'sumOfSquares', variance: 'variance', standard_deviation: 'standardDeviation',
  coefficient_of_variation: 'coefficientOfVariation', skewness: 'skewnessTestStatistic',
  kurtosis: 'kurtosisTestStatistic' };

export function nativeSummary(values) {
  const file = writeSample(values);
  const json = JSON.parse(execFileSync(tool, ['summary', file, '--format', 'json', '--missing', 'skip'],
    { encoding: 'utf8', stdio: ['ignore', 'pipe', 'pipe'] }));
  const summary = {};
  for (const [key, value] of Object.entries(json.measures)) summary[MEASURES[key]] = value === null ? NaN : decode(value);
  return summary;
}

process.on('exit', () => scratch && rmSync(scratch, { recursive: true, force: true }));

// A sample with the shapes that break classifiers: ties, signed zeros, NaN,
// infinities and values of very different size.
export function awkwardSample(n, seed) {
  const next = random(seed);
  const specials = [NaN, Infinity, -Infinity, 0, -0, 1e300, -1e-300];
  return Array.from({ length: n }, () => {
    const r = next();
    if (r < 0.04) return specials[Math.floor(next() * specials.length)];
    if (r < 0.4) return Math.round(next() * 8);
    return (next() - 0.3) * 10 ** Math.floor(next() * 6);
  });
}
