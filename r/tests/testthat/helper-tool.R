# The mensora command-line tool, a client of the same library, gives the
# results to compare with; its path is in MENSORA_TOOL (tests that need it
# are skipped without it, as under R CMD check on another machine).

tool_path <- function() {
  path <- Sys.getenv("MENSORA_TOOL")
  if (!nzchar(path) || !file.exists(path)) skip("the mensora tool is not built (set MENSORA_TOOL)")
  skip_if_not_installed("jsonlite")
  path
}

# Exact text for every double (17 significant digits read back the same).
exact_text <- function(v) {
  ifelse(is.infinite(v), ifelse(v > 0, "inf", "-inf"), sprintf("%.17g", v))
}

number_of <- function(v) {
  if (is.null(v)) return(NA_real_)
  if (is.character(v)) return(c(`NaN` = NaN, Infinity = Inf, `-Infinity` = -Inf)[[v]])
  as.double(v)
}

# The tool's JSON as a list, or, when the library refused (exit status 7),
# list(refused = its reason).
run_tool <- function(values, ...) {
  tool <- tool_path()
  input <- tempfile(fileext = ".txt")
  errors <- tempfile(fileext = ".txt")
  on.exit(unlink(c(input, errors)))
  writeLines(exact_text(values), input)
  out <- suppressWarnings(system2(tool, c(..., input, "--format", "json"), stdout = TRUE,
                                  stderr = errors))
  status <- attr(out, "status")
  if (identical(status, 7L)) return(list(refused = sub("^mensora: [^:]*: ", "", readLines(errors))))
  expect_null(status)
  jsonlite::fromJSON(paste(out, collapse = "\n"), simplifyVector = FALSE)
}

# The tool's classes of `values` in the shape of classify()'s object.
tool_classes <- function(values, ...) {
  out <- run_tool(values, "classify", "--members", ...)
  if (!is.null(out$refused)) return(out)
  classes <- rep(NA_integer_, length(values))
  for (s in seq_along(out$classes)) {
    for (member in out$classes[[s]]$members) classes[member$id + 1] <- s
  }
  list(brks = vapply(out$breaks, number_of, 0),
       counts = vapply(out$classes, function(c) as.integer(c$count), 0L),
       classes = classes,
       fit = vapply(out$fit[c("gvf", "adcm", "tai", "sdam", "sdcm")], number_of, 0))
}

tool_summary <- function(values) vapply(run_tool(values, "summary")$measures, number_of, 0)

# Equal as doubles, NaN equal to NaN, zeros told apart by their sign.
expect_same_bits <- function(object, expected, label = "") {
  object <- unname(object)
  expected <- unname(expected)
  expect(identical(object, expected, num.eq = FALSE),
         sprintf("%s: %s is not %s", label, paste(exact_text(object), collapse = " "),
                 paste(exact_text(expected), collapse = " ")))
}

# Skewed values with ties.
random_sample <- function(seed, n) {
  set.seed(seed)
  round(rlnorm(n, 2, 1), 1)
}
