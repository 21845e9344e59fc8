#' Class intervals computed by the Mensora library
#'
#' `classify()` divides a numeric vector into classes under the interface of
#' `classInt::classIntervals()`: it returns an object of class
#' `"classIntervals"` (list elements `var` and `brks`; attributes `style`,
#' `parameters`, `nobs`, `call` and `intervalClosure`), so `print()`,
#' `plot()`, `classInt::findCols()`, `classInt::findColours()` and code that
#' reads `$brks` work unchanged. The object also holds `counts` (members of
#' every class), `fit` (GVF, ADCM, TAI, SDAM, SDCM) and `classes` (the class
#' of every value of `var`, `NA` for a missing value or one in no class).
#'
#' Styles: `"fisher"` and `"jenks"` are both exact natural breaks (the least
#' within-class sum of squares; no sampling however long `x` is). Each break
#' is the smallest value of its class, where classInt's fisher style gives
#' the midpoints between classes: the classes are the same. `"quantile"`
#' takes classInt's default quantiles (type 7), `"equal"`, `"pretty"`,
#' `"maximum"` and `"geometric"` take `n`; `"sd"` makes `2 * steps + 2`
#' classes `times` standard deviations wide around the mean (the standard
#' deviation divides by the number of values; by default `steps` makes the
#' least even class count of at least `n`, and `times` is 1; the outer
#' breaks are -/+1.79769313486232e307); `"headtails"` (`thr`, default 0.4), `"box"`
#' (`iqr_mult`, default 1.5; the outer breaks are always -Inf and Inf),
#' `"fixed"` (`fixedBreaks`, finite and ascending) and `"percentile"` (`percents`, default 0, 1,
#' 10, 50, 90, 99, 100). `n = "auto"` with `"fisher"` or `"jenks"` takes the
#' fewest natural-breaks classes from 2 to `max_n` whose GVF is at least
#' `gvf`.
#'
#' Intervals are closed on the left (`intervalClosure = "left"`, also for
#' jenks), the last one on both sides, except for `"sd"`, whose last class
#' is open. Colour a map by `classes` or `classInt::findColours()`: a
#' function that closes classes on the right (sf's `plot(breaks = )`) would
#' move the smallest value of each natural-breaks class down a class. Values outside the breaks (`"fixed"`, `"percentile"`, infinite
#' values with `"pretty"`) are in no class. `NA` and `NaN` are missing: left
#' out of every class and measure with a warning; so are values in no class
#' and classes without a value. Infinite values are
#' values, classified by the library's rules; a style whose breaks they make
#' NaN (`"equal"`, `"sd"`) is refused. Every refusal is an error of class
#' `"mensora_error"` whose message is the library's reason and whose
#' `status` is the library's status code.
#'
#' @param x a numeric vector (integer or double).
#' @param n the number of classes, or `"auto"` for natural breaks.
#' @param style the method, see Details.
#' @param ... the arguments of a style: `fixedBreaks`, `steps`, `times`,
#'   `thr`, `iqr_mult`, `percents`; classInt's sampling and warning
#'   arguments are accepted and have no effect.
#' @param gvf,max_n the least goodness of variance fit and the most classes
#'   for `n = "auto"`.
#' @param intervalClosure only `"left"`, the library's closing.
#' @param dataPrecision stored for `print()`, as classInt does.
#' @return an object of class `"classIntervals"`.
#' @examples
#' income <- state.x77[, "Income"]
#' r <- classify(income, 4)
#' r$brks
#' r$counts
#' r$fit["gvf"]
#' table(r$classes)
#' classify(income, "auto", gvf = 0.9)$brks
#' if (requireNamespace("classInt", quietly = TRUE)) {
#'   print(r)
#'   classInt::findColours(r, c("#fee5d9", "#a50f15"))
#' }
#' @export
classify <- function(x, n = 5, style = "fisher", ..., gvf = 0.8, max_n = 10,
                     intervalClosure = "left", dataPrecision = NULL) {
  call <- match.call()
  values <- numeric_values(x)
  style <- match.arg(style, c("fisher", "jenks", "quantile", "equal", "sd", "pretty",
                              "headtails", "box", "maximum", "fixed", "percentile",
                              "geometric"))
  if (!identical(intervalClosure, "left")) {
    stop("intervalClosure: the library's classes are closed on the left (\"left\")",
         call. = FALSE)
  }
  dots <- list(...)
  known <- c("fixedBreaks", "steps", "times", "thr", "iqr_mult", "percents", "rtimes",
             "warnSmallN", "warnLargeN", "largeN", "samp_prop", "gr")
  unknown <- setdiff(names(dots), known)
  if (length(dots) > 0 && (is.null(names(dots)) || any(names(dots) == "") ||
                           length(unknown) > 0)) {
    stop("unused argument: ", paste(c(unknown, if (is.null(names(dots)) ||
         any(names(dots) == "")) "(unnamed)"), collapse = ", "), call. = FALSE)
  }
  auto <- identical(n, "auto")
  if (auto && !(style %in% c("fisher", "jenks"))) {
    stop("n = \"auto\" is for natural breaks (style \"fisher\" or \"jenks\")", call. = FALSE)
  }
  k <- if (auto) whole_number(max_n, "max_n") else whole_number(n, "n")
  args <- 0
  pars <- NULL
  method <- switch(style,
    fisher = , jenks = if (auto) "natural_auto" else "natural",
    equal = "equal", pretty = "pretty", maximum = "maxbreaks", geometric = "geometric",
    quantile = "quantile7", percentile = "percentile", fixed = "breaks",
    sd = "stddev", headtails = "headtail", box = "box")
  if (auto) {
    args <- number(gvf, "gvf")
    pars <- c(gvf = args, max_n = k)
  } else if (style == "percentile") {
    args <- numbers(if (is.null(dots$percents)) c(0, 1, 10, 50, 90, 99, 100) else dots$percents,
                    "percents")
    pars <- c(percents = args)
  } else if (style == "fixed") {
    if (is.null(dots$fixedBreaks)) stop("style \"fixed\" needs fixedBreaks", call. = FALSE)
    args <- numbers(dots$fixedBreaks, "fixedBreaks")
  } else if (style == "sd") {
    k <- if (is.null(dots$steps)) max(0L, (k + 1L) %/% 2L - 1L) else whole_number(dots$steps, "steps")
    args <- if (is.null(dots$times)) 1 else number(dots$times, "times")
    pars <- c(steps = k, times = args)
  } else if (style == "headtails") {
    args <- if (is.null(dots$thr)) 0.4 else number(dots$thr, "thr")
    pars <- c(thr = args)
  } else if (style == "box") {
    args <- if (is.null(dots$iqr_mult)) 1.5 else number(dots$iqr_mult, "iqr_mult")
    pars <- c(iqr_mult = args)
  }
  r <- library_call(.Call(mensora_r_classify, values, method, k, as.double(args)), style)
  warn_missing(r[[5]])
  warn_notes(style, r[[7]], r[[8]], length(r[[2]]))
  res <- list(var = x, brks = r[[1]], counts = r[[2]], classes = r[[3]],
              fit = stats_names(r[[4]], c("gvf", "adcm", "tai", "sdam", "sdcm")))
  attr(res, "style") <- style
  attr(res, "parameters") <- pars
  attr(res, "nobs") <- r[[6]]
  attr(res, "call") <- call
  attr(res, "intervalClosure") <- "left"
  attr(res, "dataPrecision") <- dataPrecision
  class(res) <- "classIntervals"
  res
}

#' Natural and quantile breaks, optionally weighted
#'
#' `natural_breaks()` gives the `k + 1` breaks of the exact natural-breaks
#' classes of `x` (the least within-class sum of squares; each break is the
#' smallest value of its class, the last the maximum). `quantile_breaks()`
#' gives the library's quantile classes: break `s` is the sorted value at
#' position `s * m / k` of the `m` values (not interpolated, unlike
#' `classify(style = "quantile")`). With `weights`, `x[i]` stands for
#' `weights[i]` observations: whole-number weights give the breaks of the
#' sample in which every value is repeated that many times.
#'
#' @param x a numeric vector; `NA` values are left out with a warning.
#' @param k the number of classes.
#' @param weights `NULL`, or finite non-negative numbers, one per value.
#' @return a double vector of `k + 1` breaks.
#' @examples
#' natural_breaks(c(1, 2, 4, 10, 11, 30), 3)
#' # 6, 7 and 8 people in households of 1, 2 and 3:
#' natural_breaks(1:3, 2, weights = c(6, 7, 8))
#' quantile_breaks(1:3, 2, weights = c(6, 7, 8))
#' @export
natural_breaks <- function(x, k, weights = NULL) breaks_of(x, k, weights, FALSE)

#' @rdname natural_breaks
#' @export
quantile_breaks <- function(x, k, weights = NULL) breaks_of(x, k, weights, TRUE)

breaks_of <- function(x, k, weights, quantile) {
  values <- numeric_values(x)
  k <- whole_number(k, "k")
  if (is.null(weights)) {
    what <- if (quantile) "quantile breaks" else "natural breaks"
    r <- library_call(.Call(mensora_r_classify, values, if (quantile) "quantile" else "natural",
                            k, 0), what)
    warn_missing(r[[5]])
    warn_notes(what, r[[7]], r[[8]], length(r[[2]]))
    return(r[[1]])
  }
  weights <- numeric_values(weights, "weights")
  if (length(weights) != length(values)) {
    stop("weights must have one number per value of x", call. = FALSE)
  }
  warn_missing(sum(is.na(values)))
  library_call(.Call(mensora_r_weighted, values, weights, k, quantile),
               if (quantile) "weighted quantile breaks" else "weighted natural breaks")
}

#' Every descriptive measure of a sample
#'
#' @param x a numeric vector; `NA` values are left out with a warning.
#' @return a named double vector: `count`, `mean`, `weighted_mean` (each
#'   value weighted by its own frequency), `geometric_mean` (`NA` when no
#'   real root exists or it lies beyond the library's range), `mode` (the
#'   most frequent value, the first in input order among equals), `median`,
#'   `minimum`, `maximum`, `range`, `mean_absolute_deviation`,
#'   `sum_of_squares`, `variance` and `standard_deviation` (dividing by the
#'   number of values), `coefficient_of_variation`, `skewness` (g1 /
#'   sqrt(6/n)) and `kurtosis` (g2 / sqrt(24/n)).
#' @examples
#' describe(airquality$Ozone)
#' @export
describe <- function(x) {
  r <- .Call(mensora_r_describe, numeric_values(x))
  warn_missing(r[17])
  stats_names(r[-17], c("count", "mean", "weighted_mean", "geometric_mean", "mode", "median",
                        "minimum", "maximum", "range", "mean_absolute_deviation",
                        "sum_of_squares", "variance", "standard_deviation",
                        "coefficient_of_variation", "skewness", "kurtosis"))
}
