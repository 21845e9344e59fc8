// A CommonJS consumer: require() of the package and its types.
import mensora = require('mensora');
import { load } from 'mensora';

export const counts: Promise<Int32Array> = mensora.load()
  .then((m: mensora.Mensora) => m.classify([1, 2, 3, 10], { method: 'equal', k: 2 }).counts);
export const max: Promise<number> = load().then((m) => m.summary([1, 2]).max);
// @ts-expect-error: k is a number or 'auto'
load().then((m) => m.naturalBreaks([1, 2], '3'));
