// An ES module consumer: the default export, named exports and the types.
import mensora, { load, type Classes, type Mensora, type Summary } from 'mensora';

const m: Mensora = await mensora.load();
const same: Promise<Mensora> = load();
const classes: Classes = m.classify([1, 2, 3, 10], { method: 'natural', k: 'auto', gvf: 0.9 });
const summary: Summary = m.summary(new Float64Array([1, 2]));
const breaks: Float64Array = m.naturalBreaks([1, 2, 3], 2);
// @ts-expect-error: no such method
m.classify([1, 2], { method: 'jenks', k: 2 });
export { same, classes, summary, breaks };
