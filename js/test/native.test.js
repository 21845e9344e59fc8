// The package gives the native library's results, bit for bit: the mensora
// tool of the native build is the reference.
import assert from 'node:assert/strict';
import { describe, test } from 'node:test';

import { load } from '../index.js';
import { awkwardSample, exampleColumns, nativeClassify, nativeSummary, noTool } from './helpers.js';
import { lognormal } from './random.js';

const m = await load();

// Bitwise equality of two lists of numbers (NaN equals NaN, -0 differs from 0).
function assertSame(actual, expected, what) {
  assert.equal(actual.length, expected.length, `${what}: length`);
  for (let i = 0; i < expected.length; ++i) {
    if (!Object.is(actual[i], expected[i])) {
      assert.fail(`${what}[${i}]: ${actual[i]} from WebAssembly, ${expected[i]} native`);
    }
  }
}

function assertClassify(values, options, what) {
  const expected = nativeClassify(values, options);
  if (expected === null) {
    assert.throws(() => m.classify(values, options), RangeError, `${what} is refused`);
    return null;
  }
  const actual = m.classify(values, options);
  assert.ok(actual.breaks instanceof Float64Array && actual.classOf instanceof Int32Array);
  for (const key of ['breaks', 'counts', 'classOf']) assertSame(actual[key], expected[key], `${what} ${key}`);
  for (const key of ['sdam', 'sdcm', 'gvf', 'adcm', 'tai']) {
    assertSame([actual.fit[key]], [expected.fit[key]], `${what} fit.${key}`);
  }
  return actual;
}

// Options for every method with a class count over a sample with these
// extremes; the limits are the data's own without `end`.
function methodOptions(min, max, k, end = undefined) {
  const width = (max - min) / k;
  const limit = end === undefined ? {} : { end };
  const steps = Array.from({ length: k + 1 }, (_, i) => i / k);
  return [
    { method: 'equal', k },
    { method: 'quantile', k },
    { method: 'natural', k },
    { method: 'pretty', k },
    { method: 'maxbreaks', k },
    // Refused for a minimum of 0 or less.
    { method: 'geometric', k },
    // Breaks closer together at the low end; percentiles that leave both tails out.
    { method: 'breaks', breaks: steps.map((t) => min + (max - min) * t * t) },
    { method: 'percentile', percentiles: steps.map((t) => 5 + 90 * t) },
    { method: 'count', start: min, k, ...limit },
    // k - 1 classes; none for k = 1, which the library refuses.
    { method: 'step', start: min + width / 2, step: width, ...limit },
    { method: 'stddev', steps: k >> 1, times: 1 },
    { method: 'stddev-window', steps: 2, times: 0.5, min: min + width, max: max - width },
  ];
}

// Options of the methods without a class count.
const UNCOUNTED = [
  { method: 'natural', k: 'auto' },
  { method: 'natural', k: 'auto', gvf: 0.97, maxClasses: 6 },
  { method: 'headtail' },
  { method: 'headtail', headShare: 0.6 },
  { method: 'box' },
  { method: 'box', hinge: 0.5 },
];

describe('same results as the native library', { skip: noTool }, () => {
  for (const file of ['us_states_1977.csv', 'new_york_air_quality_1973.csv']) {
    test(`every column and method of ${file}`, () => {
      for (const { name, values } of exampleColumns(file)) {
        const min = Math.min(...values);
        const max = Math.max(...values);
        for (const k of [1, 4, 7]) {
          for (const options of [...methodOptions(min, max, k), ...(k === 1 ? UNCOUNTED : [])]) {
            assertClassify(values, options, `${name} ${JSON.stringify(options)}`);
          }
        }
        const summary = m.summary(values);
        const expected = nativeSummary(values);
        for (const key of Object.keys(expected)) assertSame([summary[key]], [expected[key]], `${name} ${key}`);
      }
    });
  }

  test('random samples with ties, signed zeros, NaN and infinities', () => {
    for (let seed = 1; seed <= 12; ++seed) {
      const values = awkwardSample(20 + 37 * seed, seed);
      for (const k of [2, 5, 9]) {
        for (const method of ['equal', 'quantile', 'natural', 'pretty', 'maxbreaks']) {
          assertClassify(values, { method, k }, `seed ${seed} ${method} ${k}`);
        }
      }
      for (const options of [...methodOptions(-5, 20, 4, 20).slice(5), ...UNCOUNTED]) {
        assertClassify(values, options, `seed ${seed} ${JSON.stringify(options)}`);
      }
      const summary = m.summary(values);
      const expected = nativeSummary(values);
      for (const key of Object.keys(expected)) assertSame([summary[key]], [expected[key]], `seed ${seed} ${key}`);
    }
  });

  test('natural breaks of 10^5 lognormal values, through each entry point', () => {
    const values = lognormal(100000, 7);
    const classes = assertClassify(values, { method: 'natural', k: 7 }, 'lognormal');
    assert.ok(assertClassify(values, { method: 'headtail' }, 'lognormal head/tail').counts.length > 3);
    assertSame(m.naturalBreaks(values, 7), classes.breaks, 'naturalBreaks');
    assertSame(m.naturalBreaks(Array.from(values), 7), classes.breaks, 'naturalBreaks of an array');
    assertSame(m.quantileBreaks(values, 7), nativeClassify(values, { method: 'quantile', k: 7 }).breaks, 'quantileBreaks');
    assertSame(m.equalIntervalBreaks(values, 7), nativeClassify(values, { method: 'equal', k: 7 }).breaks,
      'equalIntervalBreaks');
  });
});

test('plain arrays, Float64Array and other typed arrays give the same classes', () => {
  const ints = Int32Array.from({ length: 300 }, (_, i) => (i * 7919) % 101);
  const expected = m.classify(Float64Array.from(ints), { method: 'natural', k: 5 });
  for (const values of [ints, Array.from(ints), Float32Array.from(ints)]) {
    assert.deepEqual(m.classify(values, { method: 'natural', k: 5 }), expected);
  }
});

test('NaN, null and undefined are missing: left out, in no class, counted', () => {
  const { breaks, counts, classOf, missing } = m.classify([3, NaN, 1, null, 2, 10, 11, undefined],
    { method: 'natural', k: 2 });
  assert.deepEqual([...breaks], [1, 10, 11]);
  assert.deepEqual([...counts], [3, 2]);
  assert.deepEqual([...classOf], [0, -1, 0, -1, 0, 1, 1, -1]);
  assert.equal(missing, 3);
});
