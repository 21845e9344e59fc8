// Legends: round breaks, the library's labels, and classes of other values
// under a result's breaks.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { load } from '../index.js';
import { exampleColumns, nativeClassify, noTool } from './helpers.js';
import { lognormal } from './random.js';

const m = await load();
const column = (file, name) => exampleColumns(file).find((c) => c.name === name).values;
const income = column('us_states_1977.csv', 'Income');
const SAMPLES = {
  income,
  ozone: column('new_york_air_quality_1973.csv', 'Ozone'),
  area: column('us_states_1977.csv', 'Area'),
  lognormal: Float64Array.from(lognormal(2000, 7), (v) => v * 1e-3),
};
const OPTIONS = [
  { method: 'equal', k: 5 }, { method: 'quantile', k: 4 }, { method: 'natural', k: 5 },
  { method: 'stddev', steps: 2, times: 0.5 }, { method: 'pretty', k: 4 }, { method: 'headtail' },
  { method: 'box' }, { method: 'maxbreaks', k: 6 }, { method: 'geometric', k: 4 },
  { method: 'percentile', percentiles: [0, 10, 50, 90, 100] },
];

test('findClasses gives back the classes of the values classified, before and after rounding', () => {
  for (const [name, values] of Object.entries(SAMPLES)) {
    for (const options of OPTIONS) {
      const what = `${name} ${options.method}`;
      const exact = m.classify(values, options);
      assert.deepEqual(exact.findClasses(values), exact.classOf, what);
      const round = m.classify(values, { ...options, round: true });
      assert.deepEqual(round.classOf, exact.classOf, what);
      assert.deepEqual(round.counts, exact.counts, what);
      assert.deepEqual(round.findClasses(values), exact.classOf, what);
      assert.equal(round.labels.length, exact.counts.length, what);
    }
  }
  assert.equal(m.memoryInUse(), 0);
});

test('labels, round breaks and other values on the incomes of 1974', () => {
  const exact = m.classify(income, { method: 'natural', k: 4 });
  assert.deepEqual(exact.labels, ['3098 - 4090', '4091 - 4750', '4751 - 6314', '6315']);
  assert.deepEqual(m.classify(income, { method: 'natural', k: 4, thousands: true, intervalLabels: true }).labels,
    ['[3,098, 4,090]', '[4,091, 4,750]', '[4,751, 6,314]', '6,315']);
  const round = m.classify(income, { method: 'natural', k: 4, round: true });
  assert.deepEqual([...round.counts], [14, 20, 15, 1]);
  assert.deepEqual([...round.breaks.subarray(1, 3)], [4090, 4750]);
  assert.deepEqual([...round.findClasses([2999, 3000, null, undefined, NaN, 4090, 6315, 6316])],
    [-1, 0, -1, -1, -1, 1, 3, -1]);
  const std = m.classify(income, { method: 'stddev', steps: 1, times: 1 });
  assert.match(std.labels[0], /or less$/);
  assert.deepEqual([...std.findClasses(new Float64Array([-1e300, 1e300]))], [0, 3]);
  assert.throws(() => round.findClasses(['1']), TypeError);
  assert.throws(() => m.classify(income, { method: 'natural', k: 4, round: 'yes' }), TypeError);
  assert.ok(!Object.keys(round).includes('findClasses'));
  assert.equal(m.memoryInUse(), 0);
});

test('round breaks and labels are the tool\'s', { skip: noTool }, () => {
  for (const [name, values] of Object.entries(SAMPLES)) {
    for (const options of OPTIONS) {
      for (const round of [false, true]) {
        const what = `${name} ${options.method} round ${round}`;
        const expected = nativeClassify(values, { ...options, round });
        const actual = m.classify(values, { ...options, round, intervalLabels: true });
        assert.deepEqual(actual.breaks, expected.breaks, what);
        assert.deepEqual(actual.labels, expected.labels, what);
      }
    }
  }
});
