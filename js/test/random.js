// Seeded random samples for the tests and the benchmark.

// A generator of uniform numbers in [0, 1).
export function random(seed) {
  let s = seed >>> 0;
  return () => {
    s = (s + 0x6d2b79f5) >>> 0;
    let t = Math.imul(s ^ (s >>> 15), 1 | s);
    t ^= t + Math.imul(t ^ (t >>> 7), 61 | t);
    return ((t ^ (t >>> 14)) >>> 0) / 2 ** 32;
  };
}

// n lognormal values (Box-Muller), as map data often are.
export function lognormal(n, seed) {
  const next = random(seed);
  return Float64Array.from({ length: n }, () =>
    Math.exp(Math.sqrt(-2 * Math.log(1 - next())) * Math.cos(2 * Math.PI * next())));
}
