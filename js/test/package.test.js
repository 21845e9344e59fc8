// The tarball of npm pack works when installed into an empty folder, from an
// ES module and from CommonJS.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { mkdirSync, mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { after, test } from 'node:test';
import { fileURLToPath } from 'node:url';

import { load } from '../index.js';

const pkg = resolve(fileURLToPath(import.meta.url), '../..');
const folder = mkdtempSync(join(tmpdir(), 'mensora-pack-'));
after(() => rmSync(folder, { recursive: true, force: true }));

const npm = (args, cwd) => execFileSync('npm', [...args, '--no-audit', '--no-fund', '--loglevel=error'],
  { cwd, encoding: 'utf8' });

test('npm pack gives a tarball that installs and runs in an empty folder', () => {
  npm(['pack', '--pack-destination', folder], pkg);
  const tarball = readdirSync(folder).find((name) => name.endsWith('.tgz'));
  const listing = execFileSync('tar', ['-tzf', join(folder, tarball)], { encoding: 'utf8' }).split('\n');
  for (const file of ['index.js', 'index.cjs', 'index.d.ts', 'index.d.cts', 'dist/mensora-wasm.js', 'package.json']) {
    assert.ok(listing.includes(`package/${file}`), `${file} is in the tarball`);
  }
  const app = join(folder, 'app');
  mkdirSync(app);
  npm(['init', '-y'], app);
  npm(['install', '--offline', join(folder, tarball)], app);
  writeFileSync(join(app, 'esm.mjs'), `import mensora from 'mensora';
const m = await mensora.load();
console.log(JSON.stringify([...m.naturalBreaks([1, 2, 3, 10, 11, 12], 2)]));`);
  writeFileSync(join(app, 'cjs.cjs'), `const { load } = require('mensora');
load().then((m) => console.log(JSON.stringify([...m.classify([1, 2, 3, 10, 11, 12], { method: 'equal', k: 2 }).counts])));`);
  assert.equal(execFileSync('node', ['esm.mjs'], { cwd: app, encoding: 'utf8' }).trim(), '[1,10,12]');
  assert.equal(execFileSync('node', ['cjs.cjs'], { cwd: app, encoding: 'utf8' }).trim(), '[3,3]');
});

test("the package's version is the library's", async () => {
  const { version } = JSON.parse(readFileSync(join(pkg, 'package.json'), 'utf8'));
  assert.equal(version, (await load()).version);
});
