// The WebAssembly side of the table of python/benchmarks/call_table.py: one
// round of naturalBreaks for each cell N:K:BATCH:SAMPLES over the SAMPLES
// samples of N values in DIR/values-N.bin (float64, little endian, one
// sample after another), taken in turn call after call, BATCH calls in a row
// timed together. Prints JSON: for each cell "N:K", the seconds of one call
// (the mean of the best of five batches, two from 10^5 values up) and the
// breaks of the first sample. Run with --no-liftoff, so that the module runs
// the optimized code that a long-lived page reaches, from the first call.
//   node --no-liftoff bench/call-table.mjs DIR 10:5:2000:8 1000000:20:1:2 ...
import { readFileSync } from 'node:fs';
import { join } from 'node:path';

import { load } from '../index.js';

const [dir, ...cells] = process.argv.slice(2);
const m = await load();
const result = {};
const samplesOf = new Map();
for (const cell of cells) {
  const [n, k, batch, count] = cell.split(':').map(Number);
  if (!samplesOf.has(n)) {
    const bytes = readFileSync(join(dir, `values-${n}.bin`));
    const all = new Float64Array(bytes.buffer, bytes.byteOffset, n * count);
    samplesOf.set(n, Array.from({ length: count }, (_, s) => all.subarray(s * n, (s + 1) * n)));
    m.naturalBreaks(samplesOf.get(n)[0], k); // warm: the code compiled, the memory grown
  }
  const samples = samplesOf.get(n);
  let seconds = Infinity;
  // Several batches, the best one counts, as in the other languages' rounds.
  for (let round = 0; round < (n <= 10000 ? 5 : 2); ++round) {
    const start = performance.now();
    for (let b = 0; b < batch; ++b) m.naturalBreaks(samples[(round * batch + b) % count], k);
    seconds = Math.min(seconds, (performance.now() - start) / 1e3 / batch);
  }
  result[`${n}:${k}`] = [seconds, [...m.naturalBreaks(samples[0], k)]];
}
console.log(JSON.stringify(result));
