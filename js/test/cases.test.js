// The table of cases every binding runs (tests/cases/missing_values.json).
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';

import { load } from '../index.js';
import { repo } from './helpers.js';

const m = await load();
const table = JSON.parse(readFileSync(join(repo, 'tests/cases/missing_values.json'), 'utf8'));
const OPTIONS = { k: 'k', share: 'headShare', steps: 'steps', times: 'times' };

// null stays null (missing); "inf" and "-inf" are the infinities.
const valuesOf = (c) => c.values.map((v) => (typeof v === 'string' ? (v === 'inf' ? Infinity : -Infinity) : v));

test('classes as the table says', () => {
  for (const c of table.classify) {
    const options = { method: c.method };
    for (const [key, name] of Object.entries(OPTIONS)) if (key in c) options[name] = c[key];
    if (c.error) {
      assert.throws(() => m.classify(valuesOf(c), options), { name: 'RangeError', message: new RegExp(c.error.replace(/[()[\]]/g, '\\$&')) }, c.name);
      continue;
    }
    const got = m.classify(valuesOf(c), options);
    assert.deepEqual([...got.breaks], c.breaks, c.name);
    assert.deepEqual([...got.counts], c.counts, c.name);
    assert.deepEqual([...got.classOf], c.labels, c.name);
    assert.equal(got.missing, c.missing, c.name);
    const told = (text) => got.warnings.filter((w) => w.includes(text)).length;
    assert.deepEqual([told('in no class'), told(' no value')], [+(c.unclassified > 0), +(c.empty > 0)], c.name);
  }
});

test('summaries as the table says', () => {
  for (const c of table.summary) {
    const got = m.summary(valuesOf(c));
    for (const key of ['count', 'missing', 'mean', 'median']) if (key in c) assert.equal(got[key], c[key], `${c.name} ${key}`);
    if (c.geometric_mean === null) {
      assert.ok(Number.isNaN(got.geometricMean) && /product of the values is negative/.test(got.warnings[0]), c.name);
    } else {
      assert.ok(Math.abs(got.geometricMean - c.geometric_mean) < 1e-12 && got.warnings.length === 0, c.name);
    }
  }
});
