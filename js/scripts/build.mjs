// Builds dist/mensora-wasm.js: the library's own sources compiled by
// emscripten (through the project's CMake build) and linked into one ES
// module with the WebAssembly embedded, which loads in Node and in browsers
// without a bundler.
//   npm run build                      # build-wasm/ beside js/
//   MENSORA_WASM_BUILD=DIR npm run build
import { execFileSync } from 'node:child_process';
import { existsSync, mkdirSync, readFileSync, statSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

const pkg = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const repo = resolve(pkg, '..');
const build = resolve(process.env.MENSORA_WASM_BUILD ?? join(repo, 'build-wasm'));
const out = join(pkg, 'dist', 'mensora-wasm.js');

const env = { ...process.env };
// Debian's emscripten finds its JavaScript parser (acorn) through NODE_PATH.
if (!env.NODE_PATH && existsSync('/usr/share/nodejs')) env.NODE_PATH = '/usr/share/nodejs';

function run(command, args) {
  console.log(`+ ${command} ${args.join(' ')}`);
  execFileSync(command, args, { stdio: 'inherit', env });
}

try {
  execFileSync('emcc', ['--version'], { stdio: 'ignore', env });
} catch {
  console.error("build: emcc not found; install Debian's emscripten (scripts/deps.sh emscripten)");
  process.exit(1);
}

// JavaScript-based exception handling: the library catches a failed
// allocation (a growing list, or new without nothrow in the C++ runtime) and
// reports it as a status; without it such a failure aborts the whole module.
const cxxFlags = '-fexceptions';
run('emcmake', ['cmake', '-S', repo, '-B', build, '-Wno-dev', '-DCMAKE_BUILD_TYPE=Release',
  `-DCMAKE_CXX_FLAGS=${cxxFlags}`, '-DMENSORA_TEST=OFF', '-DMENSORA_BENCH=OFF',
  '-DMENSORA_TOOLS=OFF', '-DMENSORA_INSTALL=OFF']);
run('cmake', ['--build', build, '-j2']);

// Every function of the C interface, as the header declares it.
const header = readFileSync(join(repo, 'include', 'mensora_c.h'), 'utf8');
const functions = [...header.matchAll(/MENSORA_C_API\b[^;{]*?\b(mensora_\w+)\s*\(/g)].map((m) => m[1]);
if (functions.length === 0) throw new Error('build: no function found in include/mensora_c.h');
const exported = [...functions, 'mensora_wasm_heap_in_use', 'malloc', 'free'].map((f) => `_${f}`);

mkdirSync(dirname(out), { recursive: true });
run('emcc', [
  '-O3', '-std=c++17', cxxFlags, '-ffp-contract=off',
  join(pkg, 'native', 'heap.cpp'), join(build, 'libMensora.a'),
  '-o', out,
  '--no-entry',
  '-sMODULARIZE=1', '-sEXPORT_ES6=1', '-sEXPORT_NAME=createMensoraModule',
  // The module embedded as base64: nothing to fetch or to find by path.
  '-sSINGLE_FILE=1',
  // The web glue alone: it runs unchanged in Node (no require, no
  // process-wide handlers), and so does the embedded module.
  '-sENVIRONMENT=web,worker',
  '-sFILESYSTEM=0',
  // Up to 2 GiB; a request beyond that is a failed allocation, not an abort.
  '-sALLOW_MEMORY_GROWTH=1',
  `-sEXPORTED_FUNCTIONS=${exported.join(',')}`,
  '-sEXPORTED_RUNTIME_METHODS=UTF8ToString',
]);
console.log(`build: ${out} (${statSync(out).size} bytes, ${functions.length} C functions)`);
