# Argument checks and the translation of the library's answers into R.

# x as a double vector for the library (x itself when it already is one).
numeric_values <- function(x, what = "x") {
  if (!is.numeric(x)) {
    stop(what, " must be a numeric vector (integer or double), not ",
         if (is.factor(x)) "a factor" else class(x)[1], call. = FALSE)
  }
  if (is.double(x) && is.null(attributes(x))) x else as.double(x)
}

whole_number <- function(v, what) {
  if (!is.numeric(v) || length(v) != 1 || is.na(v) || v != round(v) || abs(v) >= 2^31) {
    stop(what, " must be one whole number below 2^31", call. = FALSE)
  }
  as.integer(v)
}

number <- function(v, what) {
  if (!is.numeric(v) || length(v) != 1) stop(what, " must be one number", call. = FALSE)
  as.double(v)
}

numbers <- function(v, what) {
  if (!is.numeric(v)) stop(what, " must be numbers", call. = FALSE)
  as.double(v)
}

# The result of a .Call, or an R error with the library's reason: a
# condition of class "mensora_error" whose `status` is the library's code.
library_call <- function(r, what) {
  if (!is.character(r)) return(r)
  status <- attr(r, "status")
  if (!is.null(attr(r, "missing"))) warn_missing(attr(r, "missing"))
  if (identical(status, -6L)) {
    # Stopped by Ctrl-C: handlers of interrupts hear of it first.
    signalCondition(structure(class = c("interrupt", "condition"), list(message = "", call = NULL)))
  }
  stop(structure(class = c("mensora_error", "error", "condition"),
                 list(message = paste0(what, ": ", r[1]), call = NULL, status = status)))
}

warn_missing <- function(count) {
  if (count > 0) {
    warning(sprintf("%d missing value%s (NA) left out", as.integer(count),
                    if (count == 1) "" else "s"), call. = FALSE)
  }
}

# The library's notes on a class result: values present but in no class,
# classes without a value.
warn_notes <- function(what, unclassified, empty, k) {
  if (unclassified > 0) {
    warning(sprintf("%s: %d value%s in no class", what, unclassified,
                    if (unclassified == 1) "" else "s"), call. = FALSE)
  }
  if (empty > 0) {
    warning(sprintf("%s: %d of the %d classes %s no value", what, empty, k,
                    if (empty == 1) "holds" else "hold"), call. = FALSE)
  }
}

stats_names <- function(v, names) {
  names(v) <- names
  v
}
