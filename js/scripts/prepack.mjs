// Run by npm pack and npm publish: the tarball needs dist/mensora-wasm.js,
// built from the sources of this checkout. Builds it when it is missing or
// older than any of them; a failed build (emscripten missing) stops the pack.
import { spawnSync } from 'node:child_process';
import { existsSync, readdirSync, statSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

const pkg = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const repo = resolve(pkg, '..');
const out = join(pkg, 'dist', 'mensora-wasm.js');

// The newest modification time of the files under a path.
function newest(path) {
  const stat = statSync(path);
  if (!stat.isDirectory()) return stat.mtimeMs;
  return Math.max(0, ...readdirSync(path).map((name) => newest(join(path, name))));
}

const sources = [join(repo, 'src'), join(repo, 'include'), join(repo, 'cmake'),
  join(repo, 'CMakeLists.txt'), join(pkg, 'native'), join(pkg, 'scripts', 'build.mjs')]
  .filter((path) => existsSync(path));
if (existsSync(out) && statSync(out).mtimeMs >= Math.max(...sources.map(newest))) {
  console.log('prepack: dist/mensora-wasm.js is up to date');
  process.exit(0);
}
console.log('prepack: building dist/mensora-wasm.js');
const done = spawnSync(process.execPath, [join(pkg, 'scripts', 'build.mjs')], { stdio: 'inherit' });
if (done.status !== 0) {
  console.error('prepack: the module could not be built, so there is nothing to pack (see above)');
  process.exit(1);
}
