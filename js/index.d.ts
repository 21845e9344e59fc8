// The ES module's declarations; the types live in index.d.cts, which CommonJS
// consumers read as well.
import type { Mensora } from './index.cjs';

export type { Classes, ClassifyOptions, Fit, LegendOptions, Mensora, MethodName, Summary, Values } from './index.cjs';

/** Loads the WebAssembly module once; later calls give the same instance. */
export function load(): Promise<Mensora>;

declare const mensora: { load: typeof load };
export default mensora;
