// Bad input is refused with a clear error; the module keeps working and
// keeps no memory from any call.
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { load } from '../index.js';

const m = await load();
const sample = [5, 1, 4, 1, 5, 9, 2, 6, 5, 3];
const expected = m.classify(sample, { method: 'natural', k: 3 });

// Each bad call, the error it throws and a part of its message.
const BAD_CALLS = [
  [() => m.naturalBreaks(sample, 0), RangeError, /k must be a whole number from 1/],
  [() => m.quantileBreaks(sample, -3), RangeError, /not -3/],
  [() => m.equalIntervalBreaks(sample, 2.5), RangeError, /not 2.5/],
  [() => m.naturalBreaks(sample, NaN), RangeError, /not NaN/],
  [() => m.naturalBreaks(sample, 2 ** 31), RangeError, /2\^31 - 1/],
  [() => m.naturalBreaks(sample, '5'), TypeError, /k must be a number, not "5"/],
  [() => m.naturalBreaks(sample), TypeError, /k is missing/],
  [() => m.naturalBreaks([], 3), RangeError, /values is empty/],
  [() => m.summary(new Float64Array(0)), RangeError, /values is empty/],
  [() => m.naturalBreaks([1, '2', 3], 2), TypeError, /values\[1\] is not a number but "2"/],
  [() => m.summary([1, {}]), TypeError, /values\[1\] is not a number but an object/],
  [() => m.summary([null, undefined]), RangeError, /no values: all 2 are missing/],
  [() => m.summary('123'), TypeError, /must be an array/],
  [() => m.summary(null), TypeError, /must be an array/],
  [() => m.summary(new BigInt64Array(3)), TypeError, /not BigInts/],
  [() => m.summary({ length: 2 ** 31 }), RangeError, /more than the library takes/],
  [() => m.summary({ length: -1 }), TypeError, /no valid length/],
  [() => m.classify(sample, { method: 'optimal', k: 3 }), RangeError, /unknown method "optimal" \(known: equal, step/],
  [() => m.classify(sample, { method: 'toString', k: 3 }), RangeError, /unknown method/],
  [() => m.classify(sample, { k: 3 }), TypeError, /method must be a string/],
  [() => m.classify(sample), TypeError, /options must be an object/],
  [() => m.classify(sample, { method: 'natural', k: 3, classes: 4 }), TypeError, /no option "classes".*its options: k/],
  [() => m.classify(sample, { method: 'step', start: 0 }), TypeError, /option step is missing/],
  [() => m.classify(sample, { method: 'count', start: '0', k: 2 }), TypeError, /start must be a number/],
  [() => m.classify(sample, { method: 'stddev', steps: -1, times: 1 }), RangeError, /steps must be a whole number from 0/],
  [() => m.classify(sample, { method: 'percentile', percents: [10, 90] }), TypeError, /no option "percents".*percentiles/],
  [() => m.classify(sample, { method: 'breaks' }), TypeError, /option breaks is missing/],
  [() => m.classify(sample, { method: 'breaks', breaks: 5 }), TypeError, /breaks must be an array/],
  [() => m.classify(sample, { method: 'breaks', breaks: [1, '5'] }), TypeError, /breaks\[1\] is not a number/],
  [() => m.classify(sample, { method: 'box', hinge: '1' }), TypeError, /hinge must be a number/],
  [() => m.classify(sample, { method: 'natural', k: 3, gvf: 0.9 }), TypeError, /no option "gvf".*k: 'auto' with/],
  [() => m.classify(sample, { method: 'natural', k: 'auto', breaks: [1, 2] }), TypeError, /gvf with k: 'auto'/],
  [() => m.classify(sample, { method: 'natural', k: 'auto', maxClasses: 1 }), RangeError, /maxClasses must be a whole number from 2/],
  [() => m.classify(sample, { method: 'quantile', k: 'auto' }), TypeError, /k must be a number, not "auto"/],
  // Refused by the library itself, with its reason.
  [() => m.classify(sample, { method: 'stddev', steps: 1, times: -1 }), RangeError, /\(stddev\): times must be 0 or more/],
  [() => m.classify(sample, { method: 'breaks', breaks: [5, 1] }), RangeError, /breaks: 1 is below the one before, 5/],
  [() => m.classify(sample, { method: 'breaks', breaks: [1, Infinity] }), RangeError, /inf is out of the finite numbers/],
  [() => m.classify(sample, { method: 'breaks', breaks: [1] }), RangeError, /at least 2 are needed/],
  [() => m.classify(sample, { method: 'percentile', percentiles: [50, 101] }), RangeError, /101 is out of \[0, 100\]/],
  [() => m.classify(sample, { method: 'headtail', headShare: 1 }), RangeError, /head share must lie between 0 and 1/],
  [() => m.classify(sample, { method: 'box', hinge: -1 }), RangeError, /hinge must be a finite number, 0 or more/],
  [() => m.classify(sample, { method: 'natural', k: 'auto', gvf: 1.5 }), RangeError, /least GVF must lie from 0 to 1/],
  [() => m.classify(sample, { method: 'step', start: 0, step: 0 }), RangeError, /step must be a finite number other than 0/],
  [() => m.classify([0, 1, 2], { method: 'geometric', k: 2 }), RangeError, /smallest value above 0/],
  // The limit on k, before any memory is taken.
  [() => m.classify([1, 2, 3], { method: 'natural', k: 1e8 }), RangeError, /100000000 classes for 3 values: at most 1048576/],
];

test('bad input throws a RangeError or TypeError with a clear message; the module keeps working', () => {
  for (const [call, type, message] of BAD_CALLS) {
    assert.throws(call, (error) => error instanceof type && message.test(error.message), String(call));
    assert.deepEqual(m.classify(sample, { method: 'natural', k: 3 }), expected);
  }
});

test('memory the module cannot have is a RangeError, and the module keeps working', () => {
  // 6999 layers of 10^5 rows ask for 2.8 GB at once; the module grows to 2 GiB.
  const values = Float64Array.from({ length: 100000 }, (_, i) => i / 3);
  const before = m.memoryInUse();
  assert.throws(() => m.naturalBreaks(values, 7000), { name: 'RangeError', message: /out of memory/ });
  assert.equal(m.memoryInUse(), before);
  assert.deepEqual(m.classify(sample, { method: 'natural', k: 3 }), expected);
});

test('no memory is kept inside the module over 10,000 calls, failed ones included', () => {
  const values = Float64Array.from({ length: 500 }, (_, i) => Math.sin(i) * 100);
  const positive = values.map((v) => Math.abs(v) + 1);
  const calls = [
    () => m.naturalBreaks(values, 6),
    () => m.classify(values, { method: 'quantile', k: 4 }),
    () => m.classify(values, { method: 'stddev-window', steps: 2, times: 0.5, max: 50 }),
    ...['pretty', 'maxbreaks', 'geometric'].map((method) => () => m.classify(positive, { method, k: 5 })),
    () => m.classify(values, { method: 'breaks', breaks: [-50, 0, 50] }),
    () => m.classify(values, { method: 'percentile', percentiles: [10, 50, 90] }),
    () => m.classify(values, { method: 'headtail' }),
    () => m.classify(values, { method: 'box' }),
    () => m.naturalBreaks(values, 'auto'),
    () => m.summary(values),
    ...BAD_CALLS.map(([call]) => () => assert.throws(call)),
  ];
  for (const call of calls) call();
  const before = m.memoryInUse();
  for (let i = 0; i < 10000; ++i) calls[i % calls.length]();
  assert.equal(m.memoryInUse(), before);
});
