import type { Mensora } from './index.js';

/** Loads the WebAssembly module once; later calls give the same instance. */
export function load(): Promise<Mensora>;
