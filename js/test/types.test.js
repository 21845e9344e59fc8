// The declarations type-check for consumers of either module format, under
// the module settings of current TypeScript projects: tsc (Debian's
// node-typescript) over the small consumers in test/types/, with the
// package's files laid out as npm installs them.
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import { copyFileSync, mkdirSync, mkdtempSync, readdirSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { after, test } from 'node:test';
import { fileURLToPath } from 'node:url';

const pkg = resolve(fileURLToPath(import.meta.url), '../..');
const consumers = join(pkg, 'test', 'types');
let noTsc = false;
try {
  execFileSync('tsc', ['--version'], { stdio: 'ignore' });
} catch {
  noTsc = 'no tsc on the PATH (scripts/deps.sh node-typescript)';
}

const folder = mkdtempSync(join(tmpdir(), 'mensora-types-'));
after(() => rmSync(folder, { recursive: true, force: true }));
const installed = join(folder, 'node_modules', 'mensora');
mkdirSync(installed, { recursive: true });
for (const file of ['package.json', 'index.js', 'index.cjs', 'index.d.ts', 'index.d.cts']) {
  copyFileSync(join(pkg, file), join(installed, file));
}
for (const file of readdirSync(consumers)) copyFileSync(join(consumers, file), join(folder, file));

const settings = {
  node16: ['--module', 'node16', 'esm.mts', 'cjs.cts'],
  nodenext: ['--module', 'nodenext', 'esm.mts', 'cjs.cts'],
  commonjs: ['--module', 'commonjs', '--esModuleInterop', 'commonjs.ts'],
};
for (const [name, args] of Object.entries(settings)) {
  test(`the declarations type-check with --module ${name}`, { skip: noTsc }, () => {
    const done = spawnSync('tsc', ['--noEmit', '--strict', '--target', 'es2020', ...args],
      { cwd: folder, encoding: 'utf8' });
    assert.equal(done.status, 0, done.stdout + done.stderr);
  });
}
