// The tarball of npm pack works when installed into an empty folder, from an
// ES module and from CommonJS.
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import { copyFileSync, mkdirSync, mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
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
  writeFileSync(join(app, 'cjs.cjs'), `const { load, default: mensora } = require('mensora');
if (mensora.load !== load) throw new Error('no default export');
load().then((m) => console.log(JSON.stringify([...m.classify([1, 2, 3, 10, 11, 12], { method: 'equal', k: 2 }).counts])));`);
  assert.equal(execFileSync('node', ['esm.mjs'], { cwd: app, encoding: 'utf8' }).trim(), '[1,10,12]');
  assert.equal(execFileSync('node', ['cjs.cjs'], { cwd: app, encoding: 'utf8' }).trim(), '[3,3]');
});

test('packing without the module builds it or stops with the reason', () => {
  // A copy of the package without dist/ on a PATH without emscripten.
  const copy = join(folder, 'bare');
  mkdirSync(join(copy, 'scripts'), { recursive: true });
  for (const file of ['package.json', 'scripts/build.mjs', 'scripts/prepack.mjs']) {
    copyFileSync(join(pkg, file), join(copy, file));
  }
  const done = spawnSync(process.execPath, ['scripts/prepack.mjs'],
    { cwd: copy, encoding: 'utf8', env: { PATH: join(folder, 'nothing') } });
  assert.equal(done.status, 1);
  assert.match(done.stderr, /emcc not found[^]*nothing to pack/);
});

test("the package's version is the library's", async () => {
  const { version } = JSON.parse(readFileSync(join(pkg, 'package.json'), 'utf8'));
  assert.equal(version, (await load()).version);
});
