// Natural breaks (k = 7) of 10^5 and 10^6 lognormal values: the package in
// this Node against the native library in the same run, on its default
// threads and on one thread. Rounds alternate the three so that a change of
// load touches all of them; the medians are compared.
//   npm run bench                       # native library from ../build
//   MENSORA_BUILD=DIR ROUNDS=9 npm run bench
import { execFileSync } from 'node:child_process';
import { mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

import { load } from '../index.js';
import { lognormal } from '../test/random.js';

const here = resolve(fileURLToPath(import.meta.url), '..');
const repo = resolve(here, '../..');
const build = resolve(process.env.MENSORA_BUILD ?? join(repo, 'build'));
const rounds = Number(process.env.ROUNDS ?? 5);
const k = 7;
const scratch = mkdtempSync(join(tmpdir(), 'mensora-bench-'));

try {
  const driver = join(scratch, 'native_natural');
  execFileSync('cc', ['-O2', '-std=c99', `-I${join(repo, 'include')}`, join(here, 'native_natural.c'),
    `-L${build}`, '-lMensora', `-Wl,-rpath,${build}`, '-o', driver], { stdio: 'inherit' });
  const m = await load();
  const median = (list) => [...list].sort((a, b) => a - b)[list.length >> 1];

  console.log(`natural breaks, k = ${k}, lognormal values; median of ${rounds} rounds (ms)`);
  console.log('n        WebAssembly  native  ratio  native 1 thread  ratio');
  for (const n of [1e5, 1e6]) {
    const values = lognormal(n, 2024);
    const file = join(scratch, `values-${n}.bin`);
    writeFileSync(file, new Uint8Array(values.buffer));
    const native = (threads) => {
      const env = { ...process.env };
      if (threads) env.MENSORA_THREADS = threads;
      else delete env.MENSORA_THREADS;
      const [ms, ...breaks] = execFileSync(driver, [file, String(k)], { encoding: 'utf8', env }).trim().split('\n');
      return { ms: Number(ms), breaks: breaks.map(Number) };
    };
    const wasm = () => {
      const start = performance.now();
      const breaks = m.naturalBreaks(values, k);
      return { ms: performance.now() - start, breaks: [...breaks] };
    };
    wasm();
    const times = { wasm: [], native: [], single: [] };
    for (let r = 0; r < rounds; ++r) {
      const results = { native: native(), single: native('1'), wasm: wasm() };
      for (const [key, result] of Object.entries(results)) {
        if (result.breaks.some((b, i) => !Object.is(b, results.native.breaks[i]))) {
          throw new Error(`the breaks of ${key} differ from the native ones`);
        }
        times[key].push(result.ms);
      }
    }
    const [w, t2, t1] = [median(times.wasm), median(times.native), median(times.single)];
    console.log(`${String(n).padEnd(9)}${w.toFixed(1).padStart(11)}${t2.toFixed(1).padStart(8)}` +
      `${(w / t2).toFixed(2).padStart(7)}${t1.toFixed(1).padStart(17)}${(w / t1).toFixed(2).padStart(7)}`);
  }
} finally {
  rmSync(scratch, { recursive: true, force: true });
}
