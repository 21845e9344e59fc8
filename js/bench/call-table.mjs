// The WebAssembly side of the table of python/benchmarks/call_table.py: one
// round of naturalBreaks over the values in DIR/values-N.bin (float64, little
// endian) for each cell N:K:BATCH, BATCH calls in a row timed together.
// Prints JSON: for each cell "N:K", the seconds of one call (the mean of the
// best of five batches, two from 10^5 values up) and the breaks. Run with
// --no-liftoff, so that the module runs the optimized code that a long-lived
// page reaches, from the first call.
//   node --no-liftoff bench/call-table.mjs DIR 10:5:2000 1000000:20:1 ...
import { readFileSync } from 'node:fs';
import { join } from 'node:path';

import { load } from '../index.js';

const [dir, ...cells] = process.argv.slice(2);
const m = await load();
const result = {};
const values = new Map();
for (const cell of cells) {
  const [n, k, batch] = cell.split(':').map(Number);
  if (!values.has(n)) {
    const bytes = readFileSync(join(dir, `values-${n}.bin`));
    values.set(n, new Float64Array(bytes.buffer, bytes.byteOffset, n));
    m.naturalBreaks(values.get(n), k); // warm: the code compiled, the memory grown
  }
  const y = values.get(n);
  let breaks = null;
  let seconds = Infinity;
  // Several batches, the best one counts, as in the other languages' rounds.
  for (let round = 0; round < (n <= 10000 ? 5 : 2); ++round) {
    const start = performance.now();
    for (let b = 0; b < batch; ++b) breaks = m.naturalBreaks(y, k);
    seconds = Math.min(seconds, (performance.now() - start) / 1e3 / batch);
  }
  result[`${n}:${k}`] = [seconds, [...breaks]];
}
console.log(JSON.stringify(result));
