// A consumer compiled to CommonJS with the classic module resolution.
import mensora, { load, Classes } from 'mensora';

export const classes: Promise<Classes> = load()
  .then((m) => m.classify([1, 2, 3, 10], { method: 'quantile', k: 2 }));
export const version: Promise<string> = mensora.load().then((m) => m.version);
// @ts-expect-error: breaks must be given
load().then((m) => m.classify([1, 2], { method: 'breaks' }));
