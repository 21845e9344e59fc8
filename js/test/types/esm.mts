// An ES module consumer: the default export, named exports and the types.
import mensora, { load, type Classes, type Mensora, type Summary } from 'mensora';

const m: Mensora = await mensora.load();
const same: Promise<Mensora> = load();
const classes: Classes = m.classify([1, 2, 3, 10], { method: 'natural', k: 'auto', gvf: 0.9 });
const summary: Summary = m.summary(new Float64Array([1, 2]));
const breaks: Float64Array = m.naturalBreaks([1, 2, 3], 2);
// @ts-expect-error: no such method
m.classify([1, 2], { method: 'jenks', k: 2 });
const labels: string[] = m.classify([1, 2, 3], { method: 'quantile', k: 2, round: true, thousands: true }).labels;
const found: Int32Array = classes.findClasses([4, null, undefined]);
// @ts-expect-error: round is true or false
m.classify([1, 2], { method: 'natural', k: 2, round: 1 });
export { same, classes, summary, breaks, labels, found };
