# The table of cases every binding runs (tests/cases/missing_values.json of
# the repository; MENSORA_CASES names it when the tests run elsewhere).

cases_table <- function() {
  path <- Sys.getenv("MENSORA_CASES", "../../../tests/cases/missing_values.json")
  if (!file.exists(path)) skip("the table of cases is not here (set MENSORA_CASES)")
  skip_if_not_installed("jsonlite")
  jsonlite::fromJSON(path, simplifyVector = FALSE)
}

# null is NA; "inf" and "-inf" the infinities.
case_values <- function(case) {
  vapply(case$values, function(v) {
    if (is.null(v)) NA_real_ else if (is.character(v)) (if (v == "inf") Inf else -Inf) else v
  }, 0)
}

# Runs f, collecting its warnings.
with_warnings <- function(f) {
  said <- character(0)
  value <- withCallingHandlers(f(), warning = function(w) {
    said <<- c(said, conditionMessage(w))
    invokeRestart("muffleWarning")
  })
  list(value = value, warnings = said)
}

test_that("classes as the table says", {
  for (case in cases_table()$classify) {
    x <- case_values(case)
    run <- switch(case$method,
      equal = function() classify(x, case$k, "equal"),
      natural = function() classify(x, case$k, "fisher"),
      pretty = function() classify(x, case$k, "pretty"),
      headtail = function() classify(x, style = "headtails", thr = case$share),
      stddev = function() classify(x, style = "sd", steps = case$steps, times = case$times),
      quantile = function() quantile_breaks(x, case$k))
    if (!is.null(case$error)) {
      expect_error(suppressWarnings(run()), case$error, fixed = TRUE, class = "mensora_error")
      next
    }
    got <- with_warnings(run)
    told <- function(text) any(grepl(text, got$warnings, fixed = TRUE))
    expect_identical(told("missing value"), case$missing > 0, label = case$name)
    if (case$method == "quantile") {
      expect_identical(got$value, as.double(unlist(case$breaks)), label = case$name)
      next
    }
    labels <- unlist(case$labels) + 1L
    labels[labels == 0L] <- NA
    expect_identical(got$value$brks, as.double(unlist(case$breaks)), label = case$name)
    expect_identical(got$value$counts, as.integer(unlist(case$counts)), label = case$name)
    expect_identical(got$value$classes, as.integer(labels), label = case$name)
    expect_identical(told("in no class"), case$unclassified > 0, label = case$name)
    expect_identical(told("no value"), case$empty > 0, label = case$name)
  }
})

test_that("summaries as the table says", {
  for (case in cases_table()$summary) {
    got <- with_warnings(function() mensora::describe(case_values(case)))
    expect_identical(length(got$warnings) > 0, case$missing > 0, label = case$name)
    for (key in intersect(c("count", "mean", "median"), names(case))) {
      expect_identical(got$value[[key]], as.double(case[[key]]), label = paste(case$name, key))
    }
    want <- if (is.null(case$geometric_mean)) NA_real_ else case$geometric_mean
    expect_equal(got$value[["geometric_mean"]], want, tolerance = 1e-12, label = case$name)
  }
})
