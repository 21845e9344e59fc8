// The demo page in headless Chromium: a bundled CSV and the bundled GeoJSON
// map picked as a user would, the legend's counts and labels and the map's
// colours checked against the library, screenshots saved.
//   CHROMIUM=/usr/bin/chromium SCREENSHOT_DIR=../build-wasm npm run test:browser
import assert from 'node:assert/strict';
import { mkdirSync, mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { after, before, test } from 'node:test';

import { chromium } from 'playwright-core';

import { numericColumns } from '../demo/csv.js';
import { packageRoot, serve } from '../demo/serve.mjs';
import { load } from '../index.js';

const examples = resolve(packageRoot, '..', 'examples');
const shots = resolve(process.env.SCREENSHOT_DIR ?? join(packageRoot, '..', 'build-wasm'));
const m = await load();
let server, browser, page, origin, profile;
const requests = [];
const errors = [];

before(async () => {
  server = await serve();
  origin = `http://127.0.0.1:${server.address().port}`;
  // A fresh profile, and no traffic of the browser's own: the machine has
  // no network beyond this server.
  profile = mkdtempSync(join(tmpdir(), 'mensora-chromium-'));
  browser = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    chromiumSandbox: false,
    args: ['--disable-gpu', '--disable-quic', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync'],
    viewport: { width: 1080, height: 760 },
  });
  page = await browser.newPage();
  page.on('request', (request) => requests.push(request.url()));
  page.on('pageerror', (error) => errors.push(error.message));
  page.on('console', (message) => message.type() === 'error' && errors.push(message.text()));
  await page.goto(`${origin}/demo/`);
  await page.waitForSelector('body[data-ready]');
});

after(async () => {
  await browser?.close();
  server?.close();
  if (profile) rmSync(profile, { recursive: true, force: true });
});

const legend = () => page.$$eval('#legend .class', (rows) => rows.map((row) => Number(row.dataset.count)));
const legendLabels = () => page.$$eval('#legend .class text:nth-of-type(1)', (texts) => texts.map((t) => t.textContent));

async function choose(file, column, method, k) {
  if (file) {
    await page.setInputFiles('#file', join(examples, file));
  }
  await page.waitForFunction((name) =>
    [...document.querySelectorAll('#column option')].some((option) => option.textContent === name), column);
  const index = await page.$$eval('#column option', (options, name) =>
    options.findIndex((option) => option.textContent === name), column);
  await page.selectOption('#column', String(index));
  await page.selectOption('#method', method);
  await page.fill('#option-k', String(k));
}

for (const [file, column, method, k] of [
  ['us_states_1977.csv', 'Income', 'natural', 4],
  [null, 'Population', 'quantile', 5],
  [null, 'Area', 'equal', 6],
  ['new_york_air_quality_1973.csv', 'Ozone', 'natural', 5],
]) {
  test(`${column}, ${method}, ${k} classes: the legend counts are the library's`, async () => {
    await choose(file, column, method, k);
    const source = file ?? 'us_states_1977.csv';
    const { values } = numericColumns(readFileSync(join(examples, source), 'utf8')).find((c) => c.name === column);
    const { counts, fit } = m.classify(values, { method, k });
    assert.deepEqual(await legend(), [...counts]);
    assert.deepEqual(await legendLabels(), m.classify(values, { method, k, round: true }).labels);
    assert.equal(Number(await page.getAttribute('#gvf', 'data-gvf')), fit.gvf);
    assert.equal(await page.$$eval('#chart .break', (lines) => lines.length), k + 1);
    assert.match(await page.textContent('#status'), new RegExp(`^${column}: ${values.length} values`));
  });
}

test('the standard-deviation, head/tail and box-plot classes take their options from the page', async () => {
  await page.selectOption('#method', 'stddev');
  await page.fill('#option-steps', '1');
  await page.fill('#option-times', '1');
  const ozone = numericColumns(readFileSync(join(examples, 'new_york_air_quality_1973.csv'), 'utf8'))
    .find((c) => c.name === 'Ozone').values;
  assert.deepEqual(await legend(), [...m.classify(ozone, { method: 'stddev', steps: 1, times: 1 }).counts]);
  for (const [method, option, value] of [['headtail', 'headShare', 0.5], ['box', 'hinge', 1]]) {
    await page.selectOption('#method', method);
    await page.fill(`#option-${option}`, String(value));
    assert.deepEqual(await legend(), [...m.classify(ozone, { method, [option]: value }).counts], method);
  }
  await page.selectOption('#method', 'stddev');
  await page.fill('#option-times', '-1');
  assert.match(await page.textContent('#status.error'), /stddev/);
  await page.fill('#option-times', '0.5');
  await page.selectOption('#method', 'natural');
  await page.fill('#option-k', '4');
  assert.equal((await legend()).length, 4);
});

test('a GeoJSON file gives a map of its features in the colours of their classes', async () => {
  await choose('north_carolina_counties.geojson', 'SID79', 'natural', 5);
  const counties = JSON.parse(readFileSync(join(examples, 'north_carolina_counties.geojson'), 'utf8')).features;
  const values = counties.map((f) => f.properties.SID79);
  const { counts, classOf } = m.classify(values, { method: 'natural', k: 5 });
  assert.deepEqual(await legend(), [...counts]);
  const drawn = await page.$$eval('#map path.feature', (paths) => paths.map((p) => [Number(p.dataset.class), p.getAttribute('fill')]));
  assert.deepEqual(drawn.map(([c]) => c), [...classOf]);
  const swatches = await page.$$eval('#legend .class rect', (rects) => rects.map((r) => r.getAttribute('fill')));
  assert.deepEqual(drawn.map(([, fill]) => fill), [...classOf].map((c) => swatches[c]));
  mkdirSync(shots, { recursive: true });
  await page.screenshot({ path: join(shots, 'demo-map.png'), fullPage: true });
  await page.selectOption('#method', 'stddev');
  assert.equal(await page.$$eval('#map path.feature', (paths) => paths.length), counties.length);
  // Counties without a value: grey on the map, counted as missing in the legend.
  counties[3].properties.SID79 = null;
  counties[7].properties.SID79 = null;
  await page.setInputFiles('#file', { name: 'gaps.geojson', mimeType: 'application/geo+json',
    buffer: Buffer.from(JSON.stringify({ type: 'FeatureCollection', features: counties })) });
  await page.waitForFunction(() => document.querySelector('#status').textContent.startsWith('BIR74'));
  await page.selectOption('#column', await page.$eval('#column', (s) => [...s.options].find((o) => o.text === 'SID79').value));
  await page.waitForSelector('#legend .missing[data-count="2"]');
  const grey = await page.$$eval('#map path.feature[data-class="-1"]', (paths) => paths.length);
  assert.equal(grey, 2);
  await page.setInputFiles('#file', join(examples, 'us_states_1977.csv'));
  await page.waitForFunction(() => document.querySelectorAll('#map path').length === 0);
});

test('the page loads nothing from outside and reports no error; screenshot', async () => {
  await choose('us_states_1977.csv', 'Income', 'natural', 5);
  mkdirSync(shots, { recursive: true });
  await page.screenshot({ path: join(shots, 'demo.png') });
  assert.deepEqual(errors, []);
  assert.deepEqual(requests.filter((url) => !url.startsWith(origin) && !url.startsWith('data:')), []);
});
