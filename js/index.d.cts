// The declarations of the package, read by CommonJS consumers (require) and
// re-exported by index.d.ts for ES modules: one file, which both formats can
// import (an ES module file cannot be required).

/**
 * Numbers in any array-like: a plain array, a Float64Array or another typed array of numbers.
 * NaN, null and undefined are missing: left out of every measure and class.
 */
export type Values = ArrayLike<number | null | undefined>;

/** Method names of `classify`, as the mensora command-line tool names them. */
export type MethodName =
  | 'equal'
  | 'step'
  | 'count'
  | 'stddev'
  | 'stddev-window'
  | 'quantile'
  | 'natural'
  | 'breaks'
  | 'pretty'
  | 'headtail'
  | 'box'
  | 'maxbreaks'
  | 'percentile'
  | 'geometric';

/** Options of every class method: round breaks and the style of the labels. */
export interface LegendOptions {
  /**
   * Round breaks: each break becomes the number with the fewest significant digits that leaves
   * the class of every value as it is (the open outer breaks of stddev stay).
   */
  round?: boolean;
  /** Labels in interval notation, "[10, 20)", rather than "10 - 20". */
  intervalLabels?: boolean;
  /** A thousands separator in the labels: "12,500". */
  thousands?: boolean;
}

export type ClassifyOptions = LegendOptions & (
  /** k classes of equal width between the minimum and the maximum. */
  | { method: 'equal'; k: number }
  /** Classes of width `step` from `start` up to `end` (default: the maximum). */
  | { method: 'step'; start: number; step: number; end?: number }
  /** k classes of equal width from `start` up to `end` (default: the maximum). */
  | { method: 'count'; start: number; k: number; end?: number }
  /** 2·steps + 2 classes around the mean, each `times` standard deviations wide. */
  | { method: 'stddev'; steps: number; times: number }
  /** The stddev classes, members limited to [min, max] (default: the data's extremes). */
  | { method: 'stddev-window'; steps: number; times: number; min?: number; max?: number }
  /** k classes of about equal counts. */
  | { method: 'quantile'; k: number }
  /** k classes of least squared deviation from their means (exact natural breaks). */
  | { method: 'natural'; k: number }
  /**
   * Natural breaks with the fewest classes, from 2 to maxClasses (default 10), whose GVF is at
   * least gvf (default 0.8); maxClasses classes where none reaches it.
   */
  | { method: 'natural'; k: 'auto'; gvf?: number; maxClasses?: number }
  /** The caller's own breaks (two or more, finite, non-decreasing); values outside are in no class. */
  | { method: 'breaks'; breaks: Values }
  /** About k classes at round numbers. */
  | { method: 'pretty'; k: number }
  /** Head/tail breaks for heavy-tailed data: split at the mean while the head holds less than headShare (0 to 1, default 0.4). */
  | { method: 'headtail'; headShare?: number }
  /** Six box-plot classes: -inf, q1 - hinge·iqr, q1, median, q3, q3 + hinge·iqr, +inf (hinge default 1.5). */
  | { method: 'box'; hinge?: number }
  /** Breaks in the middle of the k - 1 widest gaps. */
  | { method: 'maxbreaks'; k: number }
  /** Breaks at the given percentiles (two or more, 0 to 100, non-decreasing). */
  | { method: 'percentile'; percentiles: Values }
  /** Breaks in geometric progression from the minimum (above 0) to the maximum (finite). */
  | { method: 'geometric'; k: number });

export interface Classes {
  /** The k + 1 class breaks. */
  breaks: Float64Array;
  /** The number of members of each of the k classes. */
  counts: Int32Array;
  /** The class of every value, in input order; -1 for a value in no class or missing. */
  classOf: Int32Array;
  /** How well the classes fit the values. */
  fit: Fit;
  /** The number of missing values left out (NaN, null, undefined). */
  missing: number;
  /**
   * The library's notes on this result: values present but in no class, classes without a value.
   * The first note of each kind in a process is also told as a warning.
   */
  warnings: string[];
  /**
   * The legend text of every class, as the library writes it: "lo - hi" with the fewest decimals
   * that keep the breaks apart ("0 - 9", "10 - 19" for whole numbers), a one-value class by its
   * value, open outer classes as "below 9.28" and "74.97 or more", " (empty)" after an empty class.
   */
  labels: string[];
  /**
   * The class of each of other values under these breaks and this method's closing rule; -1 for a
   * value in no class, NaN, null or undefined. The values classified give classOf back (those a
   * stddev-window leaves out aside).
   */
  findClasses(values: ArrayLike<number | null | undefined>): Int32Array;
}

/** Goodness of fit of a classification, over the values in a class; an empty class adds nothing. */
export interface Fit {
  /** Squared deviations from the mean of the classified values, summed. */
  sdam: number;
  /** Squared deviations from the class means, summed. */
  sdcm: number;
  /** Goodness of variance fit, 1 - sdcm / sdam: 1 when the classified values do not vary, NaN when none is classified. */
  gvf: number;
  /** Absolute deviations from the class medians, summed. */
  adcm: number;
  /** Tabular accuracy index (1 or NaN as gvf). */
  tai: number;
}

export interface Summary {
  /** The values present. */
  count: number;
  /** The missing values left out (NaN, null, undefined). */
  missing: number;
  mean: number;
  /** Each value weighted by its own frequency. */
  weightedMean: number;
  /** NaN, with a warning, where it has no real value (a negative product) or lies beyond the range of doubles. */
  geometricMean: number;
  /** The most frequent value, first in input order. */
  mode: number;
  median: number;
  min: number;
  max: number;
  /** max - min. */
  range: number;
  meanAbsoluteDeviation: number;
  /** Squared deviations from the mean, summed. */
  sumOfSquares: number;
  /** Divided by n. */
  variance: number;
  /** Divided by n. */
  standardDeviation: number;
  /** standardDeviation / mean. */
  coefficientOfVariation: number;
  /**
   * The test statistic of skewness, g1 / sqrt(6 / n), with g1 the moment coefficient of skewness:
   * it grows with sqrt(n), to be read against a standard normal variable.
   */
  skewnessTestStatistic: number;
  /** The test statistic of excess kurtosis, g2 / sqrt(24 / n), with g2 = m4 / m2² - 3. */
  kurtosisTestStatistic: number;
  /** Why a measure is NaN (a geometric mean without a real value); told once per process as a warning. */
  warnings: string[];
}

export interface Mensora {
  /** The library's version, "major.minor.patch". */
  readonly version: string;
  /** The class methods of this build. */
  readonly methods: readonly MethodName[];
  /** k natural-breaks classes: k + 1 breaks ('auto': as classify with k 'auto' and its defaults). */
  naturalBreaks(values: Values, k: number | 'auto'): Float64Array;
  /** k classes of about equal counts: k + 1 breaks. */
  quantileBreaks(values: Values, k: number): Float64Array;
  /** k classes of equal width: k + 1 breaks. */
  equalIntervalBreaks(values: Values, k: number): Float64Array;
  /** Any class method, with the class of every value and the fit. */
  classify(values: Values, options: ClassifyOptions): Classes;
  /** Every measure of the sample. */
  summary(values: Values): Summary;
  /** Bytes allocated inside the module: the same before and after every call. */
  memoryInUse(): number;
}

/** Loads the WebAssembly module once; later calls give the same instance. */
export function load(): Promise<Mensora>;

/** The same load, for `import mensora from 'mensora'` compiled to CommonJS. */
declare const mensora: { load: typeof load };
export default mensora;
