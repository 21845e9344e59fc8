// Mensora for JavaScript: descriptive statistics and class breaks over one
// numeric sample, computed by the library's C interface compiled to
// WebAssembly. Every call copies the values into the module, runs the library
// and copies the results out; nothing stays allocated inside the module
// between calls.
import createMensoraModule from './dist/mensora-wasm.js';

const INT32_MAX = 0x7fffffff;
// The module's memory grows up to 2 GiB.
const MAX_BYTES = 2 ** 31;
// The library's limits that mean "the data's own extreme".
const AUTO_MAX = 999;
const AUTO_MIN = -999;
// The status of a call that found no memory.
const MEMORY_STATUS = -3;
// mensora_sample_open: NaN values (JS null and undefined become NaN) are missing.
const SKIP_MISSING = 1;

// The kinds of note already told in this process.
const told = new Set();

// Adds a note of the library to a result's warnings, and tells it the first
// time its kind comes up: a process warning under Node, console.warn elsewhere.
function warn(warnings, kind, text) {
  warnings.push(text);
  if (told.has(kind)) return;
  told.add(kind);
  if (typeof process !== 'undefined' && typeof process.emitWarning === 'function') {
    process.emitWarning(text, { code: 'MENSORA_NOTE' });
  } else if (typeof console !== 'undefined') {
    console.warn(text);
  }
}

// The options of the class methods. A number or whole number may have a
// default; a list of numbers is passed as a pointer and a count.
const int = (name, min, fallback) => ({ name, kind: 'int', min, fallback });
const num = (name, fallback) => ({ name, kind: 'number', fallback });
const numbers = (name) => ({ name, kind: 'numbers' });
const K = int('k', 1);

// Every class method under the mensora tool's name: its C function (without
// the mensora_ prefix) and its options in the order the function takes them
// (the library checks them and says why it refuses). `std` marks the
// standard-deviation classes, whose fit the library measures apart; `auto` is
// the variant taken for k: 'auto'. A method whose function this build lacks
// is not offered.
const METHODS = {
  equal: { fn: 'classify_equal', options: [K] },
  step: { fn: 'classify_step', options: [num('start'), num('step'), num('end', AUTO_MAX)] },
  count: { fn: 'classify_count', options: [num('start'), K, num('end', AUTO_MAX)] },
  stddev: { fn: 'classify_stddev', options: [int('steps', 0), num('times')], std: true },
  'stddev-window': {
    fn: 'classify_stddev_window',
    options: [int('steps', 0), num('times'), num('min', AUTO_MIN), num('max', AUTO_MAX)],
    std: true,
  },
  quantile: { fn: 'classify_quantile', options: [K] },
  natural: {
    fn: 'classify_natural',
    options: [K],
    auto: { fn: 'classify_natural_auto', options: [int('maxClasses', 2, 10), num('gvf', 0.8)] },
  },
  breaks: { fn: 'classify_breaks', options: [numbers('breaks')] },
  pretty: { fn: 'classify_pretty', options: [K] },
  headtail: { fn: 'classify_head_tail', options: [num('headShare', 0.4)] },
  box: { fn: 'classify_box_plot', options: [num('hinge', 1.5)] },
  maxbreaks: { fn: 'classify_max_breaks', options: [K] },
  percentile: { fn: 'classify_percentile', options: [numbers('percentiles')] },
  geometric: { fn: 'classify_geometric', options: [K] },
};

function describe(value) {
  if (typeof value === 'string') return JSON.stringify(value);
  if (typeof value === 'bigint') return `${value}n`;
  if (value === null || typeof value !== 'object') return String(value);
  return Array.isArray(value) ? 'an array' : 'an object';
}

// The number of values in an array-like, checked.
function lengthOf(values, where, what = 'values') {
  if (values === null || typeof values !== 'object' || !('length' in values)) {
    throw new TypeError(`${where}: ${what} must be an array or a typed array of numbers, not ${describe(values)}`);
  }
  if (values instanceof BigInt64Array || values instanceof BigUint64Array) {
    throw new TypeError(`${where}: ${what} must hold numbers, not BigInts`);
  }
  const n = values.length;
  if (!Number.isSafeInteger(n) || n < 0) throw new TypeError(`${where}: ${what} has no valid length`);
  if (n > INT32_MAX) {
    throw new RangeError(`${where}: ${n} ${what} are more than the library takes (2^31 - 1)`);
  }
  return n;
}

function checkInt(value, option, where) {
  if (typeof value !== 'number') {
    throw new TypeError(`${where}: ${option.name} must be a number, not ${describe(value)}`);
  }
  if (!Number.isInteger(value) || value < option.min || value > INT32_MAX) {
    throw new RangeError(`${where}: ${option.name} must be a whole number from ${option.min} to 2^31 - 1, not ${value}`);
  }
  return value;
}

// Label flags of the library: interval notation, thousands separator.
const LABEL_INTERVAL = 1;
const LABEL_THOUSANDS = 2;
// Options every class method takes besides its own.
const COMMON_OPTIONS = ['round', 'intervalLabels', 'thousands'];

class Mensora {
  #wasm;

  constructor(wasm) {
    this.#wasm = wasm;
    /** The library's version, "major.minor.patch". */
    this.version = wasm.UTF8ToString(wasm._mensora_version());
    /** The class methods this build offers, by name. */
    this.methods = Object.keys(METHODS).filter((name) => this.#function(METHODS[name].fn));
    Object.freeze(this.methods);
  }

  naturalBreaks(values, k) {
    return this.#classify('mensora.naturalBreaks', 'natural', values, { k }, false).breaks;
  }

  quantileBreaks(values, k) {
    return this.#classify('mensora.quantileBreaks', 'quantile', values, { k }, false).breaks;
  }

  equalIntervalBreaks(values, k) {
    return this.#classify('mensora.equalIntervalBreaks', 'equal', values, { k }, false).breaks;
  }

  classify(values, options) {
    const where = 'mensora.classify';
    if (options === null || typeof options !== 'object') {
      throw new TypeError(`${where}: options must be an object such as {method: 'natural', k: 5}`);
    }
    const { method, ...rest } = options;
    if (typeof method !== 'string') {
      throw new TypeError(`${where}: method must be a string (one of ${this.methods.join(', ')})`);
    }
    return this.#classify(`${where} (${method})`, method, values, rest, true);
  }

  summary(values) {
    return this.#withSample('mensora.summary', values, (sample, n, alloc) => {
      const w = this.#wasm;
      const extremes = alloc(16);
      this.#check(w._mensora_extremes(sample, extremes, extremes + 8), 'mensora.summary');
      const measure = (name) => w[`_mensora_${name}`](sample);
      const missing = w._mensora_sample_missing(sample);
      // NaN, with a warning, where no real geometric mean exists.
      const geometric = alloc(8);
      const warnings = [];
      let geometricMean = NaN;
      if (w._mensora_geometric_mean_checked(sample, geometric) === 0) {
        geometricMean = w.HEAPF64[geometric >>> 3];
      } else {
        warn(warnings, 'geometric', `mensora.summary: geometric mean: ${w.UTF8ToString(w._mensora_last_reason())}`);
      }
      const result = {
        count: n - missing,
        missing,
        mean: measure('mean'),
        weightedMean: measure('frequency_mean'),
        geometricMean,
        mode: measure('mode'),
        median: measure('median'),
        min: w.HEAPF64[extremes >>> 3],
        max: w.HEAPF64[(extremes >>> 3) + 1],
        range: measure('range'),
        meanAbsoluteDeviation: measure('mean_abs_deviation'),
        sumOfSquares: measure('sum_of_squares'),
        variance: measure('variance'),
        standardDeviation: measure('std_deviation'),
        coefficientOfVariation: measure('variation_coefficient'),
        skewnessTestStatistic: measure('skewness'),
        kurtosisTestStatistic: measure('kurtosis'),
        warnings,
      };
      return result;
    });
  }

  /** Bytes allocated inside the module: the same before and after every call. */
  memoryInUse() {
    return this.#wasm._mensora_wasm_heap_in_use();
  }

  #function(name) {
    const f = this.#wasm[`_mensora_${name}`];
    return typeof f === 'function' ? f : undefined;
  }

  // Throws for a failed status, with the library's reason.
  #check(status, where) {
    if (status === 0) return;
    const w = this.#wasm;
    const reason = status === MEMORY_STATUS ? '' : w.UTF8ToString(w._mensora_last_reason());
    throw new RangeError(`${where}: ${reason || w.UTF8ToString(w._mensora_status_message(status))}`);
  }

  // Runs body(alloc) with alloc(bytes) giving scratch memory in the module;
  // every allocation is released on every exit.
  #withScratch(where, body) {
    const w = this.#wasm;
    const allocations = [];
    const alloc = (bytes) => {
      const pointer = bytes <= MAX_BYTES ? w._malloc(Math.max(bytes, 1)) : 0;
      if (pointer === 0) throw new RangeError(`${where}: out of memory in the module (${bytes} bytes wanted)`);
      allocations.push(pointer);
      return pointer;
    };
    try {
      return body(alloc);
    } finally {
      for (const pointer of allocations) w._free(pointer);
    }
  }

  // Runs body(sample, n, alloc, base) over a sample of the values copied into
  // the module (base: their index in HEAPF64); alloc(bytes) gives scratch
  // memory. The sample and every allocation are released on every exit.
  #withSample(where, values, body) {
    const n = lengthOf(values, where);
    if (n === 0) throw new RangeError(`${where}: values is empty`);
    const w = this.#wasm;
    return this.#withScratch(where, (alloc) => {
      let sample = 0;
      try {
        const data = alloc(8 * n);
        const base = data >>> 3;
        if (ArrayBuffer.isView(values)) {
          w.HEAPF64.set(values, base);
        } else {
          const heap = w.HEAPF64;
          for (let i = 0; i < n; ++i) {
            const v = values[i];
            // null and undefined are missing, as NaN is.
            if (typeof v !== 'number' && v !== null && v !== undefined) {
              throw new TypeError(`${where}: values[${i}] is not a number but ${describe(v)}`);
            }
            heap[base + i] = v ?? NaN;
          }
        }
        const handle = alloc(4);
        this.#check(w._mensora_sample_open(data, n, SKIP_MISSING, handle), where);
        sample = w.HEAPU32[handle >>> 2];
        return body(sample, n, alloc, base);
      } finally {
        if (sample !== 0) w._mensora_sample_free(sample);
      }
    });
  }

  // The method's table entry for these options (its k: 'auto' variant when
  // asked for), with the options it runs on.
  #method(where, method, options) {
    let entry = Object.hasOwn(METHODS, method) ? METHODS[method] : undefined;
    if (!entry || !this.#function(entry.fn)) {
      throw new RangeError(`${where}: unknown method ${JSON.stringify(method)} (known: ${this.methods.join(', ')})`);
    }
    const names = (e) => e.options.map((o) => o.name).join(', ');
    let known = entry.auto ? `${names(entry)}, or k: 'auto' with ${names(entry.auto)}` : names(entry);
    if (options.k === 'auto' && entry.auto) {
      entry = entry.auto;
      options = { ...options, k: undefined };
      known = `${names(entry)} with k: 'auto'`;
    }
    for (const key of Object.keys(options)) {
      if (options[key] !== undefined && !entry.options.some((o) => o.name === key)
          && !COMMON_OPTIONS.includes(key)) {
        throw new TypeError(`${where}: no option ${JSON.stringify(key)} for this method (its options: ${known})`);
      }
    }
    return [entry, options];
  }

  // `full`: the class of every value and the fit as well as the breaks and counts.
  #classify(where, method, values, given, full) {
    const [entry, options] = this.#method(where, method, given);
    const run = this.#function(entry.fn);
    // Scalar options are checked before any memory is taken.
    for (const option of entry.options) {
      const value = options[option.name];
      if (value === undefined) {
        if (option.fallback !== undefined) continue;
        throw new TypeError(`${where}: option ${option.name} is missing`);
      }
      if (option.kind === 'int') checkInt(value, option, where);
      if (option.kind === 'number' && typeof value !== 'number') {
        throw new TypeError(`${where}: ${option.name} must be a number, not ${describe(value)}`);
      }
    }
    for (const name of COMMON_OPTIONS) {
      if (options[name] !== undefined && typeof options[name] !== 'boolean') {
        throw new TypeError(`${where}: ${name} must be true or false, not ${describe(options[name])}`);
      }
    }
    return this.#withSample(where, values, (sample, n, alloc) => {
      const w = this.#wasm;
      const args = [sample];
      for (const option of entry.options) {
        const value = options[option.name];
        if (option.kind === 'numbers') {
          const count = lengthOf(value, where, option.name);
          const list = alloc(8 * count);
          for (let i = 0; i < count; ++i) {
            if (typeof value[i] !== 'number') {
              throw new TypeError(`${where}: ${option.name}[${i}] is not a number but ${describe(value[i])}`);
            }
            w.HEAPF64[(list >>> 3) + i] = value[i];
          }
          args.push(list, count);
        } else {
          args.push(value ?? option.fallback);
        }
      }
      const out = alloc(16);
      this.#check(run(...args, out), where);
      // mensora_classes: class_count, then the breaks, counts and ids pointers.
      const std = entry.std ? 1 : 0;
      // Round breaks, when asked for, replace those of the same result.
      if (options.round) this.#check(w._mensora_round_breaks(sample, std, out), where);
      const k = w.HEAP32[out >>> 2];
      const breaksAt = w.HEAPU32[(out >>> 2) + 1] >>> 3;
      const countsAt = w.HEAPU32[(out >>> 2) + 2] >>> 2;
      const result = {
        breaks: w.HEAPF64.slice(breaksAt, breaksAt + k + 1),
        counts: w.HEAP32.slice(countsAt, countsAt + k),
      };
      if (full) {
        const classOf = alloc(4 * n);
        this.#check(w._mensora_class_labels(out, n, classOf), where);
        result.classOf = w.HEAP32.slice(classOf >>> 2, (classOf >>> 2) + n);
        // mensora_fit: five doubles.
        const fit = alloc(40);
        this.#check(w._mensora_class_fit(sample, entry.std ? 1 : 0, fit), where);
        const [sdam, sdcm, gvf, adcm, tai] = w.HEAPF64.slice(fit >>> 3, (fit >>> 3) + 5);
        result.fit = { sdam, sdcm, gvf, adcm, tai };
        // mensora_class_notes: missing, unclassified, empty_classes.
        const notes = alloc(12);
        this.#check(w._mensora_class_notes(sample, entry.std ? 1 : 0, notes), where);
        const [missing, unclassified, empty] = w.HEAP32.slice(notes >>> 2, (notes >>> 2) + 3);
        result.missing = missing;
        result.warnings = [];
        if (unclassified > 0) {
          warn(result.warnings, 'unclassified', `${where}: ${unclassified} value${unclassified === 1 ? '' : 's'} in no class`);
        }
        if (empty > 0) {
          warn(result.warnings, 'empty', `${where}: ${empty} of the ${k} classes ${empty === 1 ? 'holds' : 'hold'} no value`);
        }
      }
      if (full) {
        // The library's labels, and the classes of other values under these
        // breaks and this result's closing rule.
        const flags = (options.intervalLabels ? LABEL_INTERVAL : 0) | (options.thousands ? LABEL_THOUSANDS : 0);
        result.labels = this.#labels(alloc, where, (buffer, capacity, needed) =>
          w._mensora_class_labels_text(sample, std, flags, buffer, capacity, needed));
        const rule = alloc(4);
        this.#check(w._mensora_class_rule(sample, std, rule), where);
        const breaks = result.breaks.slice();
        const closing = w.HEAP32[rule >>> 2];
        Object.defineProperty(result, 'findClasses', {
          value: (values) => this.#findClasses(breaks, closing, values),
        });
      }
      return result;
    });
  }

  // The labels a call of the library writes: write(buffer, capacity, needed).
  #labels(alloc, where, write) {
    const w = this.#wasm;
    const needed = alloc(4);
    let capacity = 512;
    let buffer = alloc(capacity);
    this.#check(write(buffer, capacity, needed), where);
    if (w.HEAP32[needed >>> 2] > capacity) {
      capacity = w.HEAP32[needed >>> 2];
      buffer = alloc(capacity);
      this.#check(write(buffer, capacity, needed), where);
    }
    return w.UTF8ToString(buffer).split('\n');
  }

  // The class of each of the values under the breaks and closing rule of a
  // result; null and undefined are missing, in no class like NaN.
  #findClasses(breaks, rule, values) {
    const where = 'result.findClasses';
    const n = lengthOf(values, where);
    const w = this.#wasm;
    return this.#withScratch(where, (alloc) => {
      const at = alloc(8 * breaks.length);
      w.HEAPF64.set(breaks, at >>> 3);
      const data = alloc(8 * n);
      const base = data >>> 3;
      if (ArrayBuffer.isView(values)) {
        w.HEAPF64.set(values, base);
      } else {
        for (let i = 0; i < n; ++i) {
          const v = values[i] ?? NaN;
          if (typeof v !== 'number') {
            throw new TypeError(`${where}: values[${i}] is not a number but ${describe(v)}`);
          }
          w.HEAPF64[base + i] = v;
        }
      }
      const classes = alloc(4 * n);
      this.#check(w._mensora_find_classes(at, breaks.length, rule, data, n, classes), where,
        'breaks that are not NaN');
      return w.HEAP32.slice(classes >>> 2, (classes >>> 2) + n);
    });
  }
}

let loading;

/**
 * Loads the WebAssembly module once; later calls give the same instance.
 * @returns {Promise<Mensora>}
 */
export function load() {
  loading ??= createMensoraModule().then(
    (wasm) => new Mensora(wasm),
    (error) => {
      loading = undefined;
      throw error;
    },
  );
  return loading;
}

export default { load };
