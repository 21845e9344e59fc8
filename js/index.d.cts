import type { Mensora } from './index.js';

export type { Classes, ClassifyOptions, Fit, LegendOptions, Mensora, MethodName, Summary, Values } from './index.js';

/** Loads the WebAssembly module once; later calls give the same instance. */
export function load(): Promise<Mensora>;
